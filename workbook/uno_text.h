// Text across the UNO bridge, for the engine's own sources: the office's strings are UTF-16,
// this program's are UTF-8.
#ifndef VATRIX_WORKBOOK_UNO_TEXT_H_
#define VATRIX_WORKBOOK_UNO_TEXT_H_

#include <rtl/ustring.hxx>

#include <string>

namespace vatrix {

rtl::OUString Ou(const std::string& text);
std::string Utf8(const rtl::OUString& text);

// The file URL of `path` (made absolute), as the office takes it.
rtl::OUString FileUrlOf(const std::string& path);

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_UNO_TEXT_H_
