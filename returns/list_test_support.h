// Test support for the list builders: a build context over an in-memory workbook that the
// test keeps after the run, and a front end that records messages and the wait panel.
#ifndef VATRIX_RETURNS_LIST_TEST_SUPPORT_H_
#define VATRIX_RETURNS_LIST_TEST_SUPPORT_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/build_context.h"
#include "hostdata/recording_ui.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix::testing {

class PanelRecordingUi : public RecordingUi {
 public:
  void ShowWaitPanel(const WaitPanelState& state) override { panels.push_back(state); }
  std::vector<WaitPanelState> panels;
};

// A list run's surroundings: session, lists, front end, panel and an in-memory workbook whose
// sheets carry every list template's sheet name ("Sheet1" first).
struct ListRun {
  ListRun()
      : wait(ui),
        book({"Sheet1", "FORM201A", "FORM201B", "SALES DETAILS", "PURCHASE DETAILS",
              "List_Showing_Purchase", "List of Sales"}) {
    session.AppTitle = kAppTitle;
    session.YearFrom = "01/04/2015";
    session.YearTo = "31/03/2016";
    session.FileFormat = kFormatExcel97;
    panel.output_folder = "/out/";
    panel.file_name = "List";
    panel.file_type = ".xls";
    panel.state_field = "STATE";
    panel.use_stock_date = "Yes";
  }

  BuildContext Context() {
    return BuildContext{session,
                        lists,
                        ui,
                        std::string(VATRIX_BINARY_DIR),
                        std::string(VATRIX_BINARY_DIR) + "/Master",
                        panel,
                        {},
                        wait,
                        workbook,
                        [this] { return Borrow(book); }};
  }

  // Writes into `row` and below of the list sheet, by row: column → value.
  std::map<int, std::map<int, CellValue>> Rows(int sheet, int first_row) const {
    std::map<int, std::map<int, CellValue>> rows;
    for (const auto& write : book.writes) {
      if (write.sheet == sheet && write.row >= first_row)
        rows[write.row][write.column] = write.value;
    }
    return rows;
  }

  Session session;
  SelectionLists lists;
  PanelRecordingUi ui;
  PanelChoices panel;
  WaitPanel wait;
  TemplateSession workbook;
  MemorySpreadsheet book;
};

}  // namespace vatrix::testing

#endif  // VATRIX_RETURNS_LIST_TEST_SUPPORT_H_
