#include "returns/form205_queries.h"

#include <iterator>

#include "returns/form201_queries.h"

namespace vatrix {
namespace {

// A12: sale returns other than those of the central classes (18, 12 and TYPE "C"); the fixed
// text ends in two blanks.
constexpr std::string_view kLocalSaleReturns =
    "SELECT Sum(Bill_amt) AS Amount From SP INNER JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
    "(SP.VTYPE='SR') and (STAX.VATTYPE<>18 and STAX.VATTYPE<>12 and Stax.Type<>'C') and  ";

constexpr int kA12 = 12;

// For A1..A30, the Form 201 query Qn whose text A has (0 for A12, which is Form 205's own).
constexpr int kSameAsForm201[30] = {
    1,  2,  5,  6,  7,  8,  9,  14, 12, 15,  // A1..A10
    13, 0,  22, 27, 29, 23, 30, 24, 28, 3,   // A11..A20
    4,  18, 16, 19, 17, 11, 20, 10, 25, 26,  // A21..A30
};

}  // namespace

std::vector<std::string> Form205AggregateQueries(std::string_view period_range) {
  const std::vector<std::string> form201 = Form201AggregateQueries(period_range);
  std::vector<std::string> queries;
  queries.reserve(std::size(kSameAsForm201));
  for (int a = 1; a <= static_cast<int>(std::size(kSameAsForm201)); ++a) {
    if (a == kA12) {
      queries.push_back(std::string(kLocalSaleReturns) + "(SP.DATE" + std::string(period_range) +
                        ")");
    } else {
      queries.push_back(form201.at(kSameAsForm201[a - 1] - 1));
    }
  }
  return queries;
}

const char kVatPaymentsQuery[] =
    "SELECT LEDGER.*, LEDGER.VTYPE, Month(Ledger.DATE) AS MonthNm FROM LEDGER INNER JOIN ACT ON "
    "LEDGER.CODE = ACT.CODE "
    "Where (((LEDGER.VTYPE) <> 'SA' And (LEDGER.VTYPE) <> 'PU' And (LEDGER.VTYPE) <> 'SR' And "
    "(LEDGER.VTYPE) <> 'PR') And ((LEDGER.VATCODE) Is Null) And ((ACT.ACT_TYPE) = 90) And "
    "((LEDGER.DC)='D')) "
    "ORDER BY LEDGER.DATE";

const char kBankCashPaymentsQuery[] =
    "SELECT LEDGER.*, LEDGER.VTYPE, Month(Ledger.date) AS MonthNm "
    "FROM LEDGER INNER JOIN ACT ON LEDGER.CODE = ACT.CODE "
    "Where (((LEDGER.VTYPE) = 'BP' or (LEDGER.VTYPE) = 'CP') And ((ACT.ACT_TYPE) = 4) And "
    "((Ledger.DC)='D')) "
    "ORDER BY LEDGER.DATE";

}  // namespace vatrix
