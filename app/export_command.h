// The "companies" and "export" commands of vatrix-cli: the main window driven from the
// command line the way a user works it.
#ifndef VATRIX_APP_EXPORT_COMMAND_H_
#define VATRIX_APP_EXPORT_COMMAND_H_

#include <ostream>
#include <string>

#include "app/export_options.h"
#include "returns/build_context.h"

namespace vatrix {

// Prints the company chooser's items for the installation `host`, one a line, in the
// chooser's order. Messages go out as "Title: text" lines. Returns 0, or 1 after a failure.
int RunCompaniesCommand(const std::string& host, std::ostream& out, std::ostream& err);

// Runs one return end to end through the main window. `options` maps option names without
// their dashes to values ("host", "company", "form", ...; "bill-amount" with an empty value
// when given). Returns 0 when the builder ran without a failure message, 1 after any failure
// message. Throws BadArguments for a missing or unusable option. `spreadsheets` makes the
// workbook engine of the run.
int RunExportCommand(const ExportOptions& options, std::ostream& out, std::ostream& err,
                     SpreadsheetFactory spreadsheets);

}  // namespace vatrix

#endif  // VATRIX_APP_EXPORT_COMMAND_H_
