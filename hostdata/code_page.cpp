#include "hostdata/code_page.h"

#include <iconv.h>

#include <cerrno>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "hostdata/host_error.h"
#include "hostdata/text.h"

namespace vatrix {

std::string CodePageOfLanguageDriver(unsigned char driver) {
  static const std::map<unsigned char, const char*> kDrivers = {
      {0x01, "CP437"},  {0x02, "CP850"},  {0x03, "CP1252"}, {0x08, "CP865"},   {0x09, "CP437"},
      {0x0A, "CP850"},  {0x0B, "CP437"},  {0x0D, "CP437"},  {0x0E, "CP850"},   {0x0F, "CP437"},
      {0x10, "CP850"},  {0x11, "CP437"},  {0x12, "CP850"},  {0x13, "CP932"},   {0x14, "CP850"},
      {0x15, "CP437"},  {0x16, "CP850"},  {0x17, "CP865"},  {0x18, "CP437"},   {0x19, "CP437"},
      {0x1A, "CP850"},  {0x1B, "CP437"},  {0x1C, "CP863"},  {0x1D, "CP850"},   {0x1F, "CP852"},
      {0x22, "CP852"},  {0x23, "CP852"},  {0x24, "CP860"},  {0x25, "CP850"},   {0x26, "CP866"},
      {0x37, "CP850"},  {0x40, "CP852"},  {0x4D, "CP936"},  {0x4E, "CP949"},   {0x4F, "CP950"},
      {0x50, "CP874"},  {0x57, "CP1252"}, {0x58, "CP1252"}, {0x59, "CP1252"},  {0x64, "CP852"},
      {0x65, "CP866"},  {0x66, "CP865"},  {0x67, "CP861"},  {0x69, "MAZOVIA"}, {0x6A, "CP737"},
      {0x6B, "CP857"},  {0x78, "CP950"},  {0x79, "CP949"},  {0x7A, "CP936"},   {0x7B, "CP932"},
      {0x7C, "CP874"},  {0x7D, "CP1255"}, {0x7E, "CP1256"}, {0x87, "CP852"},   {0x88, "CP857"},
      {0xC8, "CP1250"}, {0xC9, "CP1251"}, {0xCA, "CP1254"}, {0xCB, "CP1253"},  {0xCC, "CP1257"},
  };
  const auto found = kDrivers.find(driver);
  return found == kDrivers.end() ? "" : found->second;
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
         code_page == "CP950" || code_page == "UTF-8";
}

// The Polish DOS page glibc lacks: code page 437 with Polish letters in 18 of its places.
constexpr char kMazovia[] = "MAZOVIA";
const std::map<unsigned char, std::string_view>& MazoviaLetters() {
  static const std::map<unsigned char, std::string_view> letters = {
      {0x86, "ą"}, {0x8D, "ć"}, {0x8F, "Ą"}, {0x90, "Ę"}, {0x91, "ę"}, {0x92, "ł"},
      {0x95, "Ć"}, {0x98, "Ś"}, {0x9C, "Ł"}, {0x9E, "ś"}, {0xA0, "Ź"}, {0xA1, "Ż"},
      {0xA2, "ó"}, {0xA3, "Ó"}, {0xA4, "ń"}, {0xA5, "Ń"}, {0xA6, "ź"}, {0xA7, "ż"},
  };
  return letters;
}

// The length of the valid UTF-8 sequence at `text[i]`; 0 when none starts there.
size_t Utf8SequenceAt(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
  if (length == 0 || i + length > text.size()) return 0;
  for (size_t k = i + 1; k < i + length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return 0;
  }
  const unsigned char second = byte(i + 1);
  const bool overlong = (lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90);
  const bool out_of_range = (lead == 0xED && second >= 0xA0) || (lead == 0xF4 && second >= 0x90);
  return overlong || out_of_range ? 0 : length;
}

// `text` with each byte that starts no valid UTF-8 sequence replaced by U+FFFD.
std::string RepairedUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t length = Utf8SequenceAt(text, i);
    if (length == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
  return out;
}

// Whether `code_page` names a page table text can be in: ours, UTF-8, or one iconv has that
// keeps ASCII as it is (not UTF-16 or EBCDIC).
bool DecoderKnows(const std::string& code_page) {
  if (code_page == kMazovia || code_page == "UTF-8") return true;
  IconvHandle cd = OpenConverter(code_page);
  return cd && Convert(cd.get(), "Az09 ") == "Az09 ";
}

}  // namespace

Utf8Shape ShapeAsUtf8(std::string_view bytes) {
  Utf8Shape shape = Utf8Shape::kAscii;
  for (size_t i = 0; i < bytes.size();) {
    const size_t length = Utf8SequenceAt(bytes, i);
    if (length == 0) return Utf8Shape::kInvalid;
    if (length > 1) shape = Utf8Shape::kMultiByte;
    i += length;
  }
  return shape;
}

std::string CodePageName(const std::string& user_name) {
  const std::string trimmed(Trim(user_name));
  const bool number = !trimmed.empty() && std::all_of(trimmed.begin(), trimmed.end(),
                                                      [](char c) { return c >= '0' && c <= '9'; });
  std::string name = number ? "CP" + trimmed : ToUpperAscii(trimmed);
  if (name == "UTF8") name = "UTF-8";
  if (name.empty() || !DecoderKnows(name)) {
    throw HostError(kTableUnavailable, "The code page " + user_name + " is not known",
                    "code page " + user_name);
  }
  return name;
}

TextDecoder::TextDecoder(const std::string& code_page) : code_page_(code_page) {
  single_byte_ = !IsMultiByte(code_page);
  if (!single_byte_) return;
  const bool mazovia = code_page == kMazovia;
  IconvHandle cd = OpenConverter(mazovia ? "CP437" : code_page);
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
  if (mazovia) {
    for (const auto& [byte, letter] : MazoviaLetters()) table_[byte] = letter;
  }
}

std::string TextDecoder::Decode(std::string_view bytes) const {
  if (code_page_ == "UTF-8") return RepairedUtf8(bytes);
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

namespace {

std::mutex g_unnamed_mutex;
std::string g_unnamed_code_page;

}  // namespace

void SetUnnamedCodePage(const std::string& code_page) {
  const std::string name = Trim(code_page).empty() ? "" : CodePageName(code_page);
  std::lock_guard lock(g_unnamed_mutex);
  g_unnamed_code_page = name;
}

std::string UnnamedCodePage() {
  std::lock_guard lock(g_unnamed_mutex);
  return g_unnamed_code_page;
}

}  // namespace vatrix
