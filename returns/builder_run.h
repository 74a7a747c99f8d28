// The one way a builder run works its workbook and ends: the wait panel and the busy pointer
// while it runs, the office started for the template, the workbook saved under the output name
// with the success message; or, on any failure, the workbook closed unsaved (no output file),
// the panel put to rest and the failure reported.
#ifndef VATRIX_RETURNS_BUILDER_RUN_H_
#define VATRIX_RETURNS_BUILDER_RUN_H_

#include <functional>
#include <memory>
#include <string>

#include "hostdata/host_error.h"
#include "returns/build_context.h"
#include "workbook/spreadsheet.h"

namespace vatrix {

class BuilderRun {
 public:
  // Shows the wait panel and the busy pointer.
  explicit BuilderRun(BuildContext& context);
  // A run that was not saved closes its workbook unsaved and ends the engine's session; the
  // panel is put to rest either way.
  ~BuilderRun();
  BuilderRun(const BuilderRun&) = delete;
  BuilderRun& operator=(const BuilderRun&) = delete;

  // Starts the run's workbook engine and opens the template at `path` as an untitled copy.
  Spreadsheet& Open(const std::string& path);
  // Saves the open workbook under the output name (CloseExcelApplication), ends the engine's
  // session, puts the panel to rest and shows "Data Exported Successfully into File : ...".
  // Returns the saved path.
  std::string Save();

 private:
  BuildContext& context_;
  std::unique_ptr<Spreadsheet> book_;
  bool saved_ = false;
};

// How the failure of a run is reported.
enum class FailureReport {
  // The database failure report under the given title; a table that cannot be opened ends the
  // program (ProgramEnding goes on to the caller).
  kDatabase,
  // The list export's report under the given title, with the error's number, source and
  // description; a table that cannot be opened is reported under the program's title and the
  // program goes on.
  kListExport,
};

// Runs `steps` as one builder run. A HostError escaping them ends the run (see ~BuilderRun)
// and is reported as `report` says, under `title`.
void RunBuilder(BuildContext& context, FailureReport report, const std::string& title,
                const std::function<void(BuilderRun&)>& steps);

// The program's title for messages: the session's, or kAppTitle before one is set.
const std::string& AppTitleOf(const Session& session);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_BUILDER_RUN_H_
