// The installation picker: the window that opens first and chooses the installation folder
// (the one holding Company.dbf) from the candidates the probe found.
#ifndef VATRIX_APP_HOST_PICKER_H_
#define VATRIX_APP_HOST_PICKER_H_

#include <string>
#include <vector>

#include "hostdata/user_interface.h"

namespace vatrix {

class HostPicker {
 public:
  enum class State { kOpen, kChosen, kClosed };

  // `candidates` in probing order (see FindHostCandidates).
  HostPicker(std::vector<std::string> candidates, UserInterface& ui);

  // Opens the picker: no candidate shows the not-installed message and closes it (the
  // program ends); a single candidate is selected at once, and the picker shows itself only
  // when that candidate holds no Company.dbf.
  void Load();
  // Enter or double click on the item at `index`: a folder holding Company.dbf is chosen and
  // the picker closes; otherwise the not-found message is shown and the picker stays open.
  void OrdovaPath_Select(int index);
  // A folder found by browsing: listed (once) and selected as by Enter.
  void Browse(const std::string& folder);
  // The Exit button: closes the picker, which ends the program.
  void cmdExit_Click();

  State state() const { return state_; }
  bool visible() const { return state_ == State::kOpen && visible_; }
  const std::vector<std::string>& items() const { return items_; }
  int selected() const { return selected_; }
  // The chosen folder, blanks trimmed; set once the state is kChosen.
  const std::string& host_folder() const { return host_folder_; }

 private:
  std::vector<std::string> items_;
  UserInterface& ui_;
  State state_ = State::kOpen;
  bool visible_ = false;
  int selected_ = -1;
  std::string host_folder_;
};

}  // namespace vatrix

#endif  // VATRIX_APP_HOST_PICKER_H_
