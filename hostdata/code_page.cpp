#include "hostdata/code_page.h"

#include <iconv.h>

#include <cerrno>

#include <map>
#include <memory>

namespace vatrix {

std::string CodePageOfLanguageDriver(unsigned char driver) {
  static const std::map<unsigned char, const char*> kDrivers = {
      {0x01, "CP437"},  {0x02, "CP850"},  {0x03, "CP1252"}, {0x08, "CP865"},  {0x09, "CP437"},
      {0x0A, "CP850"},  {0x0B, "CP437"},  {0x0D, "CP437"},  {0x0E, "CP850"},  {0x0F, "CP437"},
      {0x10, "CP850"},  {0x11, "CP437"},  {0x12, "CP850"},  {0x13, "CP932"},  {0x14, "CP850"},
      {0x15, "CP437"},  {0x16, "CP850"},  {0x17, "CP865"},  {0x18, "CP437"},  {0x19, "CP437"},
      {0x1A, "CP850"},  {0x1B, "CP437"},  {0x1C, "CP863"},  {0x1D, "CP850"},  {0x1F, "CP852"},
      {0x22, "CP852"},  {0x23, "CP852"},  {0x24, "CP860"},  {0x25, "CP850"},  {0x26, "CP866"},
      {0x37, "CP850"},  {0x40, "CP852"},  {0x4D, "CP936"},  {0x4E, "CP949"},  {0x4F, "CP950"},
      {0x50, "CP874"},  {0x57, "CP1252"}, {0x58, "CP1252"}, {0x59, "CP1252"}, {0x64, "CP852"},
      {0x65, "CP866"},  {0x66, "CP865"},  {0x67, "CP861"},  {0x6A, "CP737"},  {0x6B, "CP857"},
      {0x78, "CP950"},  {0x79, "CP949"},  {0x7A, "CP936"},  {0x7B, "CP932"},  {0x7C, "CP874"},
      {0x7D, "CP1255"}, {0x7E, "CP1256"}, {0x87, "CP852"},  {0x88, "CP857"},  {0xC8, "CP1250"},
      {0xC9, "CP1251"}, {0xCA, "CP1254"}, {0xCB, "CP1253"}, {0xCC, "CP1257"},
  };
  const auto found = kDrivers.find(driver);
  return found == kDrivers.end() ? "CP1252" : found->second;
}

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle OpenConverter(const std::string& code_page) {
  iconv_t cd = iconv_open("UTF-8", code_page.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
  return IconvHandle(cd);
}

// Converts as much of `in` as forms complete characters; skips one undefined byte at a time,
// writing U+FFFD for it.
std::string Convert(void* cd, std::string_view in) {
  std::string out;
  char buffer[256];
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  iconv(static_cast<iconv_t>(cd), nullptr, nullptr, nullptr, nullptr);
  while (left > 0) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    const size_t done = iconv(static_cast<iconv_t>(cd), &src, &left, &dst, &room);
    out.append(buffer, dst);
    if (done == static_cast<size_t>(-1) && errno != E2BIG) {
      out += kReplacement;
      ++src;
      --left;
      iconv(static_cast<iconv_t>(cd), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

bool IsMultiByte(const std::string& code_page) {
  return code_page == "CP932" || code_page == "CP936" || code_page == "CP949" ||
         code_page == "CP950";
}

}  // namespace

TextDecoder::TextDecoder(const std::string& code_page) : code_page_(code_page) {
  single_byte_ = !IsMultiByte(code_page);
  if (!single_byte_) return;
  IconvHandle cd = OpenConverter(code_page);
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    if (byte < 0x80) {
      table_[byte] = std::string(1, c);
    } else if (cd) {
      table_[byte] = Convert(cd.get(), std::string_view(&c, 1));
    } else {
      table_[byte] = kReplacement;
    }
  }
}

std::string TextDecoder::Decode(std::string_view bytes) const {
  if (!single_byte_) {
    IconvHandle cd = OpenConverter(code_page_);
    return cd ? Convert(cd.get(), bytes) : std::string(bytes);
  }
  bool ascii = true;
  for (unsigned char byte : bytes) ascii = ascii && byte < 0x80;
  if (ascii) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() + 8);
  for (unsigned char byte : bytes) out += table_[byte];
  return out;
}

}  // namespace vatrix
