// Form 201 on the real office: the sample template filled, saved as .xls and read back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "hostdata/host_error.h"
#include "hostdata/recording_ui.h"
#include "hostdata/test_tables.h"
#include "returns/form201.h"
#include "workbook/office_spreadsheet.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

double Amount(const CellValue& value) {
  if (const double* number = std::get_if<double>(&value)) return *number;
  EXPECT_EQ(std::get<std::string>(value), "") << "a cell holds text where an amount belongs";
  return 0;
}

class Form201OfficeTest : public ::testing::Test {
 protected:
  // One office for all the tests, ended before the program's own teardown begins.
  static void SetUpTestSuite() { office_ = new Office(); }
  static void TearDownTestSuite() {
    delete office_;
    office_ = nullptr;
  }
  static Office& SharedOffice() { return *office_; }

  void SetUp() override {
    const char* sample = std::getenv("VATRIX_SAMPLE");
    sample_ = sample ? sample : std::string(VATRIX_BINARY_DIR) + "/sample";
    out_ = testing::MakeTempFolder();
    session_.AppTitle = kAppTitle;
    session_.ReturnCode = "201";
    session_.YearFrom = "01/04/2015";
    session_.FileFormat = kFormatExcel97;
    session_.PeriodRange = " Between #4/1/2015# and #4/30/2015# ";
    session_.PeriodStart = " #4/1/2015# ";
    session_.PeriodMonth = 4;
    panel_.output_folder = out_ + "/";
    panel_.file_name = "Form 201 - Monthly - April";
    panel_.file_type = ".xls";
    panel_.return_type = "Monthly";
    lists_.connection.OpenFolder(sample_ + "/007");
  }
  void TearDown() override { fs::remove_all(out_); }

  void Run(const std::string& master) {
    BuildContext context{
        session_,  lists_,
        ui_,       VATRIX_BINARY_DIR,
        master,    panel_,
        [] {},     wait_,
        workbook_, [] { return std::make_unique<OfficeSpreadsheet>(
                                                       SharedOffice()); }};
    Form201(context);
  }

  std::string sample_;
  std::string out_;
  Session session_;
  SelectionLists lists_;
  testing::RecordingUi ui_;
  WaitPanel wait_{ui_};
  TemplateSession workbook_;
  PanelChoices panel_;
  static Office* office_;
};

Office* Form201OfficeTest::office_ = nullptr;

TEST_F(Form201OfficeTest, SavedWorkbookHoldsTheFiguresAndTheTemplatesTotals) {
  Run(std::string(VATRIX_BINARY_DIR) + "/Master");
  ASSERT_EQ(ui_.messages.size(), 1u) << ui_.Transcript();
  const std::string saved = out_ + "/Form 201 - Monthly - April.xls";
  ASSERT_TRUE(fs::exists(saved));
  const Form201Figures figures = ReadForm201Figures(lists_.connection, session_.PeriodRange, ui_);

  OfficeSpreadsheet book(SharedOffice());
  book.Open(saved);
  const Sheet turnover = book.SheetAt(1), rates = book.SheetAt(2), input = book.SheetAt(3),
              balance = book.SheetAt(4), deductions = book.SheetAt(6);
  EXPECT_NEAR(Amount(book.Read(turnover, 8, 2)), figures.Q(1), 0.001);
  EXPECT_NEAR(Amount(book.Read(turnover, 8, 3)), figures.Q(2), 0.001);
  EXPECT_NEAR(Amount(book.Read(turnover, 17, 2)), figures.Q(12) + figures.Q(14), 0.001);
  EXPECT_NEAR(Amount(book.Read(deductions, 6, 3)), figures.Q(21), 0.001);
  EXPECT_NEAR(Amount(book.Read(input, 4, 2)), figures.Q(20), 0.001);
  EXPECT_NEAR(Amount(book.Read(turnover, 16, 2)), Amount(book.Read(deductions, 24, 2)), 0.001);
  EXPECT_NEAR(Amount(book.Read(turnover, 16, 3)), Amount(book.Read(deductions, 24, 3)), 0.001);

  // Rate rows: texts for the rates, numbers for the amounts.
  ASSERT_FALSE(figures.output_tax.empty());
  EXPECT_EQ(book.Read(rates, 3, 1), CellValue(RateText(figures.output_tax[0].rate)));
  EXPECT_EQ(book.Read(rates, 3, 2), CellValue("Output Tax"));
  EXPECT_EQ(book.Read(rates, 3, 5), CellValue(figures.output_tax[0].taxable));

  // The balance adds up as the template computes it.
  const double credit = Amount(book.Read(balance, 7, 2));
  EXPECT_NEAR(Amount(book.Read(balance, 26, 2)), credit, 0.001);
  const double net = Amount(book.Read(balance, 20, 2)) - Amount(book.Read(balance, 27, 2));
  EXPECT_NEAR(Amount(book.Read(balance, 28, 2)), net > 0 ? net : 0, 0.001);
  EXPECT_NEAR(Amount(book.Read(balance, 29, 2)), net < 0 ? -net : 0, 0.001);
  EXPECT_NEAR(Amount(book.Read(balance, 32, 2)),
              Amount(book.Read(balance, 29, 2)) - Amount(book.Read(balance, 30, 2)), 0.001);
  book.Close();
}

TEST_F(Form201OfficeTest, FailedRunLeavesNoFile) {
  // A "template" of one sheet: the run fails once the workbook is open.
  const std::string master = out_ + "/Master";
  fs::create_directory(master);
  fs::copy_file(std::string(VATRIX_BINARY_DIR) + "/Master/VAT_RET_201C_Monthly.xls",
                master + "/" + kForm201Template);
  EXPECT_THROW(Run(master), HostError);
  EXPECT_FALSE(fs::exists(out_ + "/Form 201 - Monthly - April.xls"));
  EXPECT_FALSE(wait_.state().visible);

  // The office serves the next run.
  ui_.messages.clear();
  Run(std::string(VATRIX_BINARY_DIR) + "/Master");
  ASSERT_EQ(ui_.messages.size(), 1u) << ui_.Transcript();
  EXPECT_TRUE(fs::exists(out_ + "/Form 201 - Monthly - April.xls"));
}

}  // namespace
}  // namespace vatrix
