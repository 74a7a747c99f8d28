#include "hostdata/record_set.h"

#include <charconv>
#include <cstdio>
#include <numeric>

#include "hostdata/host_error.h"
#include "hostdata/text.h"

namespace vatrix {

namespace {

[[noreturn]] void Misuse(const std::string& what, const std::string& source) {
  throw HostError(kRecordSetMisuse, what, source);
}

// Reads "m/d/yyyy" into a date.
std::optional<Date> ParseUsDate(std::string_view text) {
  int month = 0, day = 0, year = 0;
  char tail = 0;
  if (std::sscanf(std::string(text).c_str(), "%d/%d/%d%c", &month, &day, &year, &tail) != 3 ||
      !IsValidDate(year, month, day)) {
    return std::nullopt;
  }
  return Date{year, month, day};
}

struct Criterion {
  std::string field;
  Value value;
};

// Reads "Name = 'text'", "Name = #m/d/yyyy#" or "Name = number".
std::optional<Criterion> ParseCriterion(std::string_view text) {
  const auto equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  std::string_view name = Trim(text.substr(0, equals));
  std::string_view value = Trim(text.substr(equals + 1));
  if (name.size() > 2 && name.front() == '[' && name.back() == ']') {
    name = name.substr(1, name.size() - 2);
  }
  if (name.empty() || value.empty()) return std::nullopt;
  if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
    std::string inner;
    for (size_t i = 1; i + 1 < value.size(); ++i) {
      if (value[i] == '\'' && i + 2 < value.size() && value[i + 1] == '\'') ++i;
      inner += value[i];
    }
    return Criterion{std::string(name), Value::Text(inner)};
  }
  if (value.size() >= 2 && value.front() == '#' && value.back() == '#') {
    const auto date = ParseUsDate(value.substr(1, value.size() - 2));
    if (!date) return std::nullopt;
    return Criterion{std::string(name), Value::FromDate(*date)};
  }
  double number = 0;
  const auto result = std::from_chars(value.data(), value.data() + value.size(), number);
  if (result.ec != std::errc() || result.ptr != value.data() + value.size()) return std::nullopt;
  return Criterion{std::string(name), Value::Number(number)};
}

std::optional<double> AsNumber(const Value& value) {
  if (value.kind() == Value::Kind::kNumber) return value.number();
  if (value.kind() == Value::Kind::kBool) return value.boolean() ? -1.0 : 0.0;
  if (value.kind() != Value::Kind::kText) return std::nullopt;
  const std::string_view text = Trim(value.text());
  double number = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return std::nullopt;
  }
  return number;
}

}  // namespace

RecordSet::RecordSet(std::vector<std::string> field_names, std::vector<std::vector<Value>> rows,
                     std::string source)
    : field_names_(std::move(field_names)), rows_(std::move(rows)), source_(std::move(source)) {
  visible_.resize(rows_.size());
  std::iota(visible_.begin(), visible_.end(), 0);
}

void RecordSet::MoveFirst() { position_ = 0; }
void RecordSet::MoveLast() { position_ = record_count() - 1; }

void RecordSet::MoveNext() {
  if (eof()) Misuse("MoveNext past the end of the record set", source_);
  ++position_;
}

void RecordSet::MovePrevious() {
  if (bof()) Misuse("MovePrevious before the start of the record set", source_);
  --position_;
}

int RecordSet::absolute_position() const { return bof() || eof() ? 0 : position_ + 1; }

void RecordSet::set_absolute_position(int position) {
  if (position < 1 || position > record_count()) {
    Misuse("Position " + std::to_string(position) + " is outside the record set", source_);
  }
  position_ = position - 1;
}

std::optional<int> RecordSet::FieldIndex(std::string_view name) const {
  for (int i = 0; i < field_count(); ++i) {
    if (EqualsIgnoreCase(field_names_[i], name)) return i;
  }
  return std::nullopt;
}

const std::vector<Value>& RecordSet::current_row() const {
  if (bof() || eof()) Misuse("No current record (BOF or EOF)", source_);
  return rows_[visible_[position_]];
}

const Value& RecordSet::field(int index) const {
  const auto& row = current_row();
  if (index < 0 || index >= field_count()) {
    Misuse("Field " + std::to_string(index) + " does not exist", source_);
  }
  return row[index];
}

const Value& RecordSet::field(std::string_view name) const {
  const auto index = FieldIndex(name);
  if (!index) Misuse("Field '" + std::string(name) + "' does not exist", source_);
  return field(*index);
}

RecordSet::Wanted::Wanted(Value wanted)
    : value(std::move(wanted)),
      number(AsNumber(value)),
      us_date(value.kind() == Value::Kind::kText ? ParseUsDate(value.text()) : std::nullopt) {}

bool RecordSet::Matches(const std::vector<Value>& row, int field, const Wanted& wanted) const {
  const Value& have = row[field];
  if (have.is_null()) return false;
  if (wanted.value.kind() == Value::Kind::kDate) {
    return have.kind() == Value::Kind::kDate && have.date() == wanted.value.date();
  }
  if (have.kind() == Value::Kind::kText && wanted.value.kind() == Value::Kind::kText) {
    return EqualsIgnoreCase(have.text(), wanted.value.text());  // text compares ignore case
  }
  if (have.kind() == Value::Kind::kDate) {
    return wanted.value.kind() == Value::Kind::kText &&
           wanted.us_date.value_or(Date{}) == have.date();
  }
  const auto a = AsNumber(have);
  return a && wanted.number && *a == *wanted.number;
}

void RecordSet::Find(std::string_view criterion) {
  const auto parsed = ParseCriterion(criterion);
  const auto field = parsed ? FieldIndex(parsed->field) : std::nullopt;
  if (!field) Misuse("Find criterion '" + std::string(criterion) + "' cannot be used", source_);
  if (bof()) position_ = 0;
  const Wanted wanted(parsed->value);
  while (!eof() && !Matches(rows_[visible_[position_]], *field, wanted)) ++position_;
}

void RecordSet::SetFilter(std::string_view criterion) {
  std::vector<int> visible;
  if (Trim(criterion).empty()) {
    visible.resize(rows_.size());
    std::iota(visible.begin(), visible.end(), 0);
  } else {
    const auto parsed = ParseCriterion(criterion);
    const auto field = parsed ? FieldIndex(parsed->field) : std::nullopt;
    if (!field) Misuse("Filter '" + std::string(criterion) + "' cannot be used", source_);
    const Wanted wanted(parsed->value);
    for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
      if (Matches(rows_[i], *field, wanted)) visible.push_back(i);
    }
  }
  visible_ = std::move(visible);
  position_ = 0;
}

}  // namespace vatrix
