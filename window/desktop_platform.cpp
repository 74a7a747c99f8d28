#include "window/desktop_platform.h"

#include "hostdata/failure_report.h"
#include "window/folder_chooser.h"
#include "window/search_dialog.h"

namespace vatrix {

DesktopPlatform::DesktopPlatform(std::string program_folder, std::string host_folder,
                                 UserInterface& ui, std::string instance_name)
    : program_folder_(std::move(program_folder)),
      host_folder_(std::move(host_folder)),
      ui_(ui),
      instance_name_(std::move(instance_name)) {}

bool DesktopPlatform::PreviousInstanceRunning() {
  if (!instance_) instance_ = std::make_unique<SingleInstance>(instance_name_);
  return instance_->AlreadyRunning();
}

std::optional<std::string> DesktopPlatform::ChooseFolder(const std::string& start) {
  return ChooseFolderIn(parent_, start, ui_);
}

std::optional<int> DesktopPlatform::SearchCompany() {
  try {
    SearchDialog dialog(host_folder_, ui_, chosen_position_, parent_);
    dialog.exec();
    chosen_position_ = dialog.chosen_position();
  } catch (const HostError& error) {
    ReportDatabaseFailure(ui_, kAppTitle, "Search Engine - Error", error);
    return std::nullopt;
  }
  return chosen_position_;
}

}  // namespace vatrix
