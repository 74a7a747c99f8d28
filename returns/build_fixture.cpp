#include "returns/build_fixture.h"

namespace vatrix::testing {

BuildFixture::BuildFixture() : master_folder(std::string(VATRIX_BINARY_DIR) + "/Master") {
  session.AppTitle = kAppTitle;
  session.YearFrom = "01/04/2015";
  session.YearTo = "31/03/2016";
  session.FileFormat = kFormatExcel97;
  session.PeriodRange = " Between #4/1/2015# and #4/30/2015# ";
  session.PeriodStart = " #4/1/2015# ";
  session.PeriodMonth = 4;
  panel.output_folder = "/out/";
  panel.file_name = "Return";
  panel.file_type = ".xls";
  panel.return_type = "Monthly";
  panel.state_field = "STATE";
  panel.use_stock_date = "Yes";
}

BuildContext BuildFixture::Context() {
  return BuildContext{session, lists,           ui,   VATRIX_BINARY_DIR, master_folder,
                      panel,   set_period_name, wait, workbook,          spreadsheets};
}

}  // namespace vatrix::testing
