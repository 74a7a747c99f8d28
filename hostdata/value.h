// A field value as the host tables and query results carry it.
#ifndef VATRIX_HOSTDATA_VALUE_H_
#define VATRIX_HOSTDATA_VALUE_H_

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vatrix {

// A calendar date (proleptic Gregorian).
struct Date {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator==(const Date&, const Date&) = default;
};

// True when year/month/day name a real calendar day.
bool IsValidDate(int year, int month, int day);

// Parses "yyyy-mm-dd" exactly (the engine's stored form); nullopt otherwise.
std::optional<Date> ParseIsoDate(std::string_view text);

// Formats as "yyyy-mm-dd" (years 0 to 9999, as tables and query texts hold them).
std::string FormatIsoDate(const Date& date);
// The same written into `out`, ten characters and no terminator, for loops that format many.
void WriteIsoDate(const Date& date, char* out);

// Formats as "dd/MM/yyyy", the form the program shows and writes dates in.
std::string FormatDisplayDate(const Date& date);

// Reads a "dd/MM/yyyy" text, the form of the session's financial-year days: day and month of
// one or two digits, a four-digit year, blanks around allowed; nullopt unless it names a real
// day. The one reading of those texts, wherever a year or a day of them is needed.
std::optional<Date> ParseDisplayDate(std::string_view text);

// Null, number, text (UTF-8), date or logical.
class Value {
 public:
  enum class Kind { kNull, kNumber, kText, kDate, kBool };

  Value() = default;
  static Value Number(double number) { return Value(number); }
  static Value Text(std::string text) { return Value(std::move(text)); }
  static Value FromDate(Date date) { return Value(date); }
  static Value Bool(bool flag) { return Value(flag); }

  Kind kind() const { return static_cast<Kind>(data_.index()); }
  bool is_null() const { return kind() == Kind::kNull; }

  // Accessors; each requires the matching kind.
  double number() const { return std::get<double>(data_); }
  const std::string& text() const { return std::get<std::string>(data_); }
  Date date() const { return std::get<Date>(data_); }
  bool boolean() const { return std::get<bool>(data_); }

  // The value as a user reads it: null as "", dates "dd/MM/yyyy", logicals "True"/"False",
  // numbers in their shortest exact decimal form (12 not 12.0, 0.1 not 0.1000000000000000055).
  std::string ToDisplayText() const;

  friend bool operator==(const Value&, const Value&) = default;

 private:
  explicit Value(double number) : data_(number) {}
  explicit Value(std::string text) : data_(std::move(text)) {}
  explicit Value(Date date) : data_(date) {}
  explicit Value(bool flag) : data_(flag) {}

  std::variant<std::monostate, double, std::string, Date, bool> data_;
};

// Shortest decimal text that reads back as exactly `number` ("12", "0.1", "-3.25").
std::string FormatNumber(double number);

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_VALUE_H_
