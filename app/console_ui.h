// The command line's front end: each message box becomes one line "Title: text".
#ifndef VATRIX_APP_CONSOLE_UI_H_
#define VATRIX_APP_CONSOLE_UI_H_

#include <ostream>

#include "hostdata/user_interface.h"

namespace vatrix {

class ConsoleUi : public UserInterface {
 public:
  // Critical and exclamation messages go to `err`, the rest to `out`.
  ConsoleUi(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  // Prints the message (line breaks shown as " / "); questions are answered No.
  MessageAnswer ShowMessage(const Message& message) override;
  void EndProgram() override { ending_ = true; }

  bool ending() const { return ending_; }
  // True once any critical or exclamation message was shown.
  bool failed() const { return failed_; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool ending_ = false;
  bool failed_ = false;
};

}  // namespace vatrix

#endif  // VATRIX_APP_CONSOLE_UI_H_
