#include "window/gui_test.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "hostdata/test_tables.h"

namespace vatrix::testing {

MessageAnswer RecordingQtUi::Ask(const Message& message) {
  messages.push_back(message);
  return message.buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
}

void GuiTest::SetUpTestSuite() {
  if (QApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "window_test";
  static char* argv[] = {name, nullptr};
  // Lives as long as the test program.
  static QApplication* const application = new QApplication(argc, argv);
  (void)application;
}

void GuiTest::SetUp() { out_ = MakeTempFolder(); }

void GuiTest::TearDown() {
  form_.reset();
  builds_.reset();
  logic_.reset();
  platform_.reset();
  std::filesystem::remove_all(out_);
}

std::string GuiTest::Sample() {
  const char* sample = std::getenv("VATRIX_SAMPLE");
  return sample ? sample : std::string(VATRIX_BINARY_DIR) + "/sample";
}

MainForm& GuiTest::OpenMain(const std::string& instance) {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string lock =
      instance.empty() ? std::string("vatrix-test-") + test->name() + std::to_string(getpid())
                       : instance;
  platform_ = std::make_unique<TestPlatform>(VATRIX_BINARY_DIR, Sample(), ui_, lock);
  platform_->chosen_folder = out_;
  logic_ = std::make_unique<MainWindow>(Sample(), *platform_, ui_);
  builds_ = std::make_unique<BuildThread>();
  form_ = std::make_unique<MainForm>(*logic_, ui_, *builds_);
  ui_.setParentWidget(form_.get());
  platform_->setParentWidget(form_.get());
  if (form_->Start()) {
    form_->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  }
  return *form_;
}

void GuiTest::ChooseCompanyAndForm(int index, const char* button) {
  auto* chooser = Find<QComboBox>("Combo1");
  chooser->setFocus();
  chooser->setCurrentIndex(index);
  emit chooser->activated(index);
  Click(button);
}

void GuiTest::Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }

void GuiTest::Press(const char* name, int key) {
  QTest::keyClick(Find(name), static_cast<Qt::Key>(key));
}

std::string GuiTest::Focused() const {
  QWidget* focus = QApplication::focusWidget();
  return focus ? focus->objectName().toStdString() : "";
}

std::vector<std::string> GuiTest::TakeMessages() {
  std::vector<std::string> texts;
  for (const Message& message : ui_.messages) texts.push_back(message.text);
  ui_.messages.clear();
  return texts;
}

void GuiTest::Screenshot(QWidget& widget, const std::string& name) {
  const QString folder = QStringLiteral(VATRIX_BINARY_DIR "/screenshots");
  QDir().mkpath(folder);
  const QImage image = widget.grab().toImage();
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 2) {
    for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
  }
  EXPECT_GT(colours.size(), 8u) << name << " is blank";
  EXPECT_TRUE(image.save(folder + "/" + QString::fromStdString(name) + ".png"));
}

}  // namespace vatrix::testing
