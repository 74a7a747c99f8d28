#include "app/settings_file.h"
#include "hostdata/text.h"

#include <filesystem>
#include <fstream>
#include <string_view>

namespace vatrix {

namespace {

// Lines longer than this are cut while reading, so a damaged file cannot exhaust memory.
constexpr size_t kMaxLine = 64 * 1024;
// The settings value is read into a buffer of 100 characters, one of them the terminator.
constexpr size_t kMaxValue = 99;

// What the platform's reader trims around names and values.
constexpr std::string_view kWhitespace = " \t\r\v\f";

std::string_view TrimWhitespace(std::string_view text) { return Trim(text, kWhitespace); }

// Reads the next line (without its '\n') into `line`, keeping at most kMaxLine bytes of it.
// False at the end of the file or on a read error.
bool ReadLine(std::istream& in, std::string& line) {
  line.clear();
  char c;
  bool any = false;
  while (in.get(c)) {
    any = true;
    if (c == '\n') return true;
    if (line.size() < kMaxLine) line.push_back(c);
  }
  return any;
}

std::string ValueText(std::string_view raw) {
  std::string_view value = TrimWhitespace(raw);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kMaxValue));
}

}  // namespace

std::string SettingsFileProblem(const std::string& path) {
  constexpr std::uintmax_t kLargest = 1 << 20;
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) return "";
  if (!std::filesystem::is_regular_file(status)) {
    return "the settings file " + path + " is not a regular file";
  }
  if (std::filesystem::file_size(path, error) > kLargest || error) {
    return "the settings file " + path + " is larger than 1 MiB, too large for a settings file";
  }
  return "";
}

std::string GetINI(const std::string& path, const std::string& section, const std::string& key) {
  if (!SettingsFileProblem(path).empty()) return "";
  std::ifstream in(path, std::ios::binary);
  if (!in) return "";
  std::string line;
  bool first_line = true;
  bool in_section = false;
  bool section_seen = false;
  while (ReadLine(in, line)) {
    std::string_view text = line;
    if (first_line && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    first_line = false;
    text = TrimWhitespace(text);
    if (text.empty() || text.front() == ';') continue;
    if (text.front() == '[') {
      const size_t close = text.rfind(']');
      if (close == std::string_view::npos) continue;
      // Only the first section of a name counts, as with the platform's own reader.
      if (section_seen) return "";
      in_section = EqualsIgnoreCase(TrimWhitespace(text.substr(1, close - 1)), section);
      section_seen = in_section;
      continue;
    }
    if (!in_section) continue;
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    if (EqualsIgnoreCase(TrimWhitespace(text.substr(0, equals)), key)) {
      return ValueText(text.substr(equals + 1));
    }
  }
  return "";
}

}  // namespace vatrix
