#include "tools/template_source.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <utility>

namespace vatrix {
namespace {

constexpr size_t kMaxLineLength = 4096;
constexpr size_t kMaxVariants = 1000;
constexpr int kMaxRow = 65536;   // rows of an .xls sheet
constexpr int kMaxColumn = 256;  // columns of an .xls sheet (A to IV)
constexpr size_t kMaxSheetName = 31;

using Values = std::map<std::string, std::string>;

struct Line {
  int number = 0;
  std::string keyword;
  std::string rest;  // the text after the keyword, trimmed
};

std::string Trim(std::string_view text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return "";
  size_t end = text.find_last_not_of(" \t");
  return std::string(text.substr(begin, end - begin + 1));
}

// Splits `text` at its first blank into a word and the trimmed rest.
std::pair<std::string, std::string> SplitWord(std::string_view text) {
  std::string trimmed = Trim(text);
  size_t blank = trimmed.find_first_of(" \t");
  if (blank == std::string::npos) return {trimmed, ""};
  return {trimmed.substr(0, blank), Trim(std::string_view(trimmed).substr(blank))};
}

std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  std::string rest = Trim(text);
  while (!rest.empty()) {
    auto [word, tail] = SplitWord(rest);
    words.push_back(word);
    rest = tail;
  }
  return words;
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t begin = 0;
  for (;;) {
    size_t end = text.find(separator, begin);
    parts.push_back(text.substr(begin, end - begin));
    if (end == std::string::npos) return parts;
    begin = end + 1;
  }
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A non-negative decimal integer of at most 9 digits.
std::optional<int> ParseCount(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

bool IsPlaceholderName(std::string_view name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
  });
}

// Value of one placeholder body such as "last+2"; `keep` names a placeholder left as it is.
std::string Resolve(std::string_view body, const Values& values, std::string_view keep) {
  size_t sign = body.find_first_of("+-");
  std::string name(body.substr(0, sign));
  if (!IsPlaceholderName(name))
    throw std::invalid_argument("bad placeholder {" + std::string(body) + "}");
  if (name == keep) return "{" + std::string(body) + "}";
  auto found = values.find(name);
  if (found == values.end()) throw std::invalid_argument("unknown placeholder {" + name + "}");
  if (sign == std::string_view::npos) return found->second;
  std::optional<int> base = ParseCount(found->second);
  std::optional<int> offset = ParseCount(body.substr(sign + 1));
  if (!base || !offset) {
    throw std::invalid_argument("placeholder {" + std::string(body) +
                                "} needs a whole number and a whole offset");
  }
  long result = body[sign] == '+' ? long{*base} + *offset : long{*base} - *offset;
  return std::to_string(result);
}

std::string SubstituteExcept(std::string_view text, const Values& values, std::string_view keep) {
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    size_t open = text.find_first_of("{}", at);
    if (open == std::string_view::npos) {
      out.append(text.substr(at));
      break;
    }
    if (text[open] == '}') throw std::invalid_argument("'}' without '{'");
    size_t close = text.find_first_of("{}", open + 1);
    if (close == std::string_view::npos || text[close] != '}') {
      throw std::invalid_argument("'{' without '}'");
    }
    out.append(text.substr(at, open - at));
    out += Resolve(text.substr(open + 1, close - open - 1), values, keep);
    at = close + 1;
  }
  return out;
}

// Reads a cell reference such as "B8" or "$B$8" at `at`; returns its end, or npos.
size_t ScanReference(std::string_view text, size_t at, int* row, int* column) {
  size_t i = at;
  if (i < text.size() && text[i] == '$') ++i;
  int col = 0;
  size_t letters = 0;
  while (i < text.size() && text[i] >= 'A' && text[i] <= 'Z' && letters < 3) {
    col = col * 26 + (text[i] - 'A' + 1);
    ++i;
    ++letters;
  }
  if (letters == 0 || letters > 2) return std::string_view::npos;
  if (i < text.size() && text[i] == '$') ++i;
  size_t digits_begin = i;
  long value = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) &&
         i - digits_begin < 6) {
    value = value * 10 + (text[i] - '0');
    ++i;
  }
  if (i == digits_begin) return std::string_view::npos;
  if (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_')) {
    return std::string_view::npos;
  }
  *row = static_cast<int>(value);
  *column = col;
  return i;
}

