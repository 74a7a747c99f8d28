#include "app/background_office.h"

#include <exception>

#include "workbook/office_spreadsheet.h"

namespace vatrix {

BackgroundOffice::~BackgroundOffice() {
  if (!thread_.joinable()) return;
  WaitForStart();  // the office must not end while it is being started
  office_.reset();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void BackgroundOffice::Start() {
  if (thread_.joinable()) return;
  thread_ = std::thread([this] {
    try {
      office_->Start();
    } catch (const std::exception&) {
      // the first workbook starts it again and reports why it cannot
    }
    std::unique_lock<std::mutex> lock(mutex_);
    started_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return ending_; });
  });
}

SpreadsheetFactory BackgroundOffice::Spreadsheets() {
  return [this] { return std::make_unique<OfficeSpreadsheet>(Started()); };
}

Office& BackgroundOffice::Started() {
  WaitForStart();
  return *office_;
}

void BackgroundOffice::WaitForStart() {
  if (!thread_.joinable()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return started_; });
}

}  // namespace vatrix
