// The VAT credit the dealer carries into a period: the VAT account's opening credit, rolled
// forward through the months (or quarters) of the financial year that lie before the period.
#ifndef VATRIX_RETURNS_VAT_CREDIT_H_
#define VATRIX_RETURNS_VAT_CREDIT_H_

#include <string>
#include <vector>

#include "hostdata/connection.h"
#include "hostdata/user_interface.h"
#include "returns/session.h"

namespace vatrix {

// The step queries: net debit of the VAT account per month ("YearMonth", "04".."03") or per
// quarter ("Qrtr", "01".."04"), with the opening credit "VatOpBal", from the first day of the
// financial year `year_from` ("dd/MM/yyyy") to `period_start` (" #m/d/yyyy# "). Throws
// HostError kQueryRejected when `year_from` is not a date of that form.
std::string MonthlyCreditStepQuery(const std::string& year_from, const std::string& period_start);
std::string QuarterlyCreditStepQuery(const std::string& year_from, const std::string& period_start);

// The step query VatCreditCheck runs for the session's period and `return_type`; none when
// the session's YearFrom is not a date.
std::vector<std::string> VatCreditQueries(const Session& session, const std::string& return_type);

// Sets session->VatCredit: 0 first, then the opening credit rolled forward step by step up to
// the session's period, a negative running credit becoming 0 at each step. `return_type`
// "Quaterly" rolls by quarter up to PeriodIndex, anything else by month up to PeriodMonth. A
// failure is reported under "Vat Credit Check - Error" and leaves the credit reached so far; a
// table that cannot be opened ends the program (ProgramEnding).
void VatCreditCheck(Session* session, const Connection& connection, const std::string& return_type,
                    UserInterface& ui);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_VAT_CREDIT_H_