void CheckBounds(int row, int column, std::string_view reference) {
  if (row < 1 || row > kMaxRow || column < 1 || column > kMaxColumn) {
    throw std::invalid_argument("cell " + std::string(reference) + " lies outside A1:IV65536");
  }
}

// A whole cell address such as "B8" (no '$').
std::pair<int, int> ParseAddress(std::string_view text) {
  int row = 0;
  int column = 0;
  size_t end = text.empty() || text[0] == '$' ? std::string_view::npos
                                              : ScanReference(text, 0, &row, &column);
  if (end != text.size() || text.find('$') != std::string_view::npos) {
    throw std::invalid_argument("bad cell address '" + std::string(text) + "'");
  }
  CheckBounds(row, column, text);
  return {row, column};
}

int ParseColumn(std::string_view text) {
  if (text.empty() || text.size() > 2)
    throw std::invalid_argument("bad column '" + std::string(text) + "'");
  int column = 0;
  for (char c : text) {
    if (c < 'A' || c > 'Z') throw std::invalid_argument("bad column '" + std::string(text) + "'");
    column = column * 26 + (c - 'A' + 1);
  }
  if (column > kMaxColumn)
    throw std::invalid_argument("column " + std::string(text) + " beyond IV");
  return column;
}

void CheckSheetName(const std::string& name) {
  if (name.empty() || name.size() > kMaxSheetName) {
    throw std::invalid_argument("sheet name '" + name + "' must have 1 to 31 characters");
  }
  if (name.find_first_of("[]:*?/\\") != std::string::npos || name.front() == '\'' ||
      name.back() == '\'') {
    throw std::invalid_argument("sheet name '" + name + "' holds a character a workbook rejects");
  }
}

void CheckFileName(const std::string& name) {
  bool plain = !name.empty() && name.size() <= 100 && name.front() != '.' &&
               std::all_of(name.begin(), name.end(), [](char c) {
                 return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' ||
                        c == '.' || c == ' ';
               });
  if (!plain || name.size() < 5 || Lower(name.substr(name.size() - 4)) != ".xls") {
    throw std::invalid_argument("template name '" + name +
                                "' must be a plain file name ending in .xls");
  }
}

// --- formulas ---------------------------------------------------------------------------

