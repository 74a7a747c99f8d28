#include "workbook/template_session.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace vatrix {

namespace fs = std::filesystem;

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string MasterFolder(const std::string& program_folder) { return program_folder + "/Master/"; }

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

}  // namespace

std::optional<std::string> FindTemplate(const std::string& program_folder,
                                        const std::string& name) {
  if (name.empty() || name.find_first_of(std::string("/\0", 2)) != std::string::npos) {
    return std::nullopt;
  }
  const std::string folder = MasterFolder(program_folder);
  if (IsFile(folder + name)) return folder + name;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string entry = it->path().filename().string();
    if (EqualsIgnoreCase(entry, name) && IsFile(it->path())) return folder + entry;
  }
  return std::nullopt;
}

std::optional<std::string> CheckTemplate(const std::string& program_folder,
                                         const TemplateSession& session, UserInterface& ui) {
  std::optional<std::string> path = FindTemplate(program_folder, session.TemplateName);
  if (!path) {
    ui.ShowMessage({kAppTitle,
                    "Master Templete : " + MasterFolder(program_folder) + session.TemplateName +
                        " was not found.....",
                    MessageIcon::kExclamation});
  }
  return path;
}

std::string OutputPathOf(const OutputChoice& output) {
  std::string path(Trim(output.folder));
  path += Trim(output.name);
  path += Trim(output.type);
  return path;
}

int SaveFormatOf(const OutputChoice& output, int file_format) {
  return Trim(output.type) == ".xls" ? kFormatExcel97 : file_format;
}

std::string CloseExcelApplication(Spreadsheet& workbook, const OutputChoice& output,
                                  int file_format) {
  const std::string path = OutputPathOf(output);
  workbook.SaveAs(path, SaveFormatOf(output, file_format));
  workbook.Close();
  return path;
}

}  // namespace vatrix
