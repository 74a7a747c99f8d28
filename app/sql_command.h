// The "sql" and "figures" commands of vatrix-cli: queries tried by hand on a data folder.
#ifndef VATRIX_APP_SQL_COMMAND_H_
#define VATRIX_APP_SQL_COMMAND_H_

#include <ostream>
#include <string>

namespace vatrix {

// Runs `query` on a connection for `folder` and prints its rows as CSV on `out`. A failure is
// printed on `err` as "Error Number : n / Error Description : d source". Returns the exit
// status: 0 on success, 1 on failure.
int RunSqlCommand(const std::string& folder, const std::string& query, std::ostream& out,
                  std::ostream& err);

// Prints Form 201's thirty aggregate figures Q1..Q30 for the company data in `folder` over the
// dates from..to (each "dd/MM/yyyy"), one "Qn,figure" line each. Returns the exit status:
// 0 on success, 1 after a failure message, 2 for a date that cannot be read.
int RunFiguresCommand(const std::string& folder, const std::string& from, const std::string& to,
                      std::ostream& out, std::ostream& err);

}  // namespace vatrix

#endif  // VATRIX_APP_SQL_COMMAND_H_
