// vatrix: the desktop program. The installation picker, then the main window; the office is
// started in the background once the window is up.
//
//   vatrix [FOLDER...]    FOLDER: an installation folder offered first in the picker
#include <QApplication>

#include "app/host_probe.h"
#include "hostdata/huge_page_heap.h"
#include "window/build_thread.h"
#include "window/desktop_platform.h"
#include "window/main_form.h"
#include "window/picker_window.h"
#include "window/qt_ui.h"

int main(int argc, char** argv) {
  vatrix::RestartWithHugePageHeap(argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vatrix"));
  vatrix::QtUi ui;
  std::vector<std::string> candidates(argv + 1, argv + argc);
  for (std::string& found : vatrix::FindHostCandidates(vatrix::ProbeRoots())) {
    candidates.push_back(std::move(found));
  }
  const std::string host = vatrix::PickHostFolder(std::move(candidates), ui);
  if (host.empty()) return 0;

  vatrix::DesktopPlatform platform(QApplication::applicationDirPath().toStdString(), host, ui);
  vatrix::MainWindow logic(host, platform, ui);
  vatrix::BuildThread builds;
  vatrix::MainForm form(logic, ui, builds);
  ui.setParentWidget(&form);
  platform.setParentWidget(&form);
  if (!form.Start()) return 0;
  builds.StartOffice();
  return QApplication::exec();
}
