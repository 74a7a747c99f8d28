#include "app/shell_platform.h"

#include <filesystem>
#include <system_error>

namespace vatrix {

std::string ShellPlatform::MasterFolder() {
  const std::string beside = ProgramFolder() + PathSeparator() + "Master";
  const std::filesystem::path installed =
      std::filesystem::path(ProgramFolder()).parent_path() / "share" / "vatrix" / "Master";
  std::error_code error;
  if (!std::filesystem::is_directory(beside, error) &&
      std::filesystem::is_directory(installed, error)) {
    return installed.string();
  }
  return beside;
}

}  // namespace vatrix
