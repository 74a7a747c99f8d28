// The office suite the spreadsheet engine drives over its UNO bridge. One Office serves a whole
// program run: it starts at the first workbook opened and ends with the program.
#ifndef VATRIX_WORKBOOK_OFFICE_H_
#define VATRIX_WORKBOOK_OFFICE_H_

#include <sys/types.h>

#include <memory>

#include "workbook/office_process.h"

namespace vatrix {

class Office {
 public:
  explicit Office(OfficeOptions options = DefaultOfficeOptions());
  // Ends the office process and removes its private profile.
  ~Office();
  Office(const Office&) = delete;
  Office& operator=(const Office&) = delete;

  // Starts the office now unless a live one runs, and has a new one load its spreadsheet
  // part, so that the next workbook opens without the wait (a program starts it ahead of its
  // first run). The office ends with the calling thread: call it from the thread the
  // workbooks are opened on, or from one that waits until the Office has ended. Throws
  // HostError kEngineUnavailable when it cannot start.
  void Start();

  // The office process id while one runs, else -1 (tests end it to see how a run fails).
  pid_t pid() const;

  struct Connection;  // the process, its watchdog and the bridge (office_connection.h)

 private:
  friend class OfficeSpreadsheet;
  std::unique_ptr<Connection> connection_;
};

}  // namespace vatrix

#endif  // VATRIX_WORKBOOK_OFFICE_H_
