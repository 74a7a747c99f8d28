#include "returns/builder_run.h"

#include <exception>

#include "hostdata/failure_report.h"
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

Spreadsheet& BuilderRun::Open(const std::string& path) {
  book_ = context_.NewSpreadsheet();
  book_->Open(path);
  return *book_;
}

std::string BuilderRun::Save() {
  const std::string path =
      CloseExcelApplication(*book_, context_.panel.output(), context_.session.FileFormat);
  saved_ = true;
  book_->Quit();
  context_.wait.Rest();
  context_.ui.ShowMessage({AppTitleOf(context_.session),
                           "Data Exported Successfully into File : " + path +
                               "\r\nPlease Verify data of this file with actual data and then "
                               "submit it.",
                           MessageIcon::kInformation, MessageButtons::kOk});
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
  }
}

const std::string& AppTitleOf(const Session& session) {
  static const std::string kDefault = kAppTitle;
  return session.AppTitle.empty() ? kDefault : session.AppTitle;
}

}  // namespace vatrix
