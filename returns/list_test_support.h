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

// Hands the run a workbook that forwards to one the test owns.
class SharedSpreadsheet : public Spreadsheet {
 public:
  explicit SharedSpreadsheet(MemorySpreadsheet& book) : book_(book) {}
  void Open(const std::string& path) override { book_.Open(path); }
  Sheet SheetAt(int position) override { return book_.SheetAt(position); }
  Sheet SheetNamed(const std::string& name) override { return book_.SheetNamed(name); }
  void Activate(const Sheet& sheet) override { book_.Activate(sheet); }
  void Write(const Sheet& sheet, int row, int column, const CellValue& value) override {
    book_.Write(sheet, row, column, value);
  }
  CellValue Read(const Sheet& sheet, int row, int column) override {
    return book_.Read(sheet, row, column);
  }
  bool RunMacro(const std::string& reference, double argument) override {
    return book_.RunMacro(reference, argument);
  }
  void InsertRowsBelow(const Sheet& sheet, int row, int count) override {
    book_.InsertRowsBelow(sheet, row, count);
  }
  void SaveAs(const std::string& path, int file_format) override {
    book_.SaveAs(path, file_format);
  }
  void Close() override { book_.Close(); }
  void Quit() override { book_.Quit(); }

 private:
  MemorySpreadsheet& book_;
};

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
                        [this] { return std::make_unique<SharedSpreadsheet>(book); }};
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