std::string QuoteSheet(std::string_view name) {
  std::string out = "'";
  for (char c : name) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

class FormulaTranslator {
 public:
  FormulaTranslator(std::string_view text, const std::vector<std::string>& sheets)
      : text_(text), sheets_(sheets) {}

  std::string Translate() {
    if (text_.empty() || text_[0] != '=') throw std::invalid_argument("a formula starts with '='");
    if (text_.find_first_not_of(' ', 1) == std::string_view::npos) {
      throw std::invalid_argument("empty formula");
    }
    std::string out = "of:=";
    at_ = 1;
    while (at_ < text_.size()) out += Next();
    if (depth_ != 0) throw std::invalid_argument("unbalanced parentheses in formula");
    return out;
  }

 private:
  std::string Next() {
    char c = text_[at_];
    if (c == '"') return StringLiteral();
    if (c == '\'') return QuotedSheetReference();
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') return Number();
    if (std::isalpha(static_cast<unsigned char>(c)) || c == '$') return Word();
    ++at_;
    if (c == ',') return ";";
    if (c == '(') ++depth_;
    if (c == ')' && --depth_ < 0) throw std::invalid_argument("unbalanced parentheses in formula");
    if (std::string_view("+-*/^&%=<>() ").find(c) != std::string_view::npos)
      return std::string(1, c);
    throw std::invalid_argument(std::string("unexpected character '") + c + "' in formula");
  }

  std::string StringLiteral() {
    size_t begin = at_++;
    for (;;) {
      size_t quote = text_.find('"', at_);
      if (quote == std::string_view::npos)
        throw std::invalid_argument("unterminated text in formula");
      at_ = quote + 1;
      if (at_ < text_.size() && text_[at_] == '"') {
        ++at_;
        continue;
      }
      return std::string(text_.substr(begin, at_ - begin));
    }
  }

  std::string Number() {
    size_t begin = at_;
    while (at_ < text_.size() &&
           (std::isdigit(static_cast<unsigned char>(text_[at_])) || text_[at_] == '.'))
      ++at_;
    if (at_ < text_.size() && (text_[at_] == 'E' || text_[at_] == 'e')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) ++at_;
    }
    return std::string(text_.substr(begin, at_ - begin));
  }

  std::string QuotedSheetReference() {
    std::string name;
    for (++at_;; ++at_) {
      if (at_ >= text_.size()) throw std::invalid_argument("unterminated sheet name in formula");
      if (text_[at_] != '\'') {
        name += text_[at_];
      } else if (at_ + 1 < text_.size() && text_[at_ + 1] == '\'') {
        name += '\'';
        ++at_;
      } else {
        break;
      }
    }
    ++at_;
    return SheetReference(name);
  }

  std::string SheetReference(const std::string& name) {
    if (at_ >= text_.size() || text_[at_] != '!')
      throw std::invalid_argument("expected '!' after sheet name " + name);
    ++at_;
    if (std::find(sheets_.begin(), sheets_.end(), name) == sheets_.end()) {
      throw std::invalid_argument("formula names unknown sheet '" + name + "'");
    }
    std::string reference = Reference();
    if (reference.empty()) throw std::invalid_argument("expected a cell after sheet " + name);
    return "[$" + QuoteSheet(name) + reference + "]";
  }

  // ".B8" or ".B8:.C9" for the reference at at_, or empty (at_ unchanged) when there is none.
  std::string Reference() {
    int row = 0;
    int column = 0;
    size_t end = ScanReference(text_, at_, &row, &column);
    if (end == std::string_view::npos || (end < text_.size() && text_[end] == '(')) return "";
    CheckBounds(row, column, text_.substr(at_, end - at_));
    std::string out = "." + std::string(text_.substr(at_, end - at_));
    at_ = end;
    if (at_ < text_.size() && text_[at_] == ':') {
      end = ScanReference(text_, at_ + 1, &row, &column);
      if (end == std::string_view::npos) throw std::invalid_argument("bad range end in formula");
      CheckBounds(row, column, text_.substr(at_ + 1, end - at_ - 1));
      out += ":." + std::string(text_.substr(at_ + 1, end - at_ - 1));
      at_ = end;
    }
    return out;
  }

  std::string Word() {
    std::string reference = Reference();
    if (!reference.empty()) return "[" + reference + "]";
    size_t begin = at_;
    while (at_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[at_])) ||
                                  text_[at_] == '_' || text_[at_] == '.'))
      ++at_;
    std::string word(text_.substr(begin, at_ - begin));
    if (at_ < text_.size() && text_[at_] == '!') return SheetReference(word);
    if (at_ < text_.size() && text_[at_] == '(' && !word.empty()) {
      for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      return word;
    }
    throw std::invalid_argument("unknown name '" + word + "' in formula");
  }

  std::string_view text_;
  const std::vector<std::string>& sheets_;
  size_t at_ = 0;
  int depth_ = 0;  // open parentheses
};

// --- parsing ----------------------------------------------------------------------------

