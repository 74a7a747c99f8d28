// The desktop program's front end for the data and return code: message boxes and the wait
// panel on the window's thread, whichever thread asks. A builder running on the build thread
// waits for the answer of its message box.
#ifndef VATRIX_WINDOW_QT_UI_H_
#define VATRIX_WINDOW_QT_UI_H_

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>

#include "hostdata/user_interface.h"

namespace vatrix {

class QtUi : public QObject, public UserInterface {
  Q_OBJECT

 public:
  // Message boxes are shown over `parent` once set.
  void setParentWidget(QWidget* parent) { parent_ = parent; }

  MessageAnswer ShowMessage(const Message& message) override;
  // The window closes once the current event has unwound (see MainForm).
  void EndProgram() override { ending_ = true; }
  void ShowWaitPanel(const WaitPanelState& state) override;

  bool ending() const { return ending_; }

  // The message's text as a message box shows it: CR LF and lone CRs as line breaks.
  static QString BoxText(const std::string& text);

 signals:
  void waitPanelChanged(const vatrix::WaitPanelState& state);

 protected:
  // Shows the modal message box on the window's thread and returns the answer.
  virtual MessageAnswer Ask(const Message& message);

 private:
  // Runs `call` on the window's thread; `wait`: return only once it has run.
  template <typename Call>
  void OnWindowThread(Call call, bool wait);

  QPointer<QWidget> parent_;
  std::atomic<bool> ending_{false};
};

}  // namespace vatrix

#endif  // VATRIX_WINDOW_QT_UI_H_
