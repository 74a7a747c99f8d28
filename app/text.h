// Small text helpers shared by the shell and the workbook layer.
#ifndef VATRIX_APP_TEXT_H_
#define VATRIX_APP_TEXT_H_

#include <string_view>

namespace vatrix {

// `text` without the blanks at its two ends, as the window's boxes are read.
std::string_view Trim(std::string_view text);

// True when `a` and `b` are equal but for the case of ASCII letters (file, folder, section
// and key names).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace vatrix

#endif  // VATRIX_APP_TEXT_H_
