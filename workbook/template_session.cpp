#include "workbook/template_session.h"

#include "hostdata/file_names.h"
#include "hostdata/host_error.h"
#include "hostdata/text.h"

namespace vatrix {

std::optional<std::string> FindTemplate(const std::string& master_folder, const std::string& name) {
  return FindFileIgnoringCase(master_folder, name);
}

std::optional<std::string> CheckTemplate(const std::string& master_folder,
                                         const TemplateSession& session, UserInterface& ui) {
  std::optional<std::string> path = FindTemplate(master_folder, session.TemplateName);
  if (!path) {
    ui.ShowMessage({kAppTitle,
                    "Master Templete : " + WithSeparator(master_folder) + session.TemplateName +
                        " was not found.....",
                    MessageIcon::kExclamation});
  }
  return path;
}

std::string OutputChoice::path() const {
  std::string joined(Trim(folder));
  joined.append(Trim(name)).append(Trim(type));
  return joined;
}

int SaveFormatOf(const OutputChoice& output, int file_format) {
  return Trim(output.type) == ".xls" ? kFormatExcel97 : file_format;
}

std::string CloseExcelApplication(Spreadsheet& workbook, const OutputChoice& output,
                                  int file_format) {
  const std::string path = output.path();
  const std::string file_name = std::string(Trim(output.name)) + std::string(Trim(output.type));
  if (file_name.find_first_of(std::string("/\0", 2)) != std::string::npos) {
    throw HostError(kSpreadsheetError,
                    "the file name holds '/' or a NUL character, which a file name cannot hold",
                    path);
  }
  workbook.SaveAs(path, SaveFormatOf(output, file_format));
  workbook.Close();
  return path;
}

}  // namespace vatrix
