// The one way a builder run works its workbook and ends: the wait panel and the busy pointer
// while it runs, the office started for the template, the workbook saved under the output name
// with the success message; or, on any failure, the workbook closed unsaved (no output file),
// the panel put to rest and the failure reported.
#ifndef VATRIX_RETURNS_BUILDER_RUN_H_
#define VATRIX_RETURNS_BUILDER_RUN_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "hostdata/host_error.h"
#include "returns/build_context.h"
#include "workbook/spreadsheet.h"

namespace vatrix {

// What a success message says besides the saved file.
struct SuccessNote {
  // The file type the message names in place of the chosen one; "" names the chosen one.
  std::string shown_type = {};
  // A line after the message's own two; "" for none.
  std::string last_line = {};
};

class BuilderRun {
 public:
  // Shows the wait panel and the busy pointer.
  explicit BuilderRun(BuildContext& context);
  // A run that was not saved closes its workbook unsaved and ends the engine's session; the
  // panel is put to rest either way.
  ~BuilderRun();
  BuilderRun(const BuilderRun&) = delete;
  BuilderRun& operator=(const BuilderRun&) = delete;

  // Begins opening the template at `path` on a thread of its own while the run reads its
  // data, when the workbook engine runs already; Open and OpenWithMacros take that workbook
  // over, or open it themselves when this could not (and report why).
  void OpenAhead(const std::string& path);
  // Starts the run's workbook engine and opens the template at `path` as an untitled copy,
  // its macros disabled.
  Spreadsheet& Open(const std::string& path);
  // The same with the template's own macros allowed, for a layout that needs them; only a
  // template of the templates folder gets them, any other opens as Open does.
  Spreadsheet& OpenWithMacros(const std::string& path);
  // Saves the open workbook under the output name (CloseExcelApplication), ends the engine's
  // session, puts the panel to rest and shows "Data Exported Successfully into File : ...",
  // worded as `note` says. Returns the saved path.
  std::string Save(const SuccessNote& note = {});

 private:
  // Waits for OpenAhead; true when it opened `path` as asked (`macros` or not) and its
  // workbook is now the run's, else its workbook is closed.
  bool TakeAhead(const std::string& path, bool macros);
  // Opens the run's workbook: `macros` allowed or not.
  Spreadsheet& OpenBook(const std::string& path, bool macros);

  BuildContext& context_;
  std::unique_ptr<Spreadsheet> book_;
  bool saved_ = false;
  std::thread ahead_;  // OpenAhead's, until taken over
  std::unique_ptr<Spreadsheet> ahead_book_;
  std::string ahead_path_;
  bool ahead_open_ = false;
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
  // As kDatabase, and then the program ends whatever the failure was (the front end is asked
  // to end, and ProgramEnding goes on to the caller): Forms 202 and 205.
  kDatabaseThenEnd,
};

// Runs `steps` as one builder run. A HostError escaping them ends the run (see ~BuilderRun)
// and is reported as `report` says, under `title`.
void RunBuilder(BuildContext& context, FailureReport report, const std::string& title,
                const std::function<void(BuilderRun&)>& steps);

// The program's title for messages: the session's, or kAppTitle before one is set.
const std::string& AppTitleOf(const Session& session);

// The age test of the returns that refuse financial years before 2008: the first year of the
// session's financial year, or nullopt after "Old Return Not Done....". Throws HostError when
// YearFrom is no date.
std::optional<int> AgeTest(BuildContext& context);

// The template check of a return builder: `name` becomes the run's template; its path in the
// templates folder, or nullopt after the missing-template message with the pointer back to
// normal.
std::optional<std::string> CheckReturnTemplate(BuildContext& context, const std::string& name);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_BUILDER_RUN_H_
