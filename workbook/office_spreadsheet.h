// The spreadsheet engine on the office suite: each builder run opens its template into a fresh
// OfficeSpreadsheet of the program's one Office (office.h).
#ifndef VATRIX_WORKBOOK_OFFICE_SPREADSHEET_H_
#define VATRIX_WORKBOOK_OFFICE_SPREADSHEET_H_

#include <memory>
#include <string>

#include "workbook/office.h"
#include "workbook/spreadsheet.h"
#include "workbook/write_buffer.h"

namespace vatrix {

class OfficeSpreadsheet : public Spreadsheet {
 public:
  explicit OfficeSpreadsheet(Office& office);
  // Closes a workbook still open.
  ~OfficeSpreadsheet() override;

  // Each starts the office first when none runs (or the last one ended).
  void Open(const std::string& path) override;
  void OpenWithMacros(const std::string& path) override;
  // Never starts the office: one started on this thread would end with it.
  bool OpenIfRunning(const std::string& path) override;
  Sheet SheetAt(int position) override;
  Sheet SheetNamed(const std::string& name) override;
  void Activate(const Sheet& sheet) override;
  // Buffered: reaches the office as block writes before the next read, macro, insert or save.
  void Write(const Sheet& sheet, int row, int column, const CellValue& value) override;
  CellValue Read(const Sheet& sheet, int row, int column) override;
  // Runs a Basic macro of the document (an .xls file's VBA modules load as Basic modules).
  bool RunMacro(const std::string& reference, double argument) override;
  void InsertRowsBelow(const Sheet& sheet, int row, int count) override;
  // The CSV file holds the active sheet's displayed texts (see csv_text.h).
  void SaveAs(const std::string& path, int file_format) override;
  // Never fails: a workbook the office can no longer close is let go.
  void Close() override;
  // The office keeps running for the next run.
  void Quit() override;

  struct Document;  // the open document's UNO references

 private:
  // Opens the template, starting the office first when `may_start`; false when it was not
  // running and could not be started.
  bool Load(const std::string& path, bool macros, bool may_start);
  void Flush();
  void Recalculate();
  void SaveWorkbook(const std::string& path);
  void SaveCsv(const std::string& path);
  Document& Opened(const Sheet& sheet);

  Office& office_;
  std::unique_ptr<Document> document_;
  WriteBuffer buffer_;
};

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_OFFICE_SPREADSHEET_H_