std::vector<Line> ReadLines(std::string_view text, std::string_view source_name) {
  std::vector<Line> lines;
  int number = 0;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    std::string_view raw = text.substr(at, end == std::string_view::npos ? end : end - at);
    at = end == std::string_view::npos ? text.size() : end + 1;
    ++number;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    auto fail = [&](const std::string& message) {
      throw TemplateSourceError(std::string(source_name) + ":" + std::to_string(number) + ": " +
                                message);
    };
    if (raw.size() > kMaxLineLength) fail("line longer than 4096 characters");
    for (char c : raw) {
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') fail("control character in line");
    }
    std::string trimmed = Trim(raw);
    if (trimmed.empty() || trimmed[0] == '#') continue;
    auto [keyword, rest] = SplitWord(trimmed);
    lines.push_back({number, keyword, rest});
  }
  return lines;
}

struct Vary {
  std::vector<std::string> names;
  std::vector<std::vector<std::string>> values;  // one tuple per value word
};

Vary ParseVary(const Line& line) {
  std::vector<std::string> words = SplitWords(line.rest);
  if (words.size() < 2) throw std::invalid_argument("vary needs a name and at least one value");
  Vary vary;
  vary.names = SplitAt(words[0], ',');
  for (const std::string& name : vary.names) {
    if (!IsPlaceholderName(name) || name == "r" || name == "first" || name == "last") {
      throw std::invalid_argument("bad or reserved placeholder name '" + name + "'");
    }
  }
  for (size_t i = 1; i < words.size(); ++i) {
    std::vector<std::string> tuple = SplitAt(words[i], ',');
    if (tuple.size() != vary.names.size()) {
      throw std::invalid_argument("value '" + words[i] + "' does not match names '" + words[0] +
                                  "'");
    }
    vary.values.push_back(tuple);
  }
  return vary;
}

// Every combination of the vary values, the first vary line varying slowest.
std::vector<Values> Combinations(const std::vector<Vary>& varies) {
  std::vector<Values> result(1);
  for (const Vary& vary : varies) {
    std::vector<Values> next;
    for (const Values& base : result) {
      for (const std::vector<std::string>& tuple : vary.values) {
        Values values = base;
        for (size_t i = 0; i < tuple.size(); ++i) {
          if (!values.emplace(vary.names[i], tuple[i]).second) {
            throw std::invalid_argument("placeholder '" + vary.names[i] + "' varied twice");
          }
        }
        next.push_back(std::move(values));
        if (next.size() > kMaxVariants) throw std::invalid_argument("more than 1000 variants");
      }
    }
    result = std::move(next);
  }
  return result;
}

// Interprets the lines of one template for one combination of placeholder values.
class TemplateBuilder {
 public:
  TemplateBuilder(Values values, const std::vector<TemplateSource>& earlier)
      : values_(std::move(values)), earlier_(earlier) {}

  void Apply(const Line& line) {
    if (line.keyword == "template") return Start(line);
    if (line.keyword == "copy") return Copy(line);
    if (line.keyword == "sheet") return Sheet(line);
    if (line.keyword == "cell") return Cell(line);
    if (line.keyword == "list") return List(line);
    if (line.keyword == "each") return Each(line);
    if (line.keyword == "vary") throw std::invalid_argument("vary belongs right after template");
    throw std::invalid_argument("unknown keyword '" + line.keyword + "'");
  }

  // Checks every formula once all sheets are known; returns the template.
  TemplateSource Finish() {
    if (source_.sheets.empty())
      throw std::invalid_argument("template " + source_.file_name + " has no sheet");
    std::vector<std::string> names;
    for (const SheetSource& sheet : source_.sheets) names.push_back(sheet.name);
    for (const SheetSource& sheet : source_.sheets) {
      for (const CellSource& cell : sheet.cells) CheckFormula(cell, cell.value, names);
      if (!sheet.list) continue;
      Values row{{"r", std::to_string(sheet.list->first_row)}};
      for (const CellSource& cell : sheet.list->each) {
        CheckFormula(cell, SubstituteExcept(cell.value, row, ""), names);
      }
    }
    return std::move(source_);
  }

  int failing_line() const { return failing_line_; }
  void set_line(int line) { failing_line_ = line; }

 private:
  void CheckFormula(const CellSource& cell, const std::string& value,
                    const std::vector<std::string>& names) {
    if (value.empty() || value[0] != '=') return;
    failing_line_ = cell.line;
    ToOdfFormula(value, names);
  }

