#include "hostdata/text.h"

namespace vatrix {

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string_view Trim(std::string_view text, std::string_view padding) {
  const size_t first = text.find_first_not_of(padding);
  if (first == std::string_view::npos) return {};
  return TrimRight(text.substr(first), padding);
}

std::string_view TrimRight(std::string_view text, std::string_view padding) {
  const size_t last = text.find_last_not_of(padding);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace vatrix
