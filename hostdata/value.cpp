#include "hostdata/value.h"

#include <charconv>
#include <cstdio>

#include "hostdata/text.h"

namespace vatrix {

bool IsValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int last = (month == 2 && leap) ? 29 : kDays[month - 1];
  return day <= last;
}

static bool ReadDigits(std::string_view text, size_t pos, size_t count, int* out) {
  int value = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  *out = value;
  return true;
}

std::optional<Date> ParseIsoDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  Date date;
  if (!ReadDigits(text, 0, 4, &date.year) || !ReadDigits(text, 5, 2, &date.month) ||
      !ReadDigits(text, 8, 2, &date.day) || !IsValidDate(date.year, date.month, date.day)) {
    return std::nullopt;
  }
  return date;
}

std::string FormatIsoDate(const Date& date) {
  char buffer[10];
  WriteIsoDate(date, buffer);
  return std::string(buffer, sizeof buffer);
}

void WriteIsoDate(const Date& date, char* out) {
  const auto digits = [](int number, char* at, int count) {
    for (int i = count - 1; i >= 0; --i, number /= 10) at[i] = static_cast<char>('0' + number % 10);
  };
  digits(date.year, out, 4);
  out[4] = '-';
  digits(date.month, out + 5, 2);
  out[7] = '-';
  digits(date.day, out + 8, 2);
}

std::string FormatDisplayDate(const Date& date) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d/%02d/%04d", date.day, date.month, date.year);
  return buffer;
}

std::optional<Date> ParseDisplayDate(std::string_view text) {
  text = Trim(text);
  const size_t first = text.find('/');
  const size_t second = first == std::string_view::npos ? first : text.find('/', first + 1);
  if (second == std::string_view::npos || first < 1 || first > 2 || second - first < 2 ||
      second - first > 3 || text.size() - second != 5) {
    return std::nullopt;
  }
  Date date;
  if (!ReadDigits(text, 0, first, &date.day) ||
      !ReadDigits(text, first + 1, second - first - 1, &date.month) ||
      !ReadDigits(text, second + 1, 4, &date.year) ||
      !IsValidDate(date.year, date.month, date.day)) {
    return std::nullopt;
  }
  return date;
}

std::string FormatNumber(double number) {
  if (number == 0) return "0";  // also folds -0
  char buffer[512];             // fixed notation of the largest double needs 310 characters
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

std::string Value::ToDisplayText() const {
  switch (kind()) {
    case Kind::kNull:
      return "";
    case Kind::kNumber:
      return FormatNumber(number());
    case Kind::kText:
      return text();
    case Kind::kDate:
      return FormatDisplayDate(date());
    case Kind::kBool:
      return boolean() ? "True" : "False";
  }
  return "";
}

}  // namespace vatrix
