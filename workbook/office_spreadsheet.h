// The spreadsheet engine on the office suite, driven over its UNO bridge. One Office serves a
// whole program run: it starts at the first workbook opened and ends with the program; each
// builder run opens its template into a fresh OfficeSpreadsheet.
#ifndef VATRIX_WORKBOOK_OFFICE_SPREADSHEET_H_
#define VATRIX_WORKBOOK_OFFICE_SPREADSHEET_H_

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "workbook/office_process.h"
#include "workbook/spreadsheet.h"
#include "workbook/write_buffer.h"

namespace vatrix {

class Office {
 public:
  explicit Office(OfficeOptions options = DefaultOfficeOptions());
  // Ends the office process and removes its private profile.
  ~Office();
  Office(const Office&) = delete;
  Office& operator=(const Office&) = delete;

  // The office process id while one runs, else -1 (tests end it to see how a run fails).
  pid_t pid() const;

  struct Connection;  // the process, its watchdog and the bridge

 private:
  friend class OfficeSpreadsheet;
  std::unique_ptr<Connection> connection_;
};

class OfficeSpreadsheet : public Spreadsheet {
 public:
  explicit OfficeSpreadsheet(Office& office);
  // Closes a workbook still open.
  ~OfficeSpreadsheet() override;

  // Starts the office first when none runs (or the last one ended).
  void Open(const std::string& path) override;
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
