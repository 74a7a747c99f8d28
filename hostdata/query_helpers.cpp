#include "hostdata/query_helpers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "hostdata/failure_report.h"
#include "hostdata/host_error.h"

namespace vatrix {

namespace {

std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

}  // namespace

double RoundHalfEven(double value, int decimals) {
  if (!std::isfinite(value) || value == 0) return value;
  char buffer[512];
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
  std::string digits(buffer, written.ptr);
  const auto point = digits.find('.');
  if (point == std::string::npos || digits.size() - point - 1 <= static_cast<size_t>(decimals)) {
    return value;
  }
  // Keep `decimals` digits after the point; decide on the rest.
  const std::string rest = digits.substr(point + 1 + decimals);
  std::string kept = digits.substr(0, point) + digits.substr(point + 1, decimals);
  const bool more_than_half =
      rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
  const bool half = rest[0] == '5' && !more_than_half;
  const bool odd = (kept.back() - '0') % 2 == 1;
  if (more_than_half || (half && odd)) {
    int i = static_cast<int>(kept.size()) - 1;
    while (i >= 0 && kept[i] == '9') kept[i--] = '0';
    if (i < 0) {
      kept.insert(kept.begin(), '1');
    } else {
      ++kept[i];
    }
  }
  kept.insert(kept.size() - decimals, ".");
  const double rounded = std::strtod(kept.c_str(), nullptr);
  return value < 0 ? -rounded : rounded;
}

double getAmount(const Connection& connection, std::string_view query, UserInterface& ui) {
  try {
    const RecordSet records = connection.Execute(query);
    if (records.bof()) return 0;
    const Value& value = records.field(0);
    switch (value.kind()) {
      case Value::Kind::kNumber:
        return RoundHalfEven(value.number());
      case Value::Kind::kBool:
        return value.boolean() ? -1 : 0;
      case Value::Kind::kText: {
        if (value.text().empty()) return 0;
        const char* text = value.text().c_str();
        char* end = nullptr;
        const double number = std::strtod(text, &end);
        if (*end != '\0') {
          throw HostError(kQueryRejected, "The figure \"" + value.text() + "\" is not a number",
                          records.source());
        }
        return RoundHalfEven(number);
      }
      default:
        return 0;
    }
  } catch (const HostError& error) {
    if (error.number() == kCorruptTable) throw;
    ReportDatabaseFailure(ui, kAppTitle, "Get Amount - Error", error);
    return 0;
  }
}

bool rec_found(RecordSet& records, std::string_view field, std::string_view value,
               UserInterface& ui) {
  try {
    if (records.record_count() < 1) return false;
    records.MoveFirst();
    records.Find(std::string(field) + " = '" + std::string(value) + "'");
    return !records.eof();
  } catch (const HostError& error) {
    ReportDatabaseFailure(ui, kAppTitle, "Record Found Function Error", error);
    return false;
  }
}

bool SearchMyArray(std::string_view value, const std::vector<std::string>& items,
                   std::string* matched_item) {
  matched_item->clear();
  if (value.empty()) return false;
  const std::string wanted = Upper(value);
  for (const auto& item : items) {
    if (Upper(item).find(wanted) != std::string::npos) {
      *matched_item = item;
      return true;
    }
  }
  return false;
}

}  // namespace vatrix
