#include "app/host_picker.h"

#include <algorithm>

#include "app/file_probes.h"
#include "hostdata/file_names.h"
#include "hostdata/text.h"

namespace vatrix {

namespace {}  // namespace

HostPicker::HostPicker(std::vector<std::string> candidates, UserInterface& ui)
    : items_(std::move(candidates)), ui_(ui) {}

void HostPicker::Load() {
  if (items_.empty()) {
    ui_.ShowMessage({kAppTitle,
                     "Ordova is not install on Your Computer.....\r\n\r\n"
                     "SORRY...We can't proceed further...",
                     MessageIcon::kCritical, MessageButtons::kOk});
    state_ = State::kClosed;
    return;
  }
  selected_ = 0;
  if (items_.size() == 1) OrdovaPath_Select(0);
  visible_ = true;
}

void HostPicker::OrdovaPath_Select(int index) {
  if (state_ != State::kOpen || index < 0 || index >= static_cast<int>(items_.size())) return;
  selected_ = index;
  const std::string folder(Trim(items_[index]));
  if (!isFileExist(folder + PathSeparator() + "Company.dbf")) {
    ui_.ShowMessage(
        {kAppTitle,
         "Company.dbf file was not found in " + folder + "\r\nPlease Select another Directory....",
         MessageIcon::kCritical, MessageButtons::kOk});
    return;
  }
  host_folder_ = folder;
  state_ = State::kChosen;
}

void HostPicker::Browse(const std::string& folder) {
  auto listed = std::find(items_.begin(), items_.end(), folder);
  if (listed == items_.end()) listed = items_.insert(items_.end(), folder);
  OrdovaPath_Select(static_cast<int>(listed - items_.begin()));
}

void HostPicker::cmdExit_Click() { state_ = State::kClosed; }

}  // namespace vatrix
