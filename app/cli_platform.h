// The command line's platform for the main window: no other copy of the program is looked
// for (scripts run beside the window and in parallel), the folder dialog answers with the
// --out folder, and there is no search dialog.
#ifndef VATRIX_APP_CLI_PLATFORM_H_
#define VATRIX_APP_CLI_PLATFORM_H_

#include <optional>
#include <string>

#include "app/shell_platform.h"

namespace vatrix {

class CliPlatform : public ShellPlatform {
 public:
  // Empty texts keep the defaults beside the program.
  CliPlatform(std::string out_folder, std::string settings_file, std::string master_folder)
      : out_folder_(std::move(out_folder)),
        settings_file_(std::move(settings_file)),
        master_folder_(std::move(master_folder)) {}

  // The folder of the running program ("." when it cannot be told).
  std::string ProgramFolder() override;
  std::string SettingsFile() override;
  std::string MasterFolder() override;
  bool PreviousInstanceRunning() override { return false; }
  std::optional<std::string> ChooseFolder(const std::string& start) override;
  std::optional<int> SearchCompany() override { return std::nullopt; }

 private:
  std::string out_folder_;
  std::string settings_file_;
  std::string master_folder_;
};

}  // namespace vatrix

#endif  // VATRIX_APP_CLI_PLATFORM_H_
