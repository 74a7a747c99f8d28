// What the main window needs from the platform it runs on, so that tests can drive it.
#ifndef VATRIX_APP_SHELL_PLATFORM_H_
#define VATRIX_APP_SHELL_PLATFORM_H_

#include <optional>
#include <string>

#include "hostdata/file_names.h"

namespace vatrix {

class ShellPlatform {
 public:
  virtual ~ShellPlatform() = default;
  // The folder of the running program.
  virtual std::string ProgramFolder() = 0;
  // The settings file; by default Vatrix.ini in the program folder.
  virtual std::string SettingsFile() { return ProgramFolder() + PathSeparator() + "Vatrix.ini"; }
  // The folder of the department's templates; by default Master in the program folder, or for
  // an installed program without one, share/vatrix/Master beside its bin folder.
  virtual std::string MasterFolder();
  // True when another copy of the desktop program is running.
  virtual bool PreviousInstanceRunning() = 0;
  // Runs the folder dialog from `start` and returns the folder highlighted when it closed,
  // or nullopt when the user chose none.
  virtual std::optional<std::string> ChooseFolder(const std::string& start) = 0;
  // Runs the company search dialog and returns the chooser position of the company found
  // there, or nullopt when none was chosen.
  virtual std::optional<int> SearchCompany() = 0;
};

}  // namespace vatrix

#endif  // VATRIX_APP_SHELL_PLATFORM_H_
