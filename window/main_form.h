// The main window "frmMain" on the desktop: the widgets of MainWindow's controls, each named
// as its control, bound to that logic. Every user event becomes a call into MainWindow, after
// which the widgets show its state again; no rule lives here.
#ifndef VATRIX_WINDOW_MAIN_FORM_H_
#define VATRIX_WINDOW_MAIN_FORM_H_

#include <QWidget>
#include <functional>
#include <map>
#include <optional>

#include "app/main_window.h"
#include "window/build_thread.h"
#include "window/qt_ui.h"

class QFrame;
class QLabel;
class QProgressBar;

namespace vatrix {

class MainForm : public QWidget {
  Q_OBJECT

 public:
  // Proceed runs the builders on `builds`.
  MainForm(MainWindow& logic, QtUi& ui, BuildThread& builds, QWidget* parent = nullptr);

  // Loads the window (single-instance test, company chooser) and shows it; false when it
  // closed at once.
  bool Start();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Building the widgets (main_form_layout.cpp).
  void BuildWidgets();
  QWidget* BuildTopStrip();
  QWidget* BuildFormButtons();
  QFrame* BuildPanel();
  QFrame* BuildWaitPanel();
  template <typename Widget>
  Widget* Bind(Control control, Widget* widget, const char* name);
  void ConnectSignals();

  // Behaviour (main_form.cpp).
  void Act(const std::function<void()>& event);
  void Sync();
  void SyncCombos();
  void SyncLists();
  void SyncChoices();
  bool Focus(Control control);
  // A click on a button, an option or the check box.
  void Click(Control control);
  bool KeyPressed(Control control, int key);
  void Proceed();
  void SetControlsEnabled(bool enabled);
  void ShowWaitPanel(const WaitPanelState& state);

  MainWindow& logic_;
  QtUi& ui_;
  BuildThread& builds_;
  std::map<Control, QWidget*> widgets_;
  std::map<QObject*, Control> controls_;
  QFrame* wait_frame_ = nullptr;
  QLabel* total_records_ = nullptr;
  QLabel* current_records_ = nullptr;
  QProgressBar* progress_ = nullptr;
  std::optional<Control> refused_;  // the control the last refused focus move was to
  bool syncing_ = false;
  bool busy_ = false;
  bool hourglass_ = false;
};

}  // namespace vatrix

#endif  // VATRIX_WINDOW_MAIN_FORM_H_
