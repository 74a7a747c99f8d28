#include "hostdata/failure_report.h"

namespace vatrix {

void ReportDatabaseFailure(UserInterface& ui, const std::string& app_title,
                           const std::string& title, const HostError& error) {
  if (error.number() == kTableUnavailable) {
    ui.ShowMessage({app_title,
                    "Necessary DBF File is Open / Unavailable / Used by another User.....\r\n\r\n"
                    "SORRY...We can't proceed further...",
                    MessageIcon::kCritical, MessageButtons::kOk});
    ui.EndProgram();
    throw ProgramEnding(error.description() + " " + error.source());
  }
  ui.ShowMessage({title,
                  "Error Number : " + std::to_string(error.number()) +
                      "\r\nError Description : " + error.description() + " " + error.source(),
                  MessageIcon::kCritical, MessageButtons::kOk});
}

}  // namespace vatrix
