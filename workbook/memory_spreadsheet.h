// Test double of the spreadsheet: a workbook held in memory that records what a builder did.
// A test gives it sheets, cell values and computing functions in place of template formulas.
#ifndef VATRIX_WORKBOOK_MEMORY_SPREADSHEET_H_
#define VATRIX_WORKBOOK_MEMORY_SPREADSHEET_H_

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "workbook/spreadsheet.h"

namespace vatrix {

class MemorySpreadsheet : public Spreadsheet {
 public:
  // Computes a cell's value from the workbook, in place of a template formula.
  using Formula = std::function<CellValue(MemorySpreadsheet&)>;

  struct CellWrite {
    int sheet;  // 1-based position
    int row;
    int column;
    CellValue value;
  };
  struct Save {
    std::string path;
    int file_format;
  };
  struct MacroCall {
    std::string reference;
    double argument;
  };
  struct RowInsert {
    int sheet;
    int row;
    int count;
  };

  // A workbook whose sheets have these names, at positions 1, 2, ...
  explicit MemorySpreadsheet(std::vector<std::string> sheet_names);

  // Template content, set by a test before the run; not recorded as writes.
  void SetCell(int sheet, int row, int column, CellValue value);
  void SetFormula(int sheet, int row, int column, Formula formula);
  // Makes RunMacro find `name` ("Module.Macro", compared without the "Book!" part).
  void AddMacro(const std::string& name);

  // The cell's current value (formulas computed), without going through a run.
  CellValue Value(int sheet, int row, int column);

  void Open(const std::string& path) override;
  // Opens as Open does while `engine_running`.
  bool OpenIfRunning(const std::string& path) override;
  Sheet SheetAt(int position) override;
  Sheet SheetNamed(const std::string& name) override;
  void Activate(const Sheet& sheet) override;
  void Write(const Sheet& sheet, int row, int column, const CellValue& value) override;
  CellValue Read(const Sheet& sheet, int row, int column) override;
  bool RunMacro(const std::string& reference, double argument) override;
  void InsertRowsBelow(const Sheet& sheet, int row, int count) override;
  void SaveAs(const std::string& path, int file_format) override;
  void Close() override;
  void Quit() override;

  bool engine_running = true;

  // What the run did.
  std::string opened_path;
  int active_sheet = 1;
  std::vector<CellWrite> writes;
  std::vector<MacroCall> macro_calls;
  std::vector<RowInsert> row_inserts;
  std::vector<Save> saves;
  bool closed = false;
  bool quit = false;

 private:
  using Key = std::tuple<int, int, int>;  // (sheet, row, column)
  struct Cell {
    CellValue value;
    Formula formula;
  };
  void CheckOpen(const Sheet& sheet) const;

  std::vector<std::string> sheet_names_;
  std::set<std::string> macros_;
  std::map<Key, Cell> cells_;
};

// A workbook for a builder run that owns and releases its engine, forwarding every call to
// `book`, so that the test keeps the workbook and what it recorded after the run.
std::unique_ptr<Spreadsheet> Borrow(MemorySpreadsheet& book);

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_MEMORY_SPREADSHEET_H_
