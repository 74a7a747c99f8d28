#include "dialogs/company_search.h"

#include <algorithm>
#include <cstdlib>

#include "hostdata/connection.h"
#include "hostdata/text.h"

namespace vatrix {

namespace {

constexpr char kColumns[] = "Select Code,Name,DFr,DTo From Company";
constexpr char kChooserOrder[] = " Order By Name ASC,DFr,DTo";

// The number a Code reads as; 0 for a null or a text without one.
double CodeNumber(const Value& code) {
  if (code.kind() == Value::Kind::kNumber) return code.number();
  if (code.kind() == Value::Kind::kText) return std::strtod(code.text().c_str(), nullptr);
  return 0;
}

// The length of a UTF-8 text in characters.
size_t CharacterCount(const std::string& text) {
  return std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
}

// `text` inside a quoted query literal: each apostrophe doubled, so a pasted one cannot end it.
std::string Literal(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out;
}

RecordSet Run(const std::string& host_folder, const std::string& query) {
  Connection connection;
  connection.OpenFolder(host_folder);
  return connection.Execute(query);
}

}  // namespace

CompanySearch::CompanySearch(std::string host_folder, UserInterface& ui, int chosen_position)
    : host_folder_(std::move(host_folder)), ui_(ui), chosen_position_(chosen_position) {}

void CompanySearch::Load() {
  Query(std::string(kColumns) + kChooserOrder);
  column_ = 1;  // "Name"
}

void CompanySearch::Query(const std::string& query) {
  RecordSet records = Run(host_folder_, query);
  columns_.clear();
  for (int field = 0; field < records.field_count(); ++field) {
    columns_.push_back(records.field_name(field));
  }
  rows_.clear();
  codes_.clear();
  for (records.MoveFirst(); !records.eof(); records.MoveNext()) {
    std::vector<std::string> row;
    for (int field = 0; field < records.field_count(); ++field) {
      row.push_back(records.field(field).ToDisplayText());
    }
    rows_.push_back(std::move(row));
    codes_.push_back(CodeNumber(records.field("Code")));
  }
  current_ = rows_.empty() ? -1 : 0;
}

void CompanySearch::ChooseColumn(int index) {
  if (index < 0 || index >= static_cast<int>(columns_.size())) return;
  column_ = index;
  if (!text_.empty()) SetSearchText("");
}

std::string CompanySearch::TypedCharacter(const std::string& text, const std::string& character) {
  if (character == "'") return "";
  if (text.empty() || text.back() == ' ') return ToUpperAscii(character);
  return character;
}

void CompanySearch::SetSearchText(std::string text) {
  text_ = std::move(text);
  const std::string& column = columns_.at(column_);
  Query(std::string(kColumns) + " where ucase(mid(" + column + ",1," +
        std::to_string(CharacterCount(text_)) + "))= '" + Literal(text_) + "' Order By " + column);
}

void CompanySearch::SetCurrent(int row) {
  if (row >= 0 && row < static_cast<int>(rows_.size())) current_ = row;
}

void CompanySearch::Key(SearchKey key) {
  const int last = static_cast<int>(rows_.size()) - 1;
  switch (key) {
    case SearchKey::kEscape:
      closed_ = true;
      return;
    case SearchKey::kHome:
      current_ = std::min(0, last);
      return;
    case SearchKey::kEnd:
      current_ = last;
      return;
    case SearchKey::kUp:
    case SearchKey::kPageUp:
      current_ = std::min(std::max(current_ - 1, 0), last);
      return;
    case SearchKey::kDown:
    case SearchKey::kPageDown:
      current_ = std::min(current_ + 1, last);
      return;
  }
}

void CompanySearch::Choose() {
  if (current_ < 0) {
    ui_.ShowMessage(
        {kSearchTitle, "No Record Found.....\r\n\r\n", MessageIcon::kNone, MessageButtons::kOk});
    closed_ = true;
    return;
  }
  const double code = codes_[current_];
  Query(std::string(kColumns) + " Order By Name,DFr,DTo");
  const auto found = std::find(codes_.begin(), codes_.end(), code);
  chosen_position_ = found == codes_.end() ? 0 : static_cast<int>(found - codes_.begin());
  closed_ = true;
}

std::vector<int> CompanySearch::ColumnWidths(const std::function<int(const std::string&)>& measure,
                                             int padding) const {
  std::vector<int> widths;
  for (size_t column = 0; column < columns_.size(); ++column) {
    int width = measure(columns_[column]);
    for (const auto& row : rows_) width = std::max(width, measure(row[column]));
    widths.push_back(width + padding);
  }
  return widths;
}

}  // namespace vatrix
