// One office for a command that builds several returns in a row, started on a thread of its
// own while the first tables load. An office ends with the thread that started it, so that
// thread lives as long as the office.
#ifndef VATRIX_APP_BACKGROUND_OFFICE_H_
#define VATRIX_APP_BACKGROUND_OFFICE_H_

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "returns/build_context.h"
#include "workbook/office.h"

namespace vatrix {

class BackgroundOffice {
 public:
  BackgroundOffice() = default;
  // Waits for a start begun here to end, ends the office, then lets the thread end.
  ~BackgroundOffice();
  BackgroundOffice(const BackgroundOffice&) = delete;
  BackgroundOffice& operator=(const BackgroundOffice&) = delete;

  // Starts the office on the thread and returns at once; nothing when a start was begun. A
  // failure is left for the first workbook to report (it tries again).
  void Start();
  // The workbooks on the office; the first waits for a start begun here to end.
  SpreadsheetFactory Spreadsheets();
  // The office, once a start begun here has ended (whether or not it started).
  Office& Started();

 private:
  void WaitForStart();

  std::optional<Office> office_{std::in_place};
  std::mutex mutex_;
  std::condition_variable changed_;
  bool started_ = false;
  bool ending_ = false;
  std::thread thread_;
};

}  // namespace vatrix

#endif  // VATRIX_APP_BACKGROUND_OFFICE_H_
