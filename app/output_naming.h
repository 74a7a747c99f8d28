// Output file naming and the text cleaning applied to exported text.
#ifndef VATRIX_APP_OUTPUT_NAMING_H_
#define VATRIX_APP_OUTPUT_NAMING_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vatrix {

// The default output name of a return ("Form 201 - Monthly - April",
// "Sales - 201A - Quaterly - Quarter - 02"), or nullopt for an unknown return code.
std::optional<std::string> DefaultFileName(std::string_view return_code,
                                           std::string_view return_type,
                                           std::string_view period_item);

// The 29 entries of the special-character table, in order; an entry "\;" stands for ";".
const std::vector<std::string>& SpecialCharsTable();

// `text` with every occurrence of the one-character `character` replaced by one blank, or
// dropped when `drop` is true. Exact comparison.
std::string remove_text(std::string_view text, std::string_view character, bool drop);

// `text` with every character of `table` (entries as in SpecialCharsTable) turned into a blank.
std::string checkSpChar(std::string_view text, const std::vector<std::string>& table);

// Output folder + name + type, each trimmed of blanks at both ends, joined without separators.
std::string OutputPath(std::string_view folder, std::string_view name, std::string_view type);

// True when the trimmed folder text is the root the program refuses as an output folder:
// C:\ (any case) on Windows, / elsewhere.
bool IsRefusedRoot(std::string_view folder);

// The platform's path separator: '\\' on Windows, '/' elsewhere.
char PathSeparator();

}  // namespace vatrix

#endif  // VATRIX_APP_OUTPUT_NAMING_H_
