// Output file naming: the name proposed for a return, and the folder the program refuses.
#ifndef VATRIX_APP_OUTPUT_NAMING_H_
#define VATRIX_APP_OUTPUT_NAMING_H_

#include <optional>
#include <string>
#include <string_view>

namespace vatrix {

// The default output name of a return: the form's prefix, the return type and the period
// ("Form 201 - Monthly - April", "Sales - 201A - Quaterly - Quarter - 02"), or nullopt for an
// unknown return code.
std::optional<std::string> DefaultFileName(std::string_view return_code,
                                           std::string_view return_type,
                                           std::string_view period_item);

// True when the trimmed folder text is the root the program refuses as an output folder:
// C:\ (any case) on Windows, / elsewhere.
bool IsRefusedRoot(std::string_view folder);

}  // namespace vatrix

#endif  // VATRIX_APP_OUTPUT_NAMING_H_
