// The main window driven through its widgets: the panels the form buttons set up, the lists
// and options, the checks on leaving a control and at Proceed, a real run (its wait panel
// drawn under <build>/screenshots), the company search, the second copy.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "window/gui_test.h"
#include "window/search_dialog.h"

namespace vatrix::testing {
namespace {

constexpr int kSamTraders2015 = 2;  // the chooser's item of company 7, year 2015-16

class MainFormTest : public GuiTest {};

TEST_F(MainFormTest, FormButtonsSetUpTheirPanels) {
  OpenMain();
  EXPECT_FALSE(Find("fra201A")->isVisible());
  ChooseCompanyAndForm(kSamTraders2015, "cmd201");
  EXPECT_TRUE(Find("fra201A")->isVisible());
  EXPECT_FALSE(Find("Frame1")->isVisible());
  EXPECT_EQ(Find<QComboBox>("Combo4")->itemText(2), "HalfYearly");
  EXPECT_EQ(Find<QLineEdit>("txteFileName")->text(), "Form 201 - Monthly - April");
  EXPECT_EQ(Focused(), "Combo4");

  Click("cmd201A");
  EXPECT_TRUE(Find<QPushButton>("cmd201A")->font().bold());
  EXPECT_FALSE(Find<QPushButton>("cmd201")->font().bold());
  EXPECT_EQ(Find<QComboBox>("Combo2")->currentText(), ".csv");
  EXPECT_EQ(Find<QLabel>("Label3")->text(), ":: Select Sales A/c ::");
  auto* list1 = Find<QListWidget>("List1");
  EXPECT_TRUE(list1->isVisible());
  ASSERT_GT(list1->count(), 0);
  EXPECT_TRUE(list1->item(0)->isSelected());
  EXPECT_TRUE(Find("Frame3")->isVisible());
  EXPECT_FALSE(Find("Combo3")->isVisible());
  Screenshot(*form_, "main_window_201A");

  Click("cmd3BSales");
  EXPECT_EQ(Find<QComboBox>("Combo3")->currentText(), "CATEGORY");
  EXPECT_EQ(Find<QComboBox>("Combo5")->currentText(), "No");
  Click("cmd202A");
  EXPECT_EQ(Find<QComboBox>("Combo2")->currentText(), ".xls");
}

TEST_F(MainFormTest, OptionsSwapTheListAndAnEmptySelectionKeepsTheFocus) {
  OpenMain();
  ChooseCompanyAndForm(kSamTraders2015, "cmd201A");
  Click("Option1");
  EXPECT_FALSE(Find("List1")->isVisible());
  Click("Option2");
  auto* list1 = Find<QListWidget>("List1");
  EXPECT_TRUE(list1->isVisible());
  EXPECT_EQ(Focused(), "List1");
  Press("List1", Qt::Key_Return);  // toggles the selected first account off
  EXPECT_FALSE(list1->item(0)->isSelected());
  Click("txteFileName");
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"Select atleast one Account....."});
  EXPECT_EQ(Focused(), "List1");
  Press("List1", Qt::Key_Return);
  Click("txteFileName");
  EXPECT_EQ(Focused(), "txteFileName");
  EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(MainFormTest, OutputChecksRefuseTheRootAnExistingFileAndAnEmptyName) {
  OpenMain();
  ChooseCompanyAndForm(kSamTraders2015, "cmd201");
  auto* folder = Find<QLineEdit>("Text1");
  Click("Text1");  // empty: the folder dialog fills it
  EXPECT_EQ(folder->text().toStdString(), out_ + "/");
  folder->selectAll();
  QTest::keyClicks(folder, "/");
  Click("txteFileName");
  EXPECT_EQ(
      TakeMessages(),
      std::vector<std::string>{
          "Only C:\\ Drive is Not Valid...\r\nYou have to Create Folder in C:\\ and Then try...."});
  EXPECT_EQ(folder->text().toStdString(), out_ + "/");

  std::ofstream(out_ + "/Form 201 - Monthly - April.xls") << "kept";
  Click("cmd201AProceed");
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"File Name : " + out_ +
                                                     "/Form 201 - Monthly - April.xls is already "
                                                     "exist....."});
  EXPECT_EQ(Focused(), "txteFileName");
  Find<QLineEdit>("txteFileName")->selectAll();
  QTest::keyClick(Find("txteFileName"), Qt::Key_Backspace);
  Click("cmd201AProceed");
  EXPECT_EQ(TakeMessages(),
            std::vector<std::string>{"File Name : " + out_ + "/.xls is already exist....."});
}

TEST_F(MainFormTest, ProceedBuildsOnTheBuildThreadWhileTheWindowShowsProgress) {
  OpenMain();
  ChooseCompanyAndForm(kSamTraders2015, "cmd201");
  Click("Text1");
  // Sampled while the return is built: the window's thread keeps handling its timers.
  int samples = 0, waiting = 0, disabled = 0;
  QTimer sampler;
  QObject::connect(&sampler, &QTimer::timeout, [&] {
    ++samples;
    const bool shown = Find("fraWait")->isVisible() && Find("prgWait")->isVisible();
    if (shown && waiting++ == 0) Screenshot(*form_, "wait_panel");
    disabled += !Find("cmd201")->isEnabled() && !Find("Combo1")->isEnabled();
  });
  sampler.start(10);
  Click("cmd201AProceed");
  sampler.stop();

  const std::string path = out_ + "/Form 201 - Monthly - April.xls";
  const auto messages = TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("Data Exported Successfully into File : " + path + "\r\n", 0), 0u);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_GT(samples, 0);
  EXPECT_EQ(disabled, samples);
  EXPECT_GT(waiting, 0);
  EXPECT_FALSE(Find("fraWait")->isVisible());
  EXPECT_FALSE(Find("fra201A")->isVisible());
  EXPECT_TRUE(Find("cmd201")->isEnabled());
  EXPECT_EQ(Focused(), "cmd201");
}

TEST_F(MainFormTest, F1SearchChoiceReachesTheChooser) {
  OpenMain();
  Find("Combo1")->setFocus();
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<SearchDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* text = dialog->findChild<QLineEdit*>("Text1");
    QTest::keyClicks(text, "pa");
    EXPECT_EQ(text->text(), "Pa");
    QTest::keyClick(text, Qt::Key_Return);
  });
  Press("Combo1", Qt::Key_F1);
  EXPECT_EQ(Find<QComboBox>("Combo1")->currentIndex(), 1);  // Patel & Sons
  EXPECT_FALSE(logic_->session().SearchOpen);
}

TEST_F(MainFormTest, SecondCopyShowsTheMessageAndEnds) {
  const std::string lock = "vatrix-test-second-" + std::to_string(getpid());
  SingleInstance first(lock);
  OpenMain(lock);
  EXPECT_EQ(TakeMessages(), std::vector<std::string>{"Software is already running........"});
  EXPECT_FALSE(form_->isVisible());
  EXPECT_TRUE(ui_.ending());
}

}  // namespace
}  // namespace vatrix::testing
