#include "app/host_picker.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hostdata/recording_ui.h"
#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

class HostPickerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    good_ = testing::MakeTempFolder();
    bad_ = testing::MakeTempFolder();
    testing::WriteFile(good_ + "/COMPANY.DBF", "");  // any case of the name will do
  }
  void TearDown() override {
    std::filesystem::remove_all(good_);
    std::filesystem::remove_all(bad_);
  }

  std::string good_, bad_;
  testing::RecordingUi ui_;
};

TEST_F(HostPickerTest, SingleGoodCandidateGoesStraightThrough) {
  HostPicker picker({" " + good_ + " "}, ui_);
  picker.Load();
  EXPECT_EQ(picker.state(), HostPicker::State::kChosen);
  EXPECT_FALSE(picker.visible());
  EXPECT_EQ(picker.host_folder(), good_);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(HostPickerTest, CandidateWithoutCatalogueKeepsThePickerOpen) {
  HostPicker picker({bad_, good_}, ui_);
  picker.Load();
  EXPECT_TRUE(picker.visible());
  EXPECT_EQ(picker.selected(), 0);
  picker.OrdovaPath_Select(0);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Company.dbf file was not found in " + bad_ +
                                      "\r\nPlease Select another Directory....");
  EXPECT_EQ(ui_.messages[0].icon, MessageIcon::kCritical);
  EXPECT_EQ(picker.state(), HostPicker::State::kOpen);
  picker.OrdovaPath_Select(1);
  EXPECT_EQ(picker.state(), HostPicker::State::kChosen);
  EXPECT_EQ(picker.host_folder(), good_);

  HostPicker single({bad_}, ui_);
  single.Load();
  EXPECT_TRUE(single.visible());
  EXPECT_EQ(ui_.messages.size(), 2u);
}

TEST_F(HostPickerTest, BrowsedFolderIsListedOnceAndChosenLikeEnter) {
  HostPicker picker({bad_, good_ + "/"}, ui_);
  picker.Load();
  picker.Browse(bad_);
  EXPECT_EQ(picker.items().size(), 2u);
  EXPECT_EQ(picker.state(), HostPicker::State::kOpen);
  picker.Browse(good_);
  EXPECT_EQ(picker.items().size(), 3u);
  EXPECT_EQ(picker.selected(), 2);
  EXPECT_EQ(picker.host_folder(), good_);
}

TEST_F(HostPickerTest, NoCandidateEndsTheProgram) {
  HostPicker picker({}, ui_);
  picker.Load();
  EXPECT_EQ(picker.state(), HostPicker::State::kClosed);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(
      ui_.messages[0].text,
      "Ordova is not install on Your Computer.....\r\n\r\nSORRY...We can't proceed further...");
}

}  // namespace
}  // namespace vatrix
