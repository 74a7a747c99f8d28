#include "workbook/template_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "hostdata/host_error.h"
#include "hostdata/recording_ui.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

class TemplateSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = fs::temp_directory_path() / ("vatrix-session-" + std::to_string(getpid()));
    fs::remove_all(program_);
    fs::create_directories(program_ / "Master");
    std::ofstream(program_ / "Master" / "vat_ret_201a_500_monthly_new.XLS") << "template";
    std::ofstream(program_ / "Master" / "VAT_RET_201_Monthly_new.xls") << "template";
    std::ofstream(program_ / "Master" / "vat_ret_201_monthly_new.xls") << "other copy";
    fs::create_directories(program_ / "Master" / "VAT_RET_202A_m.xls");  // a folder
  }
  void TearDown() override { fs::remove_all(program_); }

  std::string master() const { return (program_ / "Master").string(); }
  std::string Master(const std::string& name) const {
    return program_.string() + "/Master/" + name;
  }

  fs::path program_;
};

TEST_F(TemplateSessionTest, FindsTemplatesWhateverTheirCase) {
  EXPECT_EQ(FindTemplate(master(), "VAT_RET_201A_500_Monthly_New.xls"),
            Master("vat_ret_201a_500_monthly_new.XLS"));
  EXPECT_EQ(FindTemplate(master(), "VAT_RET_201_Monthly_new.xls"),
            Master("VAT_RET_201_Monthly_new.xls"));  // the exact spelling first
  EXPECT_EQ(FindTemplate(master(), "VAT_RET_202A_m.xls"), std::nullopt);
  EXPECT_EQ(FindTemplate(master(), ""), std::nullopt);
  EXPECT_EQ(FindTemplate(master(), "../Master/VAT_RET_201_Monthly_new.xls"), std::nullopt);
  EXPECT_EQ(FindTemplate("/no/such/Master", "VAT_RET_201_Monthly_new.xls"), std::nullopt);
}

TEST_F(TemplateSessionTest, TheCheckNamesTheMissingTemplate) {
  testing::RecordingUi ui;
  TemplateSession session;
  session.TemplateName = "CST_RET_FORM_3B_NEW.xls";
  EXPECT_EQ(CheckTemplate(master(), session, ui), std::nullopt);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Master Templete : " + Master("CST_RET_FORM_3B_NEW.xls") + " was not found.....");
  EXPECT_EQ(ui.messages[0].title, kAppTitle);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kExclamation);

  session.TemplateName = "VAT_RET_201A_500_MONTHLY_NEW.xls";
  EXPECT_TRUE(CheckTemplate(master(), session, ui));
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(TemplateSessionTest, CloseExcelApplicationSavesUnderTheJoinedPathAndCloses) {
  MemorySpreadsheet book({"Sheet1"});
  book.Open(Master("VAT_RET_201_Monthly_new.xls"));
  EXPECT_EQ(
      CloseExcelApplication(book, {" /home/dealer/Returns/ ", " APR2017 ", " .xls "}, kFormatCsv),
      "/home/dealer/Returns/APR2017.xls");
  EXPECT_TRUE(book.closed);
  book.Open(Master("VAT_RET_201_Monthly_new.xls"));
  CloseExcelApplication(book, {"/r/", "APR2017", ".csv"}, kFormatCsv);
  ASSERT_EQ(book.saves.size(), 2u);
  EXPECT_EQ(book.saves[0].file_format, kFormatExcel97);
  EXPECT_EQ(book.saves[1].path, "/r/APR2017.csv");
  EXPECT_EQ(book.saves[1].file_format, kFormatCsv);
  // Any other type keeps the session's format, as the save was told.
  EXPECT_EQ(SaveFormatOf({"/r/", "APR2017", ".XLS"}, kFormatCsv), kFormatCsv);

  // A name that would lead into another folder is refused as a name, not as a missing folder.
  book.Open(Master("VAT_RET_201_Monthly_new.xls"));
  try {
    CloseExcelApplication(book, {"/r/", "APR/2017", ".xls"}, kFormatCsv);
    FAIL() << "a name with a separator was saved";
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kSpreadsheetError);
    EXPECT_NE(error.description().find("file name"), std::string::npos);
    EXPECT_EQ(error.source(), "/r/APR/2017.xls");
  }
  EXPECT_EQ(book.saves.size(), 2u);
}

}  // namespace
}  // namespace vatrix
