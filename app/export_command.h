// The "companies" and "export" commands of vatrix-cli: the main window driven from the
// command line the way a user works it.
#ifndef VATRIX_APP_EXPORT_COMMAND_H_
#define VATRIX_APP_EXPORT_COMMAND_H_

#include <functional>
#include <ostream>
#include <string>

#include "app/export_options.h"
#include "returns/build_context.h"

namespace vatrix {

// Prints the company chooser's items for the installation `host`, one a line, in the
// chooser's order. Messages go out as "Title: text" lines. Returns 0, or 1 after a failure.
int RunCompaniesCommand(const std::string& host, std::ostream& out, std::ostream& err);

class ConsoleUi;

// What one export came to: its exit status (0 built, 1 after a failure message) and the file
// it was to write ("" when the run stopped before the panel named one).
struct ExportResult {
  int status = 1;
  std::string file;
};

// Runs one export whose options passed CheckExportOptions through the main window, with `ui`
// as its front end. Throws BadArguments for a company, type, period, file type or list entry
// the installation does not offer.
ExportResult RunCheckedExport(const ExportOptions& options, ConsoleUi& ui,
                              SpreadsheetFactory spreadsheets);

// Runs one return end to end through the main window. `options` maps option names without
// their dashes to values ("host", "company", "form", ...; "bill-amount" with an empty value
// when given). Returns 0 when the builder ran without a failure message, 1 after any failure
// message. Throws BadArguments for a missing or unusable option. `spreadsheets` makes the
// workbook engine of the run; `start_office`, when given, is called once the options passed
// their checks and the return is a workbook, so that the office starts beside the loading.
// Progress is drawn on `err` when stderr is a terminal.
int RunExportCommand(const ExportOptions& options, std::ostream& out, std::ostream& err,
                     SpreadsheetFactory spreadsheets,
                     const std::function<void()>& start_office = {});

}  // namespace vatrix

#endif  // VATRIX_APP_EXPORT_COMMAND_H_
