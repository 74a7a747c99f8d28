// The "batch" command of vatrix-cli: the returns a job list names, built one after another
// with one office, and a summary of what each came to.
#ifndef VATRIX_APP_BATCH_COMMAND_H_
#define VATRIX_APP_BATCH_COMMAND_H_

#include <functional>
#include <ostream>
#include <string>

#include "app/export_options.h"
#include "returns/build_context.h"

namespace vatrix {

// Reads and checks the job list `jobs_file` (batch_jobs.h) with the batch's `defaults` (host,
// out, master, ini), then runs each job as "export" would, grouped by company; a job that
// fails does not stop the others, and a question a builder asks takes the job's april-shift
// (else No). Prints the summary table on `out` and, with a `summary_file`, writes it there as
// CSV (JSON for a name ending in ".json"). Progress goes to `terminal` as one line when given,
// else one line per job to `err`. Once the list passed its checks and some job writes a
// workbook, `start_office` is called, to start the office while the first tables load. Throws
// BadArguments listing every fault of the job list, an unreadable list or a summary file that
// exists; nothing runs then. Returns 0 when every job succeeded and the summary was written,
// else 1.
int RunBatchCommand(const std::string& jobs_file, const ExportOptions& defaults,
                    const std::string& summary_file, std::ostream& out, std::ostream& err,
                    std::ostream* terminal, SpreadsheetFactory spreadsheets,
                    const std::function<void()>& start_office);

}  // namespace vatrix

#endif  // VATRIX_APP_BATCH_COMMAND_H_
