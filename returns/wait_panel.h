// The wait panel fraWait with its labels lblTotalRec and lblCurRec, as a builder run drives it.
#ifndef VATRIX_RETURNS_WAIT_PANEL_H_
#define VATRIX_RETURNS_WAIT_PANEL_H_

#include "hostdata/user_interface.h"

namespace vatrix {

// Every change of the panel reaches the front end through UserInterface::ShowWaitPanel; a step
// that changes nothing is not passed on.
class WaitPanel {
 public:
  explicit WaitPanel(UserInterface& ui) : ui_(ui) {}

  const WaitPanelState& state() const { return state_; }
  void Show();
  void Hide();
  void SetHourglass(bool on);
  void SetTotal(long total);
  void SetCurrent(long current);
  // Puts lblCurRec back to its resting text.
  void ResetCurrent();
  // The panel at rest after a run: hidden, normal pointer.
  void Rest();

 private:
  void Change(const WaitPanelState& next);

  UserInterface& ui_;
  WaitPanelState state_;
};

}  // namespace vatrix

#endif  // VATRIX_RETURNS_WAIT_PANEL_H_
