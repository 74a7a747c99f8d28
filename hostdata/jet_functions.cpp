#include "hostdata/jet_functions.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "hostdata/host_error.h"
#include "hostdata/text.h"
#include "hostdata/value.h"

namespace vatrix {
namespace {

using Call = void (*)(sqlite3_context*, int, sqlite3_value**);

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Shortest text that reads back as `number` ("12", "0.5").
std::string NumberText(double number) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  return std::string(buffer, result.ptr);
}

// The argument as the provider turns it into text: numbers in their shortest form.
std::string Text(sqlite3_value* value) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      return std::to_string(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
      return NumberText(sqlite3_value_double(value));
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
      return text ? std::string(text, sqlite3_value_bytes(value)) : std::string();
    }
  }
}

void ResultText(sqlite3_context* context, const std::string& text) {
  sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

bool IsNullArg(sqlite3_value* value) { return sqlite3_value_type(value) == SQLITE_NULL; }

// Reads a whole text as a number ("12", "-3.5", "1e3", blanks around allowed).
std::optional<double> WholeNumber(std::string_view text) {
  text = Trim(text, " \t");
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double number = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    return std::nullopt;
  }
  return number;
}

// Splits "a/b/c" (separators '/', '-' or '.') into three runs of one to four digits.
bool ReadDateParts(std::string_view text, int parts[3], size_t digits[3]) {
  int part = 0;
  for (char c : text) {
    if ((c == '/' || c == '-' || c == '.') && part < 2 && digits[part] > 0) {
      ++part;
    } else if (IsDigit(c) && digits[part] < 4) {
      parts[part] = parts[part] * 10 + (c - '0');
      ++digits[part];
    } else {
      return false;
    }
  }
  return part == 2 && digits[2] > 0;
}

// A text that reads as a day: the stored 'yyyy-mm-dd', y/m/d, or day/month/year as the program
// writes dates, month/day/year where only that reading is a real day; a two-digit year is
// 1930-2029.
std::optional<Date> ReadDate(std::string_view text) {
  text = Trim(text, " \t");
  if (auto iso = ParseIsoDate(text)) return iso;
  int parts[3] = {0, 0, 0};
  size_t digits[3] = {0, 0, 0};
  if (!ReadDateParts(text, parts, digits)) return std::nullopt;
  if (digits[0] == 4) {
    if (digits[1] > 2 || digits[2] > 2 || !IsValidDate(parts[0], parts[1], parts[2])) {
      return std::nullopt;
    }
    return Date{parts[0], parts[1], parts[2]};
  }
  if (digits[0] > 2 || digits[1] > 2 || (digits[2] != 2 && digits[2] != 4)) return std::nullopt;
  const int year = digits[2] == 4 ? parts[2] : parts[2] + (parts[2] < 30 ? 2000 : 1900);
  if (IsValidDate(year, parts[1], parts[0])) return Date{year, parts[1], parts[0]};
  if (IsValidDate(year, parts[0], parts[1])) return Date{year, parts[0], parts[1]};
  return std::nullopt;
}

std::optional<Date> DateArg(sqlite3_value* value) {
  if (sqlite3_value_type(value) != SQLITE_TEXT) return std::nullopt;
  return ReadDate(Text(value));
}

void IsNullFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  sqlite3_result_int(context, IsNullArg(argv[0]) ? 1 : 0);
}

void IsDateFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  sqlite3_result_int(context, DateArg(argv[0]) ? 1 : 0);
}

// The longest number at the start of `text`, blanks, tabs and line feeds skipped anywhere.
std::optional<double> LeadingNumber(std::string_view text) {
  std::string compact;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n') compact += c;
  }
  size_t pos = 0;
  auto digits = [&] {
    const size_t begin = pos;
    while (pos < compact.size() && IsDigit(compact[pos])) ++pos;
    return pos - begin;
  };
  std::string number;
  if (pos < compact.size() && (compact[pos] == '-' || compact[pos] == '+')) {
    if (compact[pos++] == '-') number = "-";
  }
  const size_t mantissa_begin = pos;
  size_t count = digits();
  if (pos < compact.size() && compact[pos] == '.') {
    ++pos;
    count += digits();
  }
  if (count == 0) return 0.0;
  number += compact.substr(mantissa_begin, pos - mantissa_begin);
  if (pos < compact.size() && std::string_view("eEdD").find(compact[pos]) != std::string::npos) {
    const size_t exponent_begin = ++pos;
    if (pos < compact.size() && (compact[pos] == '-' || compact[pos] == '+')) ++pos;
    if (digits() > 0) number += "e" + compact.substr(exponent_begin, pos - exponent_begin);
  }
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec != std::errc()) return std::nullopt;
  return value;
}

void ValFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
      sqlite3_result_null(context);
      return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      sqlite3_result_double(context, sqlite3_value_double(argv[0]));
      return;
  }
  const auto number = LeadingNumber(Text(argv[0]));
  if (!number) {
    sqlite3_result_error(context, "Val: the number is out of range", -1);
    return;
  }
  sqlite3_result_double(context, *number);
}

// A numeric format such as "00", "#,##0.00" or "0.##".
struct NumberFormat {
  size_t min_whole = 0;  // '0' before the point
  bool grouped = false;  // ',' before the point
  bool point = false;
  size_t min_fraction = 0;  // '0' after the point
  size_t max_fraction = 0;  // '0' and '#' after the point
};

std::optional<NumberFormat> ReadNumberFormat(std::string_view format) {
  NumberFormat result;
  bool any_digit = false;
  size_t i = 0;
  for (; i < format.size() && format[i] != '.'; ++i) {
    if (format[i] == '0') ++result.min_whole;
    if (format[i] == ',') result.grouped = true;
    if (format[i] != '0' && format[i] != '#' && format[i] != ',') return std::nullopt;
    any_digit = any_digit || format[i] != ',';
  }
  result.point = i < format.size();
  for (++i; i < format.size(); ++i) {
    if (format[i] != '0' && format[i] != '#') return std::nullopt;
    if (format[i] == '0') ++result.min_fraction;
    ++result.max_fraction;
    any_digit = true;
  }
  if (!any_digit) return std::nullopt;
  return result;
}

// Adds one unit in the last place of a run of decimal digits.
void Increment(std::string* digits) {
  for (auto it = digits->rbegin(); it != digits->rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return;
    }
    *it = '0';
  }
  digits->insert(digits->begin(), '1');
}

std::string Grouped(const std::string& whole) {
  std::string out;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) out += ',';
    out += whole[i];
  }
  return out;
}

std::string ApplyNumberFormat(double number, const NumberFormat& format) {
  char buffer[400];
  const auto printed =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(number), std::chars_format::fixed);
  if (printed.ec != std::errc()) return NumberText(number);
  const std::string text(buffer, printed.ptr);
  const size_t dot = text.find('.');
  std::string whole = text.substr(0, dot);
  std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
  if (fraction.size() > format.max_fraction) {
    const bool up = fraction[format.max_fraction] >= '5';  // halves away from zero
    fraction.resize(format.max_fraction);
    if (up) {
      std::string all = whole + fraction;
      Increment(&all);
      whole = all.substr(0, all.size() - fraction.size());
      fraction = all.substr(whole.size());
    }
  }
  while (fraction.size() > format.min_fraction && fraction.back() == '0') fraction.pop_back();
  fraction.resize(std::max(fraction.size(), format.min_fraction), '0');
  const size_t first = whole.find_first_not_of('0');
  whole = first == std::string::npos ? "" : whole.substr(first);
  if (whole.size() < format.min_whole) whole.insert(0, format.min_whole - whole.size(), '0');
  const bool zero = (whole + fraction).find_first_not_of('0') == std::string::npos;
  std::string out = number < 0 && !zero ? "-" : "";
  out += format.grouped ? Grouped(whole) : whole;
  if (format.point) out += "." + fraction;
  return out;
}

// A date format of d, dd, m, mm, yy, yyyy and the separators / - . and blank.
std::optional<std::string> ApplyDateFormat(std::string_view format, const Date& date) {
  std::string out;
  bool any_part = false;
  for (size_t i = 0; i < format.size();) {
    const char c = static_cast<char>(format[i] | 0x20);
    size_t run = 1;
    while (i + run < format.size() && static_cast<char>(format[i + run] | 0x20) == c) ++run;
    char part[8];
    if ((c == 'd' || c == 'm') && run <= 2) {
      std::snprintf(part, sizeof part, run == 2 ? "%02d" : "%d", c == 'd' ? date.day : date.month);
    } else if (c == 'y' && (run == 2 || run == 4)) {
      std::snprintf(part, sizeof part, "%0*d", static_cast<int>(run),
                    run == 2 ? date.year % 100 : date.year);
    } else if (std::string_view("/-. ").find(format[i]) != std::string::npos) {
      out += format[i++];
      continue;
    } else {
      return std::nullopt;
    }
    out += part;
    any_part = true;
    i += run;
  }
  if (!any_part) return std::nullopt;
  return out;
}

std::optional<double> NumberArg(sqlite3_value* value) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return sqlite3_value_double(value);
    case SQLITE_TEXT:
      return WholeNumber(Text(value));
    default:
      return std::nullopt;
  }
}

