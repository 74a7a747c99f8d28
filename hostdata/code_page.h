// Decoding of table text from the code page a dBase file names to UTF-8.
#ifndef VATRIX_HOSTDATA_CODE_PAGE_H_
#define VATRIX_HOSTDATA_CODE_PAGE_H_

#include <array>
#include <string>
#include <string_view>

namespace vatrix {

// The code page named by a dBase header's language driver byte ("CP1252" for 0 and for bytes
// this program does not know, which is what the writing package used).
std::string CodePageOfLanguageDriver(unsigned char driver);

class TextDecoder {
 public:
  // `code_page` as CodePageOfLanguageDriver returns it.
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
