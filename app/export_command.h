// The "companies" and "export" commands of vatrix-cli: the main window driven from the
// command line the way a user works it.
#ifndef VATRIX_APP_EXPORT_COMMAND_H_
#define VATRIX_APP_EXPORT_COMMAND_H_

#include <map>
#include <ostream>
#include <stdexcept>
#include <string>

#include "app/build_context.h"

namespace vatrix {

// Arguments a command cannot use; the text says which and why.
class BadArguments : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Prints the company chooser's items for the installation `host`, one a line, in the
// chooser's order. Messages go out as "Title: text" lines. Returns 0, or 1 after a failure.
int RunCompaniesCommand(const std::string& host, std::ostream& out, std::ostream& err);

// Runs one return end to end through the main window. `options` maps option names without
// their dashes to values ("host", "company", "form", ...; "bill-amount" with an empty value
// when given). Returns 0 when the builder ran without a failure message, 1 after any failure
// message. Throws BadArguments for a missing or unusable option. `spreadsheets` makes the
// workbook engine of the run.
int RunExportCommand(const std::map<std::string, std::string>& options, std::ostream& out,
                     std::ostream& err, SpreadsheetFactory spreadsheets);

}  // namespace vatrix

#endif  // VATRIX_APP_EXPORT_COMMAND_H_