  std::string Expand(const std::string& text, std::string_view keep = "") {
    return SubstituteExcept(text, values_, keep);
  }

  void Start(const Line& line) {
    source_.file_name = Expand(line.rest);
    CheckFileName(source_.file_name);
  }

  void Copy(const Line& line) {
    if (!source_.sheets.empty()) throw std::invalid_argument("copy must come before the sheets");
    std::string name = Expand(line.rest);
    for (const TemplateSource& other : earlier_) {
      if (Lower(other.file_name) == Lower(name)) {
        source_.sheets = other.sheets;
        for (SheetSource& sheet : source_.sheets) sheet_count_[Lower(sheet.name)] = 1;
        copied_ = source_.sheets.size();
        return;
      }
    }
    throw std::invalid_argument("copy names no earlier template of this file: " + name);
  }

  void Sheet(const Line& line) {
    std::string name = Expand(line.rest);
    CheckSheetName(name);
    if (sheet_count_[Lower(name)]++ > 0)
      throw std::invalid_argument("sheet '" + name + "' named twice");
    source_.sheets.push_back({name, {}, std::nullopt});
    values_.erase("first");
    values_.erase("last");
    used_.clear();
  }

  SheetSource& Current() {
    if (source_.sheets.size() == copied_) {
      throw std::invalid_argument(line_keyword_ + " before a sheet of this template");
    }
    return source_.sheets.back();
  }

  bool InList(const SheetSource& sheet, int row) const {
    return sheet.list && row >= sheet.list->first_row &&
           row < sheet.list->first_row + sheet.list->count;
  }

  void Cell(const Line& line) {
    line_keyword_ = "cell";
    SheetSource& sheet = Current();
    auto [address, value] = SplitWord(line.rest);
    auto [row, column] = ParseAddress(Expand(address));
    if (value.empty()) throw std::invalid_argument("cell " + address + " has no value");
    if (InList(sheet, row))
      throw std::invalid_argument("cell " + address + " lies in the list rows");
    if (!used_.insert({row, column}).second)
      throw std::invalid_argument("cell " + address + " given twice");
    sheet.cells.push_back({row, column, Expand(value), line.number});
  }

  void List(const Line& line) {
    line_keyword_ = "list";
    SheetSource& sheet = Current();
    if (sheet.list) throw std::invalid_argument("a sheet has at most one list");
    std::vector<std::string> words = SplitWords(Expand(line.rest));
    std::optional<int> first = words.size() == 2 ? ParseCount(words[0]) : std::nullopt;
    std::optional<int> count = words.size() == 2 ? ParseCount(words[1]) : std::nullopt;
    if (!first || !count || *first < 1 || *count < 1 || *first > kMaxRow ||
        *count > kMaxRow - *first + 1) {
      throw std::invalid_argument("list needs a first row and a row count within 65536 rows");
    }
    for (const auto& [row, column] : used_) {
      if (row >= *first && row < *first + *count) {
        throw std::invalid_argument("list rows cover cell row " + std::to_string(row));
      }
    }
    sheet.list = ListSource{*first, *count, {}};
    values_["first"] = std::to_string(*first);
    values_["last"] = std::to_string(*first + *count - 1);
  }

  void Each(const Line& line) {
    line_keyword_ = "each";
    SheetSource& sheet = Current();
    if (!sheet.list) throw std::invalid_argument("each before the sheet's list");
    auto [letters, value] = SplitWord(line.rest);
    int column = ParseColumn(Expand(letters));
    if (value.empty()) throw std::invalid_argument("each " + letters + " has no value");
    for (const CellSource& cell : sheet.list->each) {
      if (cell.column == column) throw std::invalid_argument("each " + letters + " given twice");
    }
    sheet.list->each.push_back({0, column, Expand(value, "r"), line.number});
  }

