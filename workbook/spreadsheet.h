// The spreadsheet operations the return and list builders use: open a template, address its
// sheets, write and read cells, run a template macro, save under the output path, close.
#ifndef VATRIX_WORKBOOK_SPREADSHEET_H_
#define VATRIX_WORKBOOK_SPREADSHEET_H_

#include <string>
#include <variant>

namespace vatrix {

// Failure numbers of the spreadsheet layer (HostError::number()).
// A sheet position or name that the workbook does not have.
inline constexpr long kSubscriptOutOfRange = 9;
// The engine refused an operation: a template it cannot open, a cell outside the sheet, a save
// that failed, an output file that exists already.
inline constexpr long kSpreadsheetError = 1004;
// The spreadsheet engine ended, or stopped answering and was ended by the watchdog.
inline constexpr long kEngineUnavailable = 462;

// The save formats the builders hand over.
inline constexpr int kFormatExcel97 = 56;  // the whole workbook as an .xls file
inline constexpr int kFormatCsv = 6;       // the active sheet as comma separated text

// A cell's content as written or read: a number or a text; "" is the empty cell.
using CellValue = std::variant<double, std::string>;

// A worksheet of the open workbook, by 1-based position; `name` is kept for messages.
struct Sheet {
  int position = 0;
  std::string name;
};

// The cells a workbook can address: those of an Excel 97 sheet.
inline constexpr int kMaxRow = 65536;
inline constexpr int kMaxColumn = 256;

// "sheet 'Name' cell (row, column)", for failure sources.
std::string CellSource(const Sheet& sheet, int row, int column);
// Throws HostError kSpreadsheetError unless (row, column) lies inside kMaxRow × kMaxColumn.
void CheckCellAddress(const Sheet& sheet, int row, int column);
// Throws HostError kSpreadsheetError when `value` is a number that is not finite (NaN or an
// infinity), which no workbook cell can hold as an amount.
void CheckCellValue(const Sheet& sheet, int row, int column, const CellValue& value);

// One builder run's workbook. Every failure throws HostError with one of the numbers above, a
// description of what happened and a source that says where (template, sheet, cell, path).
class Spreadsheet {
 public:
  virtual ~Spreadsheet() = default;

  // Opens the workbook file at `path` as an untitled copy; the file itself is never written.
  // Its macros stay disabled.
  virtual void Open(const std::string& path) = 0;
  // Opens like Open, with the workbook's own macros allowed to run (RunMacro). Engines without
  // macros open as Open does.
  virtual void OpenWithMacros(const std::string& path) { Open(path); }
  // Opens like Open, on any thread, but only when the engine runs already; false, with nothing
  // opened, when it would have to start first.
  virtual bool OpenIfRunning(const std::string& /*path*/) { return false; }
  // The sheet at 1-based `position`, or the sheet called `name` (case-insensitive).
  virtual Sheet SheetAt(int position) = 0;
  virtual Sheet SheetNamed(const std::string& name) = 0;
  // Makes `sheet` the active one (the sheet a CSV save writes).
  virtual void Activate(const Sheet& sheet) = 0;
  // Writes a number or a text at 1-based (row, column); the empty text leaves the cell blank.
  virtual void Write(const Sheet& sheet, int row, int column, const CellValue& value) = 0;
  // The value at (row, column), formulas recalculated after every earlier write; a formula
  // error reads as its text ("#DIV/0!").
  virtual CellValue Read(const Sheet& sheet, int row, int column) = 0;
  // Runs the workbook's macro `reference` ("Book.xls!Module.Macro" or "Module.Macro") with one
  // argument; false when the workbook has no such macro.
  virtual bool RunMacro(const std::string& reference, double argument) = 0;
  // Inserts `count` rows below `row` filled like it: its formulas (relative references moved)
  // and formats. References to ranges that end at `row` grow over the new rows.
  virtual void InsertRowsBelow(const Sheet& sheet, int row, int count) = 0;
  // Saves as a new file at `path` in `file_format` (kFormatExcel97 or kFormatCsv); the file
  // appears complete or not at all, and an existing file is never replaced.
  virtual void SaveAs(const std::string& path, int file_format) = 0;
  // Closes the workbook without saving it again.
  virtual void Close() = 0;
  // Ends the run's session: closes a workbook still open.
  virtual void Quit() = 0;
};

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_SPREADSHEET_H_
