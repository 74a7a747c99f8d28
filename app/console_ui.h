// The command line's front end: each message box becomes one line "Title: text", a question
// takes the answer given on the command line (or asks on a terminal), and the wait panel
// becomes a progress line on a terminal.
#ifndef VATRIX_APP_CONSOLE_UI_H_
#define VATRIX_APP_CONSOLE_UI_H_

#include <optional>
#include <ostream>

#include "hostdata/user_interface.h"

namespace vatrix {

class ConsoleUi : public UserInterface {
 public:
  // Critical and exclamation messages go to `err`, the rest to `out`. A Yes/No question takes
  // `answer` when given, else asks on a terminal, else is answered No. `progress`: draw the
  // wait panel as one line on `err`.
  ConsoleUi(std::ostream& out, std::ostream& err, std::optional<bool> answer = std::nullopt,
            bool progress = false)
      : out_(out), err_(err), answer_(answer), progress_(progress) {}

  // Prints the message, its line breaks shown as " / ".
  MessageAnswer ShowMessage(const Message& message) override;
  void EndProgram() override { ending_ = true; }
  void ShowWaitPanel(const WaitPanelState& state) override;

  bool ending() const { return ending_; }
  // True once any critical or exclamation message was shown.
  bool failed() const { return failed_; }

 private:
  MessageAnswer Answer();
  void ClearProgress();

  std::ostream& out_;
  std::ostream& err_;
  std::optional<bool> answer_;
  bool progress_;
  bool drawn_ = false;
  bool ending_ = false;
  bool failed_ = false;
};

}  // namespace vatrix

#endif  // VATRIX_APP_CONSOLE_UI_H_
