// The cleaning applied to text exported into a return: the special characters the department's
// upload refuses become blanks.
#ifndef VATRIX_RETURNS_SPECIAL_CHARACTERS_H_
#define VATRIX_RETURNS_SPECIAL_CHARACTERS_H_

#include <string>
#include <string_view>
#include <vector>

namespace vatrix {

// The 29 entries of the special-character table, in order; an entry "\;" stands for ";".
const std::vector<std::string>& SpecialCharsTable();

// `text` with every occurrence of the one-character `character` replaced by one blank, or
// dropped when `drop` is true. Exact comparison.
std::string remove_text(std::string_view text, std::string_view character, bool drop);

// `text` with every character of `table` (entries as in SpecialCharsTable) turned into a blank.
std::string checkSpChar(std::string_view text, const std::vector<std::string>& table);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_SPECIAL_CHARACTERS_H_
