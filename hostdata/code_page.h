// Decoding of table text from the code page a dBase file names to UTF-8.
#ifndef VATRIX_HOSTDATA_CODE_PAGE_H_
#define VATRIX_HOSTDATA_CODE_PAGE_H_

#include <array>
#include <string>
#include <string_view>

namespace vatrix {

// The code page named by a dBase header's language driver byte, as TextDecoder takes it
// ("CP850", "MAZOVIA"); "" for 0 and for bytes that name no page this program knows.
std::string CodePageOfLanguageDriver(unsigned char driver);

// The name TextDecoder takes for a page a user names: "850", "cp850" and "CP850" are
// "CP850", "mazovia" is "MAZOVIA", "utf8" is "UTF-8". Throws HostError kTableUnavailable for
// a page no decoder knows, or one that does not keep ASCII as it is (UTF-16, EBCDIC).
std::string CodePageName(const std::string& user_name);

// How bytes read as UTF-8: plain ASCII, valid UTF-8 holding multi-byte sequences, or not
// UTF-8 at all (a stray byte, a cut or overlong sequence, a surrogate).
enum class Utf8Shape { kAscii, kMultiByte, kInvalid };
Utf8Shape ShapeAsUtf8(std::string_view bytes);

// The code page of table files whose header names none, for installations whose files say
// nothing (DOS-era text in CP850 cannot be told from CP1252 by its bytes). "" restores the
// default: UTF-8 when the text is valid UTF-8 holding multi-byte sequences, CP1252 otherwise.
// Takes any name CodePageName takes; throws as it does.
void SetUnnamedCodePage(const std::string& code_page);
// The page SetUnnamedCodePage set, as CodePageName gives it; "" when none.
std::string UnnamedCodePage();

class TextDecoder {
 public:
  // `code_page` as CodePageOfLanguageDriver or CodePageName return it, or "UTF-8".
  explicit TextDecoder(const std::string& code_page);

  // Bytes in the code page to UTF-8. Never fails: a byte or sequence the code page leaves
  // undefined becomes U+FFFD.
  std::string Decode(std::string_view bytes) const;

 private:
  std::string code_page_;
  bool single_byte_ = true;
  std::array<std::string, 256> table_;  // UTF-8 of each byte, for single-byte code pages
};

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_CODE_PAGE_H_
