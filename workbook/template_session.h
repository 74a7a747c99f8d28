// The workbook session of the main window: the template of the current run and its sheet
// references, the template check, and saving under the output path (CloseExcelApplication).
#ifndef VATRIX_WORKBOOK_TEMPLATE_SESSION_H_
#define VATRIX_WORKBOOK_TEMPLATE_SESSION_H_

#include <optional>
#include <string>

#include "hostdata/user_interface.h"
#include "workbook/spreadsheet.h"

namespace vatrix {

// Fields that live as long as the main window; each builder run overwrites them.
struct TemplateSession {
  std::string TemplateName;  // file name of the current run's template
  Sheet CurrentSheet;        // the sheet being written
  Sheet SecondSheet;         // a second sheet for builders that alternate between two
};

// The path of template `name` in `master_folder` (the Master folder beside the program, or the
// one the user named instead), matching the file name regardless of case (an exact match
// first); nullopt when there is no such file.
std::optional<std::string> FindTemplate(const std::string& master_folder, const std::string& name);

// The template check: the path of the session's template, or nullopt after showing
// "Master Templete : <master folder>/<name> was not found....." (exclamation, kAppTitle).
std::optional<std::string> CheckTemplate(const std::string& master_folder,
                                         const TemplateSession& session, UserInterface& ui);

// The texts of the output boxes: folder, file name and file type.
struct OutputChoice {
  std::string folder;
  std::string name;
  std::string type;

  // Folder + name + type, each trimmed of blanks at both ends, joined without separators.
  std::string path() const;
};

// The save format: kFormatExcel97 for the trimmed type ".xls", otherwise `file_format` (the
// session's FileFormat).
int SaveFormatOf(const OutputChoice& output, int file_format);

// Saves `workbook` under the output path in the format above and closes it. Returns the path.
// Throws HostError kSpreadsheetError, saving nothing, when the file name and type hold a
// character no file name can hold.
std::string CloseExcelApplication(Spreadsheet& workbook, const OutputChoice& output,
                                  int file_format);

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_TEMPLATE_SESSION_H_
