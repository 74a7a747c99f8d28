// The one test base of the desktop program's tests: a QApplication on the offscreen platform,
// a front end that records its message boxes instead of showing them, and the main window over
// the sample installation, driven through its widgets by object name.
#ifndef VATRIX_WINDOW_GUI_TEST_H_
#define VATRIX_WINDOW_GUI_TEST_H_

#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "window/build_thread.h"
#include "window/desktop_platform.h"
#include "window/main_form.h"
#include "window/qt_ui.h"

namespace vatrix::testing {

// Records each message box instead of showing it; a question is answered No.
class RecordingQtUi : public QtUi {
 public:
  std::vector<Message> messages;

 protected:
  MessageAnswer Ask(const Message& message) override;
};

// The desktop platform with the folder dialog answered by `chosen_folder`.
class TestPlatform : public DesktopPlatform {
 public:
  using DesktopPlatform::DesktopPlatform;
  std::optional<std::string> ChooseFolder(const std::string&) override { return chosen_folder; }
  std::optional<std::string> chosen_folder;
};

class GuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // The sample installation the build generates.
  static std::string Sample();
  // Opens the main window on the sample, loaded and active. `instance` names its
  // single-instance lock (unique per test unless given).
  MainForm& OpenMain(const std::string& instance = "");
  // Chooses the chooser's item at `index`, then presses the return-form button `button`.
  void ChooseCompanyAndForm(int index, const char* button);

  // The main window's widget named `name`; fails the test when there is none.
  template <typename Widget = QWidget>
  Widget* Find(const char* name) {
    auto* widget = form_->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  void Click(const char* name);
  void Press(const char* name, int key);
  // The name of the widget with the focus.
  std::string Focused() const;
  // The texts of the messages shown so far, then forgets them.
  std::vector<std::string> TakeMessages();

  // Draws `widget` into `<build>/screenshots/<name>.png` and expects a picture, not a blank.
  static void Screenshot(QWidget& widget, const std::string& name);

  std::string out_;
  RecordingQtUi ui_;
  std::unique_ptr<TestPlatform> platform_;
  std::unique_ptr<MainWindow> logic_;
  std::unique_ptr<BuildThread> builds_;
  std::unique_ptr<MainForm> form_;
};

}  // namespace vatrix::testing

#endif  // VATRIX_WINDOW_GUI_TEST_H_
