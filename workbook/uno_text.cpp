#include "workbook/uno_text.h"

#include "workbook/office_process.h"

namespace vatrix {

rtl::OUString Ou(const std::string& text) {
  return rtl::OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

std::string Utf8(const rtl::OUString& text) {
  return rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8).getStr();
}

rtl::OUString FileUrlOf(const std::string& path) { return Ou(FileUrl(path)); }

}  // namespace vatrix
