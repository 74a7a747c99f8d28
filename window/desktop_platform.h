// What the main window needs from the desktop: the program's folder, the single-instance
// test, and the folder and search dialogs shown over the window.
#ifndef VATRIX_WINDOW_DESKTOP_PLATFORM_H_
#define VATRIX_WINDOW_DESKTOP_PLATFORM_H_

#include <QPointer>
#include <QWidget>
#include <memory>

#include "app/shell_platform.h"
#include "app/single_instance.h"
#include "hostdata/user_interface.h"

namespace vatrix {

class DesktopPlatform : public ShellPlatform {
 public:
  // `instance_name` names the lock another running copy holds.
  DesktopPlatform(std::string program_folder, std::string host_folder, UserInterface& ui,
                  std::string instance_name = "vatrix");

  // The dialogs are shown over `parent` once set.
  void setParentWidget(QWidget* parent) { parent_ = parent; }

  std::string ProgramFolder() override { return program_folder_; }
  // Takes the lock on the first call and holds it for the program's life.
  bool PreviousInstanceRunning() override;
  std::optional<std::string> ChooseFolder(const std::string& start) override;
  // The dialog's chosen position, kept from one opening to the next.
  std::optional<int> SearchCompany() override;

 private:
  std::string program_folder_;
  std::string host_folder_;
  UserInterface& ui_;
  std::string instance_name_;
  std::unique_ptr<SingleInstance> instance_;
  QPointer<QWidget> parent_;
  int chosen_position_ = 0;
};

}  // namespace vatrix

#endif  // VATRIX_WINDOW_DESKTOP_PLATFORM_H_
