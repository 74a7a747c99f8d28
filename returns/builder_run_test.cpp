#include "returns/builder_run.h"

#include <gtest/gtest.h>

#include "returns/build_fixture.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix {
namespace {

class BuilderRunTest : public ::testing::Test {
 protected:
  BuilderRunTest() : book_({"Sheet1"}) {
    run_.spreadsheets = [this] { return Borrow(book_); };
  }

  // Runs the steps: open the template, write a cell, then `fail` (if any) or save.
  void Run(FailureReport report, const std::function<void()>& fail = nullptr) {
    BuildContext context = run_.Context();
    RunBuilder(context, report, "Form 9 - Error", [&](BuilderRun& builder) {
      Spreadsheet& sheets = builder.Open("/master/template.xls");
      sheets.Write(sheets.SheetAt(1), 1, 1, 5.0);
      if (fail) fail();
      builder.Save();
    });
  }

  void ExpectPanelAtRest() {
    EXPECT_FALSE(run_.wait.state().visible);
    EXPECT_FALSE(run_.wait.state().hourglass);
  }

  testing::BuildFixture run_;
  MemorySpreadsheet book_;
};

TEST_F(BuilderRunTest, SavesUnderTheOutputNameAndSaysWhere) {
  Run(FailureReport::kDatabase);
  ASSERT_EQ(book_.saves.size(), 1u);
  EXPECT_EQ(book_.saves[0].path, "/out/Return.xls");
  EXPECT_EQ(book_.saves[0].file_format, kFormatExcel97);
  EXPECT_TRUE(book_.closed && book_.quit);
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(
      run_.ui.messages[0].text.rfind("Data Exported Successfully into File : /out/Return.xls", 0),
      0u);
  ExpectPanelAtRest();
  ASSERT_GE(run_.ui.panels.size(), 2u);
  EXPECT_TRUE(run_.ui.panels[0].visible);
  EXPECT_TRUE(run_.ui.panels[1].visible && run_.ui.panels[1].hourglass);
}

TEST_F(BuilderRunTest, AFailureClosesTheWorkbookUnsavedAndIsReportedUnderTheTitle) {
  for (const FailureReport report : {FailureReport::kDatabase, FailureReport::kListExport}) {
    book_ = MemorySpreadsheet({"Sheet1"});
    run_.ui.messages.clear();
    Run(report, [] { throw HostError(kQueryRejected, "the query cannot be run", "query: Q"); });
    EXPECT_TRUE(book_.saves.empty());
    EXPECT_TRUE(book_.closed && book_.quit);
    ASSERT_EQ(run_.ui.messages.size(), 1u);
    EXPECT_EQ(run_.ui.messages[0].title, "Form 9 - Error");
    EXPECT_EQ(run_.ui.messages[0].icon, MessageIcon::kCritical);
    EXPECT_NE(run_.ui.messages[0].text.find("the query cannot be run"), std::string::npos);
    ExpectPanelAtRest();
  }
}

TEST_F(BuilderRunTest, AMissingTableEndsTheProgramOnlyOutsideTheListExport) {
  const auto missing = [] { throw HostError(kTableUnavailable, "no file", "table SP"); };
  Run(FailureReport::kListExport, missing);
  EXPECT_FALSE(run_.ui.ended);
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].title, kAppTitle);

  EXPECT_THROW(Run(FailureReport::kDatabase, missing), ProgramEnding);
  EXPECT_TRUE(run_.ui.ended);
  EXPECT_TRUE(book_.saves.empty());
  ExpectPanelAtRest();
}

TEST_F(BuilderRunTest, AnOfficeThatCannotStartIsReported) {
  run_.spreadsheets = []() -> std::unique_ptr<Spreadsheet> {
    throw HostError(kEngineUnavailable, "the office did not start", "soffice");
  };
  Run(FailureReport::kDatabase);
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_NE(run_.ui.messages[0].text.find("Error Number : 462"), std::string::npos);
  ExpectPanelAtRest();
}

// The template opened ahead is the run's workbook when the engine runs and the same file is
// opened; otherwise Open opens it on the run's own thread, and reports what fails there.
TEST_F(BuilderRunTest, OpenAheadHandsItsWorkbookToOpenOrLeavesOpenToDoIt) {
  struct Case {
    bool engine_running;
    int failing_calls;  // the first workbooks asked for fail
    std::string opened;
    int workbooks;  // asked for from the engine
    bool saved;
  } cases[] = {
      {true, 0, "/master/template.xls", 1, true},  {false, 0, "/master/template.xls", 2, true},
      {true, 1, "/master/template.xls", 2, true},  {true, 0, "/master/other.xls", 2, true},
      {true, 2, "/master/template.xls", 2, false},
  };
  for (const Case& c : cases) {
    book_ = MemorySpreadsheet({"Sheet1"});
    book_.engine_running = c.engine_running;
    run_.ui.messages.clear();
    int workbooks = 0;
    run_.spreadsheets = [&]() -> std::unique_ptr<Spreadsheet> {
      if (++workbooks <= c.failing_calls) {
        throw HostError(kEngineUnavailable, "the office did not start", "soffice");
      }
      return Borrow(book_);
    };
    BuildContext context = run_.Context();
    RunBuilder(context, FailureReport::kDatabase, "Form 9 - Error", [&](BuilderRun& builder) {
      builder.OpenAhead(c.opened);
      Spreadsheet& sheets = builder.Open("/master/template.xls");
      sheets.Write(sheets.SheetAt(1), 1, 1, 5.0);
      builder.Save();
    });
    EXPECT_EQ(workbooks, c.workbooks) << c.opened << " " << c.failing_calls;
    EXPECT_EQ(book_.saves.size(), c.saved ? 1u : 0u) << c.opened << " " << c.failing_calls;
    EXPECT_EQ(book_.opened_path, c.saved ? "/master/template.xls" : "");
    ASSERT_EQ(run_.ui.messages.size(), 1u);
    EXPECT_EQ(run_.ui.messages[0].icon,
              c.saved ? MessageIcon::kInformation : MessageIcon::kCritical);
    ExpectPanelAtRest();
  }
}

TEST_F(BuilderRunTest, ATemplateOpenedAheadOfAFailingRunClosesUnsaved) {
  BuildContext context = run_.Context();
  RunBuilder(context, FailureReport::kDatabase, "Form 9 - Error", [&](BuilderRun& builder) {
    builder.OpenAhead("/master/template.xls");
    throw HostError(kQueryRejected, "the query cannot be run", "query: Q");
  });
  EXPECT_EQ(book_.opened_path, "/master/template.xls");
  EXPECT_TRUE(book_.closed);
  EXPECT_TRUE(book_.saves.empty());
  ASSERT_EQ(run_.ui.messages.size(), 1u);
  EXPECT_EQ(run_.ui.messages[0].title, "Form 9 - Error");
  ExpectPanelAtRest();
}

}  // namespace
}  // namespace vatrix
