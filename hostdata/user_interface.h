// What the data and return code needs from whatever front end runs it (the window, the
// command line, a test): showing a message box and ending the program.
#ifndef VATRIX_HOSTDATA_USER_INTERFACE_H_
#define VATRIX_HOSTDATA_USER_INTERFACE_H_

#include <exception>
#include <string>

namespace vatrix {

enum class MessageIcon { kNone, kCritical, kExclamation, kInformation, kQuestion };
enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };

// What the wait panel shows while a long export runs.
struct WaitPanelState {
  bool visible = false;
  bool hourglass = false;  // the busy pointer is shown
  std::string total_records = "<Total Records>";
  std::string current_records = "<Cur.Records>";
  friend bool operator==(const WaitPanelState&, const WaitPanelState&) = default;
};

struct Message {
  std::string title;
  std::string text;  // lines joined with CR LF
  MessageIcon icon = MessageIcon::kNone;
  MessageButtons buttons = MessageButtons::kOk;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Shows a modal message and returns the user's answer.
  virtual MessageAnswer ShowMessage(const Message& message) = 0;
  // Asks the front end to end the program once the current work has unwound.
  virtual void EndProgram() = 0;
  // Called whenever the wait panel changes, so the front end can draw it.
  virtual void ShowWaitPanel(const WaitPanelState&) {}
};

// The application title every message box carries unless it names its own.
inline constexpr char kAppTitle[] = "Ordova - Vatrix";

// Thrown after EndProgram() so that the interrupted work stops; only the front end catches it.
// `detail` says what failed and where, for a front end that keeps a log.
class ProgramEnding : public std::exception {
 public:
  explicit ProgramEnding(std::string detail) : detail_(std::move(detail)) {}
  const char* what() const noexcept override { return detail_.c_str(); }

 private:
  std::string detail_;
};

}  // namespace vatrix

#endif  // VATRIX_HOSTDATA_USER_INTERFACE_H_