std::string Formatted(sqlite3_value* value, std::string_view format) {
  if (const auto number_format = ReadNumberFormat(format)) {
    const auto number = NumberArg(value);
    if (number && std::isfinite(*number)) return ApplyNumberFormat(*number, *number_format);
  } else if (const auto date = DateArg(value)) {
    if (auto text = ApplyDateFormat(format, *date)) return *text;
  }
  return Text(value);
}

void FormatFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
  if (IsNullArg(argv[0])) {
    sqlite3_result_null(context);
  } else if (argc < 2 || IsNullArg(argv[1])) {
    ResultText(context, Text(argv[0]));
  } else {
    ResultText(context, Formatted(argv[0], Text(argv[1])));
  }
}

void MonthFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  if (IsNullArg(argv[0])) {
    sqlite3_result_null(context);
  } else if (const auto date = DateArg(argv[0])) {
    sqlite3_result_int(context, date->month);
  } else {
    const std::string message = "Month: '" + Text(argv[0]) + "' is not a date";
    sqlite3_result_error(context, message.c_str(), -1);
  }
}

void UCaseFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  if (IsNullArg(argv[0])) {
    sqlite3_result_null(context);
    return;
  }
  std::string text = Text(argv[0]);
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 'a' && c <= 'z') {
      text[i] = static_cast<char>(c - 'a' + 'A');
    } else if (c == 0xC3 && i + 1 < text.size()) {
      // U+00E0..U+00FE (but U+00F7) are C3 A0..C3 BE; their capitals lie 0x20 lower.
      const auto next = static_cast<unsigned char>(text[i + 1]);
      if (next >= 0xA0 && next <= 0xBE && next != 0xB7)
        text[i + 1] = static_cast<char>(next - 0x20);
      if (next == 0xBF) text.replace(i, 2, "\xC5\xB8");  // U+00FF to U+0178
      ++i;
    }
  }
  ResultText(context, text);
}

// Byte offset of the `count`-th UTF-8 character of `text` (its size when there are fewer).
size_t CharacterOffset(std::string_view text, double count) {
  size_t pos = 0;
  for (double seen = 0; pos < text.size() && seen < count; ++seen) {
    ++pos;
    while (pos < text.size() && IsContinuation(text[pos])) ++pos;
  }
  return pos;
}

void MidFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i) {
    if (IsNullArg(argv[i])) {
      sqlite3_result_null(context);
      return;
    }
  }
  const double start = std::nearbyint(sqlite3_value_double(argv[1]));
  const double length = argc > 2 ? std::nearbyint(sqlite3_value_double(argv[2])) : HUGE_VAL;
  if (!(start >= 1) || !(length >= 0)) {
    sqlite3_result_error(context, "Mid: the start must be 1 or more and the length not negative",
                         -1);
    return;
  }
  const std::string text = Text(argv[0]);
  const size_t begin = CharacterOffset(text, start - 1);
  const size_t end = begin + CharacterOffset(std::string_view(text).substr(begin), length);
  ResultText(context, text.substr(begin, end - begin));
}

// a / b with the provider's failure on a zero divisor; null when either is null.
void DivideFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  if (IsNullArg(argv[0]) || IsNullArg(argv[1])) {
    sqlite3_result_null(context);
    return;
  }
  const double divisor = sqlite3_value_double(argv[1]);
  if (divisor == 0) {
    sqlite3_result_error(context, "Division by zero", -1);
    return;
  }
  sqlite3_result_double(context, sqlite3_value_double(argv[0]) / divisor);
}

}  // namespace

void RegisterJetFunctions(sqlite3* db) {
  static const struct {
    const char* name;
    int arguments;
    Call call;
  } kFunctions[] = {{"jet_isnull", 1, IsNullFunction}, {"jet_isdate", 1, IsDateFunction},
                    {"jet_val", 1, ValFunction},       {"jet_format", 1, FormatFunction},
                    {"jet_format", 2, FormatFunction}, {"jet_month", 1, MonthFunction},
                    {"jet_ucase", 1, UCaseFunction},   {"jet_mid", 2, MidFunction},
                    {"jet_mid", 3, MidFunction},       {"jet_div", 2, DivideFunction}};
  for (const auto& function : kFunctions) {
    if (sqlite3_create_function_v2(db, function.name, function.arguments,
                                   SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, function.call,
                                   nullptr, nullptr, nullptr) != SQLITE_OK) {
      throw HostError(kQueryRejected,
                      std::string("The query function ") + function.name +
                          " cannot be registered: " + sqlite3_errmsg(db),
                      "query engine");
    }
  }
}

}  // namespace vatrix
