#include "returns/builder_run.h"

#include <exception>
#include <filesystem>

#include "hostdata/failure_report.h"
#include "hostdata/value.h"
#include "workbook/template_session.h"

namespace vatrix {

namespace {

void ReportListExportFailure(BuildContext& context, const std::string& title,
                             const HostError& error) {
  if (error.number() == kTableUnavailable) {
    context.ui.ShowMessage({AppTitleOf(context.session),
                            "Necessary DBF File is Open / Unavailable / Used by another "
                            "User.....\r\n\r\nSORRY...We can't proceed further...",
                            MessageIcon::kCritical});
    return;
  }
  context.ui.ShowMessage(
      {title,
       "Error Number : " + std::to_string(error.number()) + "\r\nError Source : " + error.source() +
           "\r\nError Description : " + error.description() + " " + error.source(),
       MessageIcon::kCritical});
}

}  // namespace

BuilderRun::BuilderRun(BuildContext& context) : context_(context) {
  context_.wait.Show();
  context_.wait.SetHourglass(true);
}

BuilderRun::~BuilderRun() {
  TakeAhead("", false);  // a workbook opened ahead and not taken over closes unsaved
  if (book_ && !saved_) {
    try {
      book_->Close();
      book_->Quit();
    } catch (const std::exception&) {
      // The run already fails with its own error; a workbook that cannot close is let go.
    }
  }
  context_.wait.Rest();
}

void BuilderRun::OpenAhead(const std::string& path) {
  if (ahead_.joinable() || book_) return;
  ahead_path_ = path;
  ahead_ = std::thread([this] {
    try {
      ahead_book_ = context_.NewSpreadsheet();
      ahead_open_ = ahead_book_->OpenIfRunning(ahead_path_);
    } catch (...) {
      // Open tries again on the run's own thread and reports what fails there
      ahead_open_ = false;
    }
  });
}

bool BuilderRun::TakeAhead(const std::string& path, bool macros) {
  if (!ahead_.joinable()) return false;
  ahead_.join();
  std::unique_ptr<Spreadsheet> book = std::move(ahead_book_);
  if (ahead_open_ && !macros && path == ahead_path_) {
    book_ = std::move(book);
    return true;
  }
  if (book) {
    try {
      book->Close();
    } catch (const std::exception&) {
      // a workbook nobody wrote to is let go
    }
  }
  return false;
}

Spreadsheet& BuilderRun::Open(const std::string& path) { return OpenBook(path, false); }

Spreadsheet& BuilderRun::OpenBook(const std::string& path, bool macros) {
  if (TakeAhead(path, macros)) return *book_;
  book_ = context_.NewSpreadsheet();
  if (macros) {
    book_->OpenWithMacros(path);
  } else {
    book_->Open(path);
  }
  return *book_;
}

Spreadsheet& BuilderRun::OpenWithMacros(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path folder = fs::weakly_canonical(fs::path(path), error).parent_path();
  const bool from_templates =
      !error && folder == fs::weakly_canonical(context_.master_folder, error) && !error;
  return OpenBook(path, from_templates);
}

std::string BuilderRun::Save(const SuccessNote& note) {
  const std::string path =
      CloseExcelApplication(*book_, context_.panel.output(), context_.session.FileFormat);
  saved_ = true;
  book_->Quit();
  context_.wait.Rest();
  OutputChoice shown = context_.panel.output();
  if (!note.shown_type.empty()) shown.type = note.shown_type;
  std::string text = "Data Exported Successfully into File : " + shown.path() +
                     "\r\nPlease Verify data of this file with actual data and then submit it.";
  if (!note.last_line.empty()) text += "\r\n" + note.last_line;
  context_.ui.ShowMessage(
      {AppTitleOf(context_.session), text, MessageIcon::kInformation, MessageButtons::kOk});
  return path;
}

void RunBuilder(BuildContext& context, FailureReport report, const std::string& title,
                const std::function<void(BuilderRun&)>& steps) {
  try {
    BuilderRun run(context);
    steps(run);
  } catch (const HostError& error) {
    if (report == FailureReport::kListExport) {
      ReportListExportFailure(context, title, error);
    } else {
      ReportDatabaseFailure(context.ui, AppTitleOf(context.session), title, error);
    }
    if (report == FailureReport::kDatabaseThenEnd) {
      context.ui.EndProgram();
      throw ProgramEnding(title + ": " + error.description() + " " + error.source());
    }
  }
}

const std::string& AppTitleOf(const Session& session) {
  static const std::string kDefault = kAppTitle;
  return session.AppTitle.empty() ? kDefault : session.AppTitle;
}

std::optional<int> AgeTest(BuildContext& context) {
  const std::string& year_from = context.session.YearFrom;
  const std::optional<Date> first_day = ParseDisplayDate(year_from);
  if (!first_day) {
    throw HostError(kQueryRejected, "the first day of the financial year is not a date",
                    "YearFrom \"" + year_from + "\"");
  }
  if (first_day->year < 2008) {
    context.ui.ShowMessage({AppTitleOf(context.session), "Old Return Not Done....",
                            MessageIcon::kCritical, MessageButtons::kOk});
    return std::nullopt;
  }
  return first_day->year;
}

std::optional<std::string> CheckReturnTemplate(BuildContext& context, const std::string& name) {
  context.workbook.TemplateName = name;
  std::optional<std::string> path =
      CheckTemplate(context.master_folder, context.workbook, context.ui);
  if (!path) context.wait.SetHourglass(false);
  return path;
}

}  // namespace vatrix
