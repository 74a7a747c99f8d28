// The thread the returns are built on, beside the window's: the window keeps repainting while
// a return is built, and the office (the slow part of a run's start) is started on it ahead
// of the first run, kept for the next and ended with the program.
#ifndef VATRIX_WINDOW_BUILD_THREAD_H_
#define VATRIX_WINDOW_BUILD_THREAD_H_

#include <QObject>
#include <QThread>
#include <memory>

#include "returns/build_context.h"
#include "workbook/office.h"

namespace vatrix {

class BuildThread {
 public:
  BuildThread();
  // Ends the office, then the thread.
  ~BuildThread();
  BuildThread(const BuildThread&) = delete;
  BuildThread& operator=(const BuildThread&) = delete;

  // Starts the office in the background unless it runs; a failure is left for the next run
  // to report.
  void StartOffice();
  // The workbooks of the runs, on the thread's office.
  SpreadsheetFactory Spreadsheets();
  // Runs `builder` on the build thread while the calling (window) thread goes on handling its
  // events; returns when it has ended, throwing what it threw.
  void Run(const Builder& builder, BuildContext& context);

 private:
  QThread thread_;
  std::unique_ptr<QObject> worker_;  // lives on thread_
  std::unique_ptr<Office> office_;
};

}  // namespace vatrix

#endif  // VATRIX_WINDOW_BUILD_THREAD_H_