  Values values_;
  const std::vector<TemplateSource>& earlier_;
  TemplateSource source_;
  std::map<std::string, int> sheet_count_;
  std::set<std::pair<int, int>> used_;
  std::string line_keyword_;
  size_t copied_ = 0;  // sheets taken over by copy; closed to further cells
  int failing_line_ = 0;
};

[[noreturn]] void Fail(std::string_view source_name, int line, const std::string& message) {
  throw TemplateSourceError(std::string(source_name) + ":" + std::to_string(line) + ": " + message);
}

// Expands the template whose lines are [begin, end) into `out`.
void ExpandTemplate(const std::vector<Line>& lines, size_t begin, size_t end,
                    std::string_view source_name, std::vector<TemplateSource>* out) {
  std::vector<Vary> varies;
  size_t body = begin + 1;
  try {
    for (; body < end && lines[body].keyword == "vary"; ++body)
      varies.push_back(ParseVary(lines[body]));
  } catch (const std::invalid_argument& error) {
    Fail(source_name, lines[body].number, error.what());
  }
  std::vector<Values> combinations;
  try {
    combinations = Combinations(varies);
  } catch (const std::invalid_argument& error) {
    Fail(source_name, lines[begin].number, error.what());
  }
  for (Values& values : combinations) {
    TemplateBuilder builder(std::move(values), *out);
    try {
      builder.set_line(lines[begin].number);
      builder.Apply(lines[begin]);
      for (size_t i = body; i < end; ++i) {
        builder.set_line(lines[i].number);
        builder.Apply(lines[i]);
      }
      builder.set_line(lines[begin].number);
      TemplateSource source = builder.Finish();
      for (const TemplateSource& other : *out) {
        if (Lower(other.file_name) == Lower(source.file_name)) {
          throw std::invalid_argument("template " + source.file_name + " defined twice");
        }
      }
      out->push_back(std::move(source));
    } catch (const std::invalid_argument& error) {
      Fail(source_name, builder.failing_line(), error.what());
    }
  }
}

// --- rendering --------------------------------------------------------------------------

constexpr const char* kDocumentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\" "
    "office:version=\"1.3\" office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">\n"
    "<office:body><office:spreadsheet>\n";
constexpr const char* kDocumentEnd = "</office:spreadsheet></office:body></office:document>\n";

void AppendEscaped(std::string* out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        *out += "&amp;";
        break;
      case '<':
        *out += "&lt;";
        break;
      case '>':
        *out += "&gt;";
        break;
      case '"':
        *out += "&quot;";
        break;
      case '\'':
        *out += "&apos;";
        break;
      default:
        *out += c;
    }
  }
}

