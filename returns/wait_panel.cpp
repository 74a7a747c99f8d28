#include "returns/wait_panel.h"

#include <string>

namespace vatrix {

void WaitPanel::Show() {
  WaitPanelState next = state_;
  next.visible = true;
  Change(next);
}

void WaitPanel::Hide() {
  WaitPanelState next = state_;
  next.visible = false;
  Change(next);
}

void WaitPanel::SetHourglass(bool on) {
  WaitPanelState next = state_;
  next.hourglass = on;
  Change(next);
}

void WaitPanel::SetTotal(long total) {
  WaitPanelState next = state_;
  next.total_records = std::to_string(total);
  Change(next);
}

void WaitPanel::SetCurrent(long current) {
  WaitPanelState next = state_;
  next.current_records = std::to_string(current);
  Change(next);
}

void WaitPanel::ResetCurrent() {
  WaitPanelState next = state_;
  next.current_records = WaitPanelState().current_records;
  Change(next);
}

void WaitPanel::Rest() {
  Hide();
  SetHourglass(false);
}

void WaitPanel::Change(const WaitPanelState& next) {
  if (next == state_) return;
  state_ = next;
  ui_.ShowWaitPanel(state_);
}

}  // namespace vatrix
