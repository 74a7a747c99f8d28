#include "workbook/csv_text.h"

#include <algorithm>
#include <cstdint>
#include <map>

#include "hostdata/code_page.h"

namespace vatrix {

namespace {

bool NeedsQuotes(std::string_view field) {
  return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

// A control character of a cell's text other than a line break, written as a blank: table
// data must not reach a CSV reader (or a terminal showing the file) as a control.
bool IsControl(char c) {
  return (static_cast<unsigned char>(c) < 0x20 && c != '\r' && c != '\n') || c == 0x7F;
}

void AppendField(std::string_view field, std::string& out) {
  const bool quoted = NeedsQuotes(field);
  if (quoted) out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += IsControl(c) ? ' ' : c;
  }
  if (quoted) out += '"';
}

// Code point → Windows-1252 byte for the bytes 0x80-0xFF the code page defines.
const std::map<uint32_t, char>& UpperHalf() {
  static const std::map<uint32_t, char> table = [] {
    std::map<uint32_t, char> upper;
    const TextDecoder decoder("CP1252");
    for (int byte = 0x80; byte < 0x100; ++byte) {
      const std::string utf8 = decoder.Decode(std::string(1, static_cast<char>(byte)));
      const auto b = [&](size_t i) { return static_cast<uint32_t>(utf8[i] & 0x3F); };
      uint32_t code = 0;
      if (utf8.size() == 2) code = (static_cast<uint32_t>(utf8[0] & 0x1F) << 6) | b(1);
      if (utf8.size() == 3) code = (static_cast<uint32_t>(utf8[0] & 0x0F) << 12) | b(1) << 6 | b(2);
      if (code != 0 && code != 0xFFFD) upper.emplace(code, static_cast<char>(byte));
    }
    return upper;
  }();
  return table;
}

// Decodes the UTF-8 sequence at `text[i]`, advancing `i`; 0xFFFFFFFF for a malformed one.
uint32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
  if (extra < 0 || lead >= 0xF5) return 0xFFFFFFFF;
  static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};  // no overlong forms
  const uint32_t least = kLeast[extra];
  uint32_t code = lead & (0x3F >> extra);
  for (; extra > 0; --extra) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      return 0xFFFFFFFF;
    }
    code = code << 6 | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  return code < least ? 0xFFFFFFFF : code;
}

}  // namespace

std::string CsvBytes(const TextGrid& rows) {
  size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.size());
  std::string out;
  for (const auto& row : rows) {
    for (size_t column = 0; column < width; ++column) {
      if (column > 0) out += ',';
      if (column < row.size()) AppendField(row[column], out);
    }
    out += "\r\n";
  }
  return out;
}

std::string ToWindows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const uint32_t code = NextCodePoint(utf8, i);
    if (code < 0x80) {
      out += static_cast<char>(code);
      continue;
    }
    const auto found = UpperHalf().find(code);
    out += found == UpperHalf().end() ? '?' : found->second;
  }
  return out;
}

TextGrid ParseCsv(std::string_view text) {
  TextGrid rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      row.push_back(std::move(field));
      field.clear();
    } else if (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
      if (c == '\r') ++i;
      row.push_back(std::move(field));
      field.clear();
      rows.push_back(std::move(row));
      row.clear();
    } else {
      field += c;
    }
  }
  if (!field.empty() || !row.empty()) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace vatrix
