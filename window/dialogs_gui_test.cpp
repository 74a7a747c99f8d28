// The picker and the search dialog driven through their widgets, and their pictures under
// <build>/screenshots for a look by eye.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <filesystem>

#include "hostdata/test_tables.h"
#include "window/gui_test.h"
#include "window/picker_window.h"
#include "window/search_dialog.h"

namespace vatrix::testing {
namespace {

class DialogsGuiTest : public GuiTest {};

TEST_F(DialogsGuiTest, PickerRefusesAFolderWithoutTheCatalogueAndTakesEnter) {
  HostPicker picker({out_, Sample()}, ui_);
  picker.Load();
  PickerWindow window(picker);
  window.show();
  auto* list = window.findChild<QListWidget*>("OrdovaPath");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(window.windowTitle(), "Select Ordova Path");
  QTest::keyClick(list, Qt::Key_Return);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Company.dbf file was not found in " + out_ +
                                      "\r\nPlease Select another Directory....");
  EXPECT_TRUE(window.isVisible());
  Screenshot(window, "picker");
  list->setCurrentRow(1);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(picker.host_folder(), Sample());
}

TEST_F(DialogsGuiTest, SearchDialogFiltersAsTypedAndMovesByKeys) {
  SearchDialog dialog(Sample(), ui_, 0);
  dialog.show();
  auto* text = dialog.findChild<QLineEdit*>("Text1");
  auto* total = dialog.findChild<QLabel*>("lblTotalRecord");
  auto* number = dialog.findChild<QLabel*>("lblRecordNo");
  EXPECT_EQ(total->text(), "4");
  QTest::keyClicks(text, "sam'");
  EXPECT_EQ(text->text(), "Sam");
  EXPECT_EQ(total->text(), "2");
  QTest::keyClick(text, Qt::Key_End);
  EXPECT_EQ(number->text(), "2");
  EXPECT_EQ(dialog.findChild<QTableWidget*>("DataGrid1")->currentRow(), 1);
  Screenshot(dialog, "search_dialog");
  for (const char* name : {"cmdAdd", "cmdEdit", "cmdDelete"}) {
    EXPECT_FALSE(dialog.findChild<QPushButton*>(name)->isEnabled()) << name;
  }
  text->clear();
  QTest::keyClicks(text, "p");
  QTest::keyClick(text, Qt::Key_Return);
  EXPECT_EQ(dialog.chosen_position(), 1);  // Patel & Sons
  EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace vatrix::testing
