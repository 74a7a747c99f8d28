#include "returns/vat_credit.h"

#include <array>
#include <optional>
#include <string_view>

#include "hostdata/failure_report.h"
#include "hostdata/host_error.h"
#include "hostdata/query_helpers.h"
#include "hostdata/record_set.h"
#include "hostdata/value.h"

namespace vatrix {
namespace {

constexpr std::string_view kStepSums =
    "SELECT Sum(IIf(Ledger.DC='C',Ledger.Amt,0)) AS VatDebit, Sum(IIf(Ledger.DC='D',Ledger.Amt,0)) "
    "AS VatCredit, Sum(IIf(Ledger.DC='C',-Ledger.Amt,Ledger.Amt)) AS VatClosing, ";
constexpr std::string_view kMonthKey = "Format(Month([DATE]),'00')";
constexpr std::string_view kQuarterKey =
    "Format(IIf(Month(Ledger.Date)=4 Or Month(Ledger.Date)=5 Or Month(Ledger.Date)=6,1,"
    "IIf(Month(Ledger.Date)=7 Or Month(Ledger.Date)=8 Or Month(Ledger.Date)=9,2,"
    "IIf(Month(Ledger.Date)=10 Or Month(Ledger.Date)=11 Or Month(Ledger.Date)=12,3,4))),'00')";
constexpr std::string_view kOpeningCredit = "IIf([OPBAL]<0,-[OPBAL],0)";
// The VAT account's postings of bill vouchers (any date), or of other vouchers that carry a
// tax code (within the date range that follows; And binds before Or).
constexpr std::string_view kStepSource =
    "FROM Ledger INNER JOIN ACT ON Ledger.CODE = ACT.CODE "
    "Where (((ACT.ACT_TYPE) = 90) And ((Ledger.VTYPE) = 'SA' Or (Ledger.VTYPE) = 'SR' Or "
    "(Ledger.VTYPE) = 'PR' Or (Ledger.VTYPE) = 'PU')) Or (((([Ledger].[VTYPE]) = 'SA' Or "
    "([Ledger].[VTYPE]) = 'SR' Or ([Ledger].[VTYPE]) = 'PU' Or ([Ledger].[VTYPE]) = 'PR') = "
    "False) And (Not (Ledger.VATCODE) Is Null) And ((ACT.ACT_TYPE)=90)) And ";

constexpr std::array<std::string_view, 12> kMonthCodes = {"04", "05", "06", "07", "08", "09",
                                                          "10", "11", "12", "01", "02", "03"};
constexpr std::array<std::string_view, 4> kQuarterCodes = {"01", "02", "03", "04"};

// "m/d/y" of a "dd/MM/yyyy" text, without leading zeros.
std::string YearStartLiteral(const std::string& year_from) {
  const std::optional<Date> day = ParseDisplayDate(year_from);
  if (!day) {
    throw HostError(kQueryRejected, "the first day of the financial year is not a date",
                    "YearFrom \"" + year_from + "\"");
  }
  return std::to_string(day->month) + "/" + std::to_string(day->day) + "/" +
         std::to_string(day->year);
}

std::string StepQuery(std::string_view key, std::string_view key_name, const std::string& year_from,
                      const std::string& period_start) {
  std::string query(kStepSums);
  query.append(key).append(" AS ").append(key_name).append(", ");
  query.append(kOpeningCredit).append(" AS VatOpBal ").append(kStepSource);
  query += "Ledger.DATE Between #" + YearStartLiteral(year_from) + "# and" + period_start;
  query.append("GROUP BY ").append(key).append(", ").append(kOpeningCredit);
  return query;
}

// A numeric field's value; null (an empty sum) counts as 0.
double AmountOf(const Value& value, std::string_view field, const RecordSet& records) {
  if (value.is_null()) return 0;
  if (value.kind() != Value::Kind::kNumber) {
    throw HostError(kRecordSetMisuse, "the field " + std::string(field) + " is not a number",
                    records.source());
  }
  return value.number();
}

template <size_t N>
void RollForward(RecordSet& steps, const std::array<std::string_view, N>& codes,
                 std::string_view column, int current, Session* session, UserInterface& ui) {
  if (current == std::stoi(std::string(codes.front()))) return;
  for (std::string_view code : codes) {
    if (std::stoi(std::string(code)) == current) return;
    if (rec_found(steps, column, code, ui)) {
      const double step =
          session->VatCredit + AmountOf(steps.field("vatclosing"), "vatclosing", steps);
      session->VatCredit = step < 0 ? 0 : step;
    }
  }
}

}  // namespace

std::string MonthlyCreditStepQuery(const std::string& year_from, const std::string& period_start) {
  return StepQuery(kMonthKey, "YearMonth", year_from, period_start);
}

std::string QuarterlyCreditStepQuery(const std::string& year_from,
                                     const std::string& period_start) {
  return StepQuery(kQuarterKey, "Qrtr", year_from, period_start);
}

std::vector<std::string> VatCreditQueries(const Session& session, const std::string& return_type) {
  if (!ParseDisplayDate(session.YearFrom)) return {};
  const auto step_query =
      return_type == "Quaterly" ? QuarterlyCreditStepQuery : MonthlyCreditStepQuery;
  return {step_query(session.YearFrom, session.PeriodStart)};
}

void VatCreditCheck(Session* session, const Connection& connection, const std::string& return_type,
                    UserInterface& ui) {
  session->VatCredit = 0;
  try {
    // Only the steps the return rolls by are read: both step queries read the same rows.
    const bool by_quarter = return_type == "Quaterly";
    RecordSet steps = connection.Execute(
        by_quarter ? QuarterlyCreditStepQuery(session->YearFrom, session->PeriodStart)
                   : MonthlyCreditStepQuery(session->YearFrom, session->PeriodStart));
    session->VatCredit = AmountOf(steps.field("VatOpBal"), "VatOpBal", steps);
    if (by_quarter) {
      RollForward(steps, kQuarterCodes, "Qrtr", session->PeriodIndex, session, ui);
    } else {
      RollForward(steps, kMonthCodes, "YearMonth", session->PeriodMonth, session, ui);
    }
  } catch (const HostError& error) {
    ReportDatabaseFailure(ui, session->AppTitle, "Vat Credit Check - Error", error);
  }
}

}  // namespace vatrix
