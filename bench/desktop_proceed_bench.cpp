// Form 201 of the sample company for April, from pressing Proceed in the desktop window
// (offscreen) to the success message, against the whole `vatrix-cli export` of the same return.
// The window starts the office in the background once it is up, so a user's Proceed after
// filling the panel finds it running; the CLI starts it within the command. Each desktop
// measurement is a fresh process: the window opens, the panel is filled, the user takes
// --think-ms before pressing Proceed (first figure), then presses the form button and Proceed
// again (next figure). Prints medians over --runs and the ratio first / CLI.
//
//   desktop_proceed_bench [--sample DIR] [--runs R] [--think-ms MS]

#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/in_child.h"
#include "bench/median.h"
#include "hostdata/huge_page_heap.h"
#include "window/build_thread.h"
#include "window/desktop_platform.h"
#include "window/main_form.h"
#include "window/qt_ui.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kSamTraders2015 = 2;  // the chooser's item of company 7, year 2015-16

// Takes each message box's time instead of showing it; a failure ends the measurement.
class TimingUi : public vatrix::QtUi {
 public:
  Clock::time_point success;
  bool failed = false;

 protected:
  vatrix::MessageAnswer Ask(const vatrix::Message& message) override {
    if (message.text.rfind("Data Exported Successfully", 0) == 0) {
      success = Clock::now();
    } else {
      std::fprintf(stderr, "bench: %s: %s\n", message.title.c_str(), message.text.c_str());
      failed = true;
    }
    return vatrix::MessageAnswer::kOk;
  }
};

class BenchPlatform : public vatrix::DesktopPlatform {
 public:
  using DesktopPlatform::DesktopPlatform;
  std::optional<std::string> ChooseFolder(const std::string&) override { return folder; }
  std::string folder;
};

struct Desktop {
  double first = 0;  // after the user's think time
  double next = 0;   // the following Proceed
};

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

template <typename Widget = QAbstractButton>
Widget* Named(QWidget& form, const char* name) {
  return form.findChild<Widget*>(QString::fromLatin1(name));
}

// Presses Proceed and returns the seconds until the success message; -1 on a failure.
double TimeProceed(QWidget& form, TimingUi& ui) {
  const auto pressed = Clock::now();
  Named(form, "cmd201AProceed")->click();
  return ui.failed ? -1 : Seconds(pressed, ui.success);
}

Desktop MeasureDesktop(const std::string& sample, const std::string& out, int think_ms) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "desktop_proceed_bench";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  TimingUi ui;
  BenchPlatform platform(VATRIX_BINARY_DIR, sample, ui, "vatrix-bench-" + std::to_string(getpid()));
  platform.folder = out;
  vatrix::MainWindow logic(sample, platform, ui);
  Desktop result;
  {
    vatrix::BuildThread builds;
    vatrix::MainForm form(logic, ui, builds);
    if (!form.Start()) std::exit(1);
    builds.StartOffice();
    auto* chooser = Named<QComboBox>(form, "Combo1");
    chooser->setCurrentIndex(kSamTraders2015);
    emit chooser->activated(kSamTraders2015);
    Named(form, "cmd201")->click();
    Named(form, "cmdPath")->click();
    QElapsedTimer thinking;
    thinking.start();
    while (thinking.elapsed() < think_ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
    result.first = TimeProceed(form, ui);
    fs::remove_all(out);
    fs::create_directory(out);
    Named(form, "cmd201")->click();
    result.next = TimeProceed(form, ui);
  }
  if (result.first < 0 || result.next < 0) std::exit(1);
  return result;
}

// The seconds of one `vatrix-cli export` of the same return, as a process.
double MeasureCli(const std::string& sample, const std::string& out) {
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    if (!std::freopen("/dev/null", "w", stdout)) _exit(127);
    execl(VATRIX_CLI, VATRIX_CLI, "export", "--host", sample.c_str(), "--company", "7", "--form",
          "201", "--type", "Monthly", "--period", "04.April", "--out", out.c_str(), nullptr);
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bench: vatrix-cli export failed\n");
    std::exit(1);
  }
  return Seconds(start, Clock::now());
}

std::string FreshFolder() {
  const fs::path folder =
      fs::temp_directory_path() / ("vatrix-bench-" + std::to_string(getpid()) + "-" +
                                   std::to_string(Clock::now().time_since_epoch().count()));
  fs::create_directories(folder);
  return folder.string();
}

}  // namespace

int main(int argc, char** argv) {
  vatrix::RestartWithHugePageHeap(argv);
  std::string sample = std::string(VATRIX_BINARY_DIR) + "/sample";
  int runs = 5;
  int think_ms = 2000;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--sample") == 0) sample = argv[i + 1];
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--think-ms") == 0) think_ms = std::atoi(argv[i + 1]);
  }
  std::vector<double> cli, first, next;
  for (int run = 0; run < runs; ++run) {
    const std::string out = FreshFolder();
    cli.push_back(MeasureCli(sample, out));
    fs::remove_all(out);
    fs::create_directory(out);
    const Desktop desktop =
        vatrix::bench::InChild([&] { return MeasureDesktop(sample, out, think_ms); });
    first.push_back(desktop.first);
    next.push_back(desktop.next);
    fs::remove_all(out);
  }
  const double cli_median = vatrix::bench::Median(cli);
  const double first_median = vatrix::bench::Median(first);
  std::printf("Form 201, sample company 7, April; medians over %d runs\n", runs);
  std::printf("  vatrix-cli export (whole command)          %.3f s\n", cli_median);
  std::printf("  desktop Proceed -> success, first          %.3f s  (after %d ms at the panel)\n",
              first_median, think_ms);
  std::printf("  desktop Proceed -> success, next           %.3f s\n", vatrix::bench::Median(next));
  std::printf("  ratio first / cli                          %.2f\n", first_median / cli_median);
  return 0;
}
