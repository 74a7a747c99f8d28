#include "app/company_catalogue.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "hostdata/connection.h"
#include "hostdata/folder_database.h"
#include "hostdata/host_error.h"

namespace vatrix {

namespace {

// The provider's number for a null read into a text.
constexpr long kInvalidUseOfNull = 94;

// `value` with at least `width` digits, sign first.
std::string ZeroPadded(long long value, size_t width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return (value < 0 ? "-" : "") + digits;
}

// A catalogue code the way the chooser shows it: a number with four digits at least.
std::string ChooserCode(const Value& code) {
  double number = 0;
  if (code.kind() == Value::Kind::kNumber) {
    number = code.number();
  } else if (code.kind() == Value::Kind::kText) {
    char* end = nullptr;
    number = std::strtod(code.text().c_str(), &end);
    if (code.text().empty() || *end != '\0') return code.text();
  } else {
    return code.ToDisplayText();
  }
  if (!std::isfinite(number) || std::fabs(number) >= 1e15) return FormatNumber(number);
  return ZeroPadded(std::llround(number), 4);
}

// A catalogue date as "dd/MM/yy"; other values as they read.
std::string ShortDate(const Value& date) {
  if (date.kind() != Value::Kind::kDate) return date.ToDisplayText();
  char text[16];
  std::snprintf(text, sizeof text, "%02d/%02d/%02d", date.date().day % 100, date.date().month % 100,
                date.date().year % 100);
  return text;
}

std::string TextOrEmpty(const Value& value) { return value.is_null() ? "" : value.ToDisplayText(); }

// A financial-year date read into the session; a null one fails as the provider's read does.
std::string YearDate(const Value& value, const std::string& column, const std::string& source) {
  if (value.is_null()) {
    throw HostError(kInvalidUseOfNull, "Invalid use of Null: the column " + column + " is empty",
                    source);
  }
  return value.kind() == Value::Kind::kDate ? FormatDisplayDate(value.date())
                                            : value.ToDisplayText();
}

RecordSet Query(const std::string& host_folder, const std::string& query) {
  Connection connection;
  connection.OpenFolder(host_folder);
  return connection.Execute(query);
}

}  // namespace

std::vector<std::string> CatalogueChooserItems(const std::string& host_folder,
                                               std::vector<std::string>* left_out) {
  RecordSet companies = Query(host_folder, "Select * From Company Order By Name ASC,DFr,DTo");
  *left_out = FolderDatabase::ForFolder(host_folder)->SkippedRecords("Company");
  std::vector<std::string> items;
  for (companies.MoveFirst(); !companies.eof(); companies.MoveNext()) {
    const Value& code = companies.field("Code");
    items.push_back((code.is_null() ? "" : ChooserCode(code)) + " | " +
                    ShortDate(companies.field("DFr")) + "-" + ShortDate(companies.field("DTo")) +
                    " | " + TextOrEmpty(companies.field("Name")));
  }
  return items;
}

long long ChooserItemCode(const std::string& item) {
  const std::string text = item.substr(0, 4);
  size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return 0;
  const bool negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+') ++i;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

std::string CompanyCodeText(long long code) { return ZeroPadded(code, code <= 999 ? 3 : 4); }

void ReadCompany(const std::string& host_folder, long long code, CompanyRecord* record) {
  const RecordSet company =
      Query(host_folder,
            "Select * From Company Where Code=" + std::to_string(code) + " Order By Name ASC");
  record->CompanyCstNo = TextOrEmpty(company.field("CSTNO"));
  record->CompanyStNo = TextOrEmpty(company.field("STNO"));
  record->YearFrom = YearDate(company.field("DFR"), "DFR", company.source());
  record->YearTo = YearDate(company.field("DTO"), "DTO", company.source());
}

}  // namespace vatrix
