#include "app/cli_platform.h"

#include <filesystem>
#include <system_error>

namespace vatrix {

std::string CliPlatform::ProgramFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string(".") : exe.parent_path().string();
}

std::string CliPlatform::SettingsFile() {
  return settings_file_.empty() ? ShellPlatform::SettingsFile() : settings_file_;
}

std::string CliPlatform::MasterFolder() {
  return master_folder_.empty() ? ShellPlatform::MasterFolder() : master_folder_;
}

std::optional<std::string> CliPlatform::ChooseFolder(const std::string&) {
  if (out_folder_.empty()) return std::nullopt;
  return out_folder_;
}

}  // namespace vatrix
