#include "returns/special_characters.h"

namespace vatrix {

const std::vector<std::string>& SpecialCharsTable() {
  static const std::vector<std::string> kTable = {
      "`", "~", "!", "$",   "%", "^", "&", "*",   "(",   ")",   "@",   "#",   "\\;", "\\:", "\\,",
      "<", ">", "/", "\\?", "+", "=", "-", "\\_", "\\[", "\\]", "\\{", "\\}", ",",   "."};
  return kTable;
}

std::string remove_text(std::string_view text, std::string_view character, bool drop) {
  if (character.empty()) return std::string(text);
  const std::string_view replacement = drop ? "" : " ";
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  for (size_t found = text.find(character); found != std::string_view::npos;
       found = text.find(character, start)) {
    out.append(text.substr(start, found - start)).append(replacement);
    start = found + character.size();
  }
  out.append(text.substr(start));
  return out;
}

std::string checkSpChar(std::string_view text, const std::vector<std::string>& table) {
  std::string out(text);
  for (const std::string& entry : table) {
    const std::string_view character =
        entry.size() > 1 && entry[0] == '\\' ? std::string_view(entry).substr(1) : entry;
    out = remove_text(out, character, false);
  }
  return out;
}

}  // namespace vatrix
