#include "workbook/template_session.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "app/output_naming.h"
#include "app/text.h"
#include "hostdata/host_error.h"

namespace vatrix {

namespace fs = std::filesystem;

namespace {

// The folder text with one separator at its end.
std::string WithSeparator(const std::string& folder) {
  return !folder.empty() && folder.back() == PathSeparator() ? folder : folder + PathSeparator();
}

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

}  // namespace

std::optional<std::string> FindTemplate(const std::string& master_folder, const std::string& name) {
  if (name.empty() || name.find_first_of(std::string("/\0", 2)) != std::string::npos) {
    return std::nullopt;
  }
  const std::string folder = WithSeparator(master_folder);
  if (IsFile(folder + name)) return folder + name;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string entry = it->path().filename().string();
    if (EqualsIgnoreCase(entry, name) && IsFile(it->path())) return folder + entry;
  }
  return std::nullopt;
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

int SaveFormatOf(const OutputChoice& output, int file_format) {
  const size_t first = output.type.find_first_not_of(' ');
  const size_t last = output.type.find_last_not_of(' ');
  const bool xls =
      first != std::string::npos && output.type.substr(first, last - first + 1) == ".xls";
  return xls ? kFormatExcel97 : file_format;
}

std::string CloseExcelApplication(Spreadsheet& workbook, const OutputChoice& output,
                                  int file_format) {
  const std::string path = OutputPath(output.folder, output.name, output.type);
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
