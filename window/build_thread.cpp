#include "window/build_thread.h"

#include <QEventLoop>

#include "hostdata/host_error.h"
#include "workbook/office_spreadsheet.h"

namespace vatrix {

BuildThread::BuildThread()
    : worker_(std::make_unique<QObject>()), office_(std::make_unique<Office>()) {
  thread_.setObjectName(QStringLiteral("build"));
  worker_->moveToThread(&thread_);
  thread_.start();
}

BuildThread::~BuildThread() {
  // The office belongs to the thread that started it: end it there.
  QMetaObject::invokeMethod(
      worker_.get(), [this] { office_.reset(); }, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
}

void BuildThread::StartOffice() {
  QMetaObject::invokeMethod(
      worker_.get(),
      [this] {
        try {
          office_->Start();
        } catch (const HostError&) {
          // The next run starts it again and reports why it cannot.
        }
      },
      Qt::QueuedConnection);
}

SpreadsheetFactory BuildThread::Spreadsheets() {
  Office& office = *office_;
  return [&office] { return std::make_unique<OfficeSpreadsheet>(office); };
}

void BuildThread::Run(const Builder& builder, BuildContext& context) {
  QEventLoop loop;
  std::exception_ptr failure;
  QMetaObject::invokeMethod(
      worker_.get(),
      [&] {
        try {
          builder(context);
        } catch (...) {
          failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
  loop.exec();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace vatrix