bool IsNumber(std::string_view text) {
  if (!text.empty() && text[0] == '-') text.remove_prefix(1);
  size_t point = text.find('.');
  auto digits = [](std::string_view part) {
    return !part.empty() &&
           std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (point == std::string_view::npos) return digits(text);
  return digits(text.substr(0, point)) && digits(text.substr(point + 1));
}

void AppendCell(std::string* out, std::string_view value, const std::vector<std::string>& sheets) {
  if (!value.empty() && value[0] == '=') {
    *out += "<table:table-cell table:formula=\"";
    AppendEscaped(out, ToOdfFormula(value, sheets));
    *out += "\"/>";
  } else if (IsNumber(value)) {
    *out += "<table:table-cell office:value-type=\"float\" office:value=\"";
    *out += value;
    *out += "\"/>";
  } else {
    if (!value.empty() && value[0] == '\'') value.remove_prefix(1);
    *out += "<table:table-cell office:value-type=\"string\"><text:p>";
    AppendEscaped(out, value);
    *out += "</text:p></table:table-cell>";
  }
}

using RowCells = std::vector<std::pair<int, std::string>>;  // (column, value), by column

void AppendRow(std::string* out, RowCells cells, const std::vector<std::string>& sheets) {
  std::sort(cells.begin(), cells.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  *out += "<table:table-row>";
  int column = 1;
  for (const auto& [at, value] : cells) {
    if (at > column) {
      *out += "<table:table-cell table:number-columns-repeated=\"" + std::to_string(at - column) +
              "\"/>";
    }
    AppendCell(out, value, sheets);
    column = at + 1;
  }
  *out += "</table:table-row>\n";
}

void AppendEmptyRows(std::string* out, int count) {
  if (count <= 0) return;
  *out += "<table:table-row table:number-rows-repeated=\"" + std::to_string(count) +
          "\"><table:table-cell/></table:table-row>\n";
}

RowCells ListRow(const ListSource& list, int row) {
  RowCells cells;
  Values values{{"r", std::to_string(row)}};
  for (const CellSource& cell : list.each) {
    cells.emplace_back(cell.column, SubstituteExcept(cell.value, values, ""));
  }
  return cells;
}

// The list row `row` with the fixed cells of that row (if any) in place of its own.
RowCells MergedListRow(const ListSource& list, int row, const RowCells& fixed) {
  RowCells cells;
  for (auto& cell : ListRow(list, row)) {
    bool replaced = std::any_of(fixed.begin(), fixed.end(),
                                [&](const auto& other) { return other.first == cell.first; });
    if (!replaced) cells.push_back(std::move(cell));
  }
  cells.insert(cells.end(), fixed.begin(), fixed.end());
  return cells;
}

void AppendSheet(std::string* out, const SheetSource& sheet,
                 const std::vector<std::string>& sheets) {
  *out += "<table:table table:name=\"";
  AppendEscaped(out, sheet.name);
  *out += "\">\n";
  std::map<int, RowCells> rows;
  for (const CellSource& cell : sheet.cells) rows[cell.row].emplace_back(cell.column, cell.value);
  int next = 1;
  auto emit = [&](int row, const RowCells& cells) {
    AppendEmptyRows(out, row - next);
    AppendRow(out, cells, sheets);
    next = row + 1;
  };
  auto fixed = rows.begin();
  int list_end = sheet.list ? sheet.list->first_row + sheet.list->count : 0;
  for (int row = sheet.list ? sheet.list->first_row : 0; row < list_end; ++row) {
    for (; fixed != rows.end() && fixed->first < row; ++fixed) emit(fixed->first, fixed->second);
    bool has_fixed = fixed != rows.end() && fixed->first == row;
    emit(row, MergedListRow(*sheet.list, row, has_fixed ? fixed->second : RowCells{}));
    if (has_fixed) ++fixed;
  }
  for (; fixed != rows.end(); ++fixed) emit(fixed->first, fixed->second);
  if (next == 1) AppendEmptyRows(out, 1);
  *out += "</table:table>\n";
}

}  // namespace

std::string Substitute(std::string_view text, const std::map<std::string, std::string>& values) {
  return SubstituteExcept(text, values, "");
}

std::string ToOdfFormula(std::string_view formula, const std::vector<std::string>& sheets) {
  return FormulaTranslator(formula, sheets).Translate();
}

std::vector<TemplateSource> ParseTemplateSource(std::string_view text,
                                                std::string_view source_name) {
  std::vector<Line> lines = ReadLines(text, source_name);
  std::vector<TemplateSource> templates;
  if (!lines.empty() && lines[0].keyword != "template") {
    Fail(source_name, lines[0].number, "expected 'template' before '" + lines[0].keyword + "'");
  }
  size_t begin = 0;
  while (begin < lines.size()) {
    size_t end = begin + 1;
    while (end < lines.size() && lines[end].keyword != "template") ++end;
    ExpandTemplate(lines, begin, end, source_name, &templates);
    begin = end;
  }
  return templates;
}

std::string RenderFlatOds(const TemplateSource& source) {
  std::vector<std::string> sheets;
  for (const SheetSource& sheet : source.sheets) sheets.push_back(sheet.name);
  std::string out = kDocumentStart;
  for (const SheetSource& sheet : source.sheets) AppendSheet(&out, sheet, sheets);
  out += kDocumentEnd;
  return out;
}

}  // namespace vatrix
