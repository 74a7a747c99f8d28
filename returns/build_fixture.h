// Test and benchmark support: everything a builder is handed, owned by the caller, with a
// front end that records messages and the wait panel.
#ifndef VATRIX_RETURNS_BUILD_FIXTURE_H_
#define VATRIX_RETURNS_BUILD_FIXTURE_H_

#include <functional>
#include <string>
#include <vector>

#include "hostdata/recording_ui.h"
#include "returns/build_context.h"

namespace vatrix::testing {

class PanelRecordingUi : public RecordingUi {
 public:
  void ShowWaitPanel(const WaitPanelState& state) override { panels.push_back(state); }
  std::vector<WaitPanelState> panels;
};

// A builder's surroundings: the sample company's financial year 2015-16 with April chosen,
// ".xls" output into "/out/" and the templates of the build's Master folder. Tests change what
// they need before calling Context().
struct BuildFixture {
  BuildFixture();
  BuildFixture(const BuildFixture&) = delete;
  BuildFixture& operator=(const BuildFixture&) = delete;

  // The context over the members; `spreadsheets` makes each run's workbook.
  BuildContext Context();

  Session session;
  SelectionLists lists;
  PanelRecordingUi ui;
  PanelChoices panel;
  WaitPanel wait{ui};
  TemplateSession workbook;
  std::string master_folder;
  std::function<void()> set_period_name = [] {};
  SpreadsheetFactory spreadsheets;
};

}  // namespace vatrix::testing

#endif  // VATRIX_RETURNS_BUILD_FIXTURE_H_
