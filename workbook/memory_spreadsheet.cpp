#include "workbook/memory_spreadsheet.h"

#include <utility>

#include "hostdata/host_error.h"

namespace vatrix {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string text) {
  for (char& c : text) c = Lower(c);
  return text;
}

// "Book.xls!Module.Macro" → "Module.Macro".
std::string MacroName(const std::string& reference) {
  const size_t bang = reference.rfind('!');
  return bang == std::string::npos ? reference : reference.substr(bang + 1);
}

}  // namespace

MemorySpreadsheet::MemorySpreadsheet(std::vector<std::string> sheet_names)
    : sheet_names_(std::move(sheet_names)) {}

void MemorySpreadsheet::SetCell(int sheet, int row, int column, CellValue value) {
  cells_[{sheet, row, column}] = {std::move(value), nullptr};
}

void MemorySpreadsheet::SetFormula(int sheet, int row, int column, Formula formula) {
  cells_[{sheet, row, column}] = {std::string(), std::move(formula)};
}

void MemorySpreadsheet::AddMacro(const std::string& name) { macros_.insert(name); }

CellValue MemorySpreadsheet::Value(int sheet, int row, int column) {
  const auto found = cells_.find({sheet, row, column});
  if (found == cells_.end()) return std::string();
  if (found->second.formula) return found->second.formula(*this);
  return found->second.value;
}

void MemorySpreadsheet::CheckOpen(const Sheet& sheet) const {
  if (opened_path.empty() || closed) {
    throw HostError(kSpreadsheetError, "no workbook is open", "sheet '" + sheet.name + "'");
  }
}

void MemorySpreadsheet::Open(const std::string& path) {
  opened_path = path;
  closed = false;
}

bool MemorySpreadsheet::OpenIfRunning(const std::string& path) {
  if (engine_running) Open(path);
  return engine_running;
}

Sheet MemorySpreadsheet::SheetAt(int position) {
  CheckOpen({position, ""});
  if (position < 1 || position > static_cast<int>(sheet_names_.size())) {
    throw HostError(kSubscriptOutOfRange, "the workbook has no sheet at this position",
                    opened_path + " sheet " + std::to_string(position));
  }
  return {position, sheet_names_[position - 1]};
}

Sheet MemorySpreadsheet::SheetNamed(const std::string& name) {
  CheckOpen({0, name});
  for (size_t i = 0; i < sheet_names_.size(); ++i) {
    if (Lowered(sheet_names_[i]) == Lowered(name)) {
      return {static_cast<int>(i) + 1, sheet_names_[i]};
    }
  }
  throw HostError(kSubscriptOutOfRange, "the workbook has no sheet of this name",
                  opened_path + " sheet '" + name + "'");
}

void MemorySpreadsheet::Activate(const Sheet& sheet) {
  CheckOpen(sheet);
  active_sheet = sheet.position;
}

void MemorySpreadsheet::Write(const Sheet& sheet, int row, int column, const CellValue& value) {
  CheckOpen(sheet);
  CheckCellAddress(sheet, row, column);
  CheckCellValue(sheet, row, column, value);
  writes.push_back({sheet.position, row, column, value});
  SetCell(sheet.position, row, column, value);
}

CellValue MemorySpreadsheet::Read(const Sheet& sheet, int row, int column) {
  CheckOpen(sheet);
  CheckCellAddress(sheet, row, column);
  return Value(sheet.position, row, column);
}

bool MemorySpreadsheet::RunMacro(const std::string& reference, double argument) {
  if (!macros_.count(MacroName(reference))) return false;
  macro_calls.push_back({reference, argument});
  return true;
}

void MemorySpreadsheet::InsertRowsBelow(const Sheet& sheet, int row, int count) {
  CheckOpen(sheet);
  CheckCellAddress(sheet, row, 1);
  if (count < 0 || row + count > kMaxRow) {
    throw HostError(kSpreadsheetError, "cannot insert " + std::to_string(count) + " rows",
                    CellSource(sheet, row, 1));
  }
  row_inserts.push_back({sheet.position, row, count});
  std::map<Key, Cell> moved;
  for (auto& [key, cell] : cells_) {
    auto [s, r, c] = key;
    if (s == sheet.position && r > row) r += count;
    moved[{s, r, c}] = cell;
    if (s == sheet.position && r == row) {
      for (int i = 1; i <= count; ++i) moved[{s, r + i, c}] = cell;
    }
  }
  cells_ = std::move(moved);
}

void MemorySpreadsheet::SaveAs(const std::string& path, int file_format) {
  CheckOpen({active_sheet, ""});
  saves.push_back({path, file_format});
}

void MemorySpreadsheet::Close() { closed = true; }

void MemorySpreadsheet::Quit() {
  closed = true;
  quit = true;
}

namespace {

class BorrowedSpreadsheet : public Spreadsheet {
 public:
  explicit BorrowedSpreadsheet(MemorySpreadsheet& book) : book_(book) {}
  void Open(const std::string& path) override { book_.Open(path); }
  bool OpenIfRunning(const std::string& path) override { return book_.OpenIfRunning(path); }
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

}  // namespace

std::unique_ptr<Spreadsheet> Borrow(MemorySpreadsheet& book) {
  return std::make_unique<BorrowedSpreadsheet>(book);
}

}  // namespace vatrix
