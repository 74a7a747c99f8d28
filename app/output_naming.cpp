#include "app/output_naming.h"
#include "app/text.h"

#include <utility>

namespace vatrix {

namespace {

std::optional<std::string_view> FileNamePrefix(std::string_view return_code) {
  static constexpr std::pair<std::string_view, std::string_view> kPrefixes[] = {
      {"201", "Form 201 - "},
      {"201A", "Sales - 201A - "},
      {"201B", "Purchase - 201B - "},
      {"201C", "Stock - 201C - "},
      {"202", "Form - 202 - "},
      {"202A", "Purchase - 202A - "},
      {"202B", "Sales - 202B - "},
      {"205", "Form 205 - "},
      {"3B", "CST - 3B - "},
      {"3BSALES", "CST - Sales - "},
      {"3BPURCHASE", "CST - Purchase - "},
  };
  for (const auto& [code, prefix] : kPrefixes) {
    if (code == return_code) return prefix;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> DefaultFileName(std::string_view return_code,
                                           std::string_view return_type,
                                           std::string_view period_item) {
  const std::optional<std::string_view> prefix = FileNamePrefix(return_code);
  if (!prefix) return std::nullopt;
  const std::string_view item_name =
      period_item.size() > 3 ? period_item.substr(3) : std::string_view();
  std::string name(*prefix);
  name.append(return_type).append(" - ").append(item_name);
  if (Trim(return_type) != "Monthly") name.append(" - ").append(period_item.substr(0, 2));
  return name;
}

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

std::string OutputPath(std::string_view folder, std::string_view name, std::string_view type) {
  std::string path(Trim(folder));
  path.append(Trim(name)).append(Trim(type));
  return path;
}

bool IsRefusedRoot(std::string_view folder) {
  const std::string_view trimmed = Trim(folder);
#ifdef _WIN32
  return trimmed.size() == 3 && (trimmed[0] == 'C' || trimmed[0] == 'c') && trimmed[1] == ':' &&
         trimmed[2] == '\\';
#else
  return trimmed == "/";
#endif
}

char PathSeparator() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

}  // namespace vatrix
