// The command line's front end: each message box becomes one line "Title: text", a question
// takes the answer given on the command line (or asks on a terminal), and the wait panel
// becomes a progress line on a terminal.
#ifndef VATRIX_APP_CONSOLE_UI_H_
#define VATRIX_APP_CONSOLE_UI_H_

#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include "hostdata/user_interface.h"

namespace vatrix {

class ConsoleUi : public UserInterface {
 public:
  // Critical and exclamation messages go to `err` after `error_prefix`, the rest to `out`. A
  // Yes/No question takes `answer` when given, else asks on a terminal, else is answered No.
  // `progress`: the terminal the wait panel is drawn on as one line, or nullptr.
  ConsoleUi(std::ostream& out, std::ostream& err, std::optional<bool> answer = std::nullopt,
            std::ostream* progress = nullptr, std::string error_prefix = "vatrix-cli: ")
      : out_(out),
        err_(err),
        answer_(answer),
        progress_(progress),
        error_prefix_(std::move(error_prefix)) {}

  // Prints the message, its line breaks shown as " / ".
  MessageAnswer ShowMessage(const Message& message) override;
  void EndProgram() override { ending_ = true; }
  // Draws the panel's numbers (the captions it shows before it has any are left out), after
  // the progress label.
  void ShowWaitPanel(const WaitPanelState& state) override;
  // The text that starts the progress line ("job 2 of 9 ...").
  void set_progress_label(std::string label) { progress_label_ = std::move(label); }

  bool ending() const { return ending_; }
  // True once any critical or exclamation message was shown.
  bool failed() const { return failed_; }

 private:
  MessageAnswer Answer();
  void ClearProgress();

  std::ostream& out_;
  std::ostream& err_;
  std::optional<bool> answer_;
  std::ostream* progress_;
  std::string error_prefix_;
  std::string progress_label_;
  bool drawn_ = false;
  bool ending_ = false;
  bool failed_ = false;
};

}  // namespace vatrix

#endif  // VATRIX_APP_CONSOLE_UI_H_
