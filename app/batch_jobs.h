// The job list of a batch (JOBS.csv): read, completed with the batch's defaults, and checked as
// a whole before any work starts.
#ifndef VATRIX_APP_BATCH_JOBS_H_
#define VATRIX_APP_BATCH_JOBS_H_

#include <string>
#include <string_view>
#include <vector>

#include "app/export_options.h"

namespace vatrix {

// One return of a batch: the line of JOBS.csv it comes from and export's options for it.
struct BatchJob {
  int line = 0;
  ExportOptions options;
  std::string company;     // the company's code as the chooser shows it ("0007")
  std::string period;      // the return type and period item ("Quaterly 02.Quarter")
  std::string file;        // the output file, as the checks computed it
  bool makes_out = false;  // options["out"] is a company's subfolder the batch makes
};

// The jobs of CSV `text`, in file order, a company "all" standing for every company of the
// installation in the chooser's order. The header names the columns (export's options without
// dashes, but master and ini); empty cells and missing columns take `defaults` (the batch's
// host, out, master and ini), then export's own defaults. When the jobs span several companies,
// a job without its own out writes into the subfolder "<code> <year>" ("0007 2015-16") of the
// default out. Every fault (CSV text, unknown column, missing or bad value, unknown form, type,
// period or company, an output folder missing, two jobs writing one file) goes to `problems`
// as "line N: what" (a list without jobs is a fault too); no job is returned then.
std::vector<BatchJob> ReadBatchJobs(std::string_view text, const ExportOptions& defaults,
                                    std::vector<std::string>* problems);

// The order the jobs run in: grouped by installation and company, the groups in the order
// their first job comes, each group's jobs in file order (a company's tables load once).
std::vector<size_t> WorkOrder(const std::vector<BatchJob>& jobs);

}  // namespace vatrix

#endif  // VATRIX_APP_BATCH_JOBS_H_
