// Small text helpers every layer shares: trimming and case-blind comparison of ASCII names.
#ifndef VATRIX_HOSTDATA_TEXT_H_
#define VATRIX_HOSTDATA_TEXT_H_

#include <string>
#include <string_view>

namespace vatrix {

// The blank, as the window's boxes and the catalogue's fields are trimmed of it.
inline constexpr std::string_view kBlank = " ";
// The blank and the NUL byte, the padding of dBase character fields.
inline constexpr std::string_view kBlankOrNul{" \0", 2};

// `text` without the characters of `padding` at its two ends (at its end only, for TrimRight).
std::string_view Trim(std::string_view text, std::string_view padding = kBlank);
std::string_view TrimRight(std::string_view text, std::string_view padding = kBlank);

// `text` with the ASCII letters in lower (upper) case; other bytes as they are.
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

// True when `a` and `b` are equal but for the case of ASCII letters (file, folder, sheet,
// section and key names, list items).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_TEXT_H_
