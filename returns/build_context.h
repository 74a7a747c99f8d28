// What a return builder is handed when Proceed starts it: the session, the selection lists,
// the front end, where the templates lie, the panel choices it reads and the wait panel.
#ifndef VATRIX_RETURNS_BUILD_CONTEXT_H_
#define VATRIX_RETURNS_BUILD_CONTEXT_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hostdata/record_set.h"
#include "hostdata/selection_lists.h"
#include "hostdata/user_interface.h"
#include "returns/session.h"
#include "returns/wait_panel.h"
#include "workbook/spreadsheet.h"
#include "workbook/template_session.h"

namespace vatrix {

// The panel's controls as the builders read them.
struct PanelChoices {
  std::string output_folder;         // Text1, ends in the path separator
  std::string file_name;             // txteFileName
  std::string file_type;             // Combo2: ".xls" or ".csv"
  bool all_list1 = true;             // Option1 ("All") rather than Option2 ("Selected")
  bool all_list2 = true;             // Option4 ("All") rather than Option3 ("Selected")
  std::vector<bool> list1_selected;  // per item of SelectionLists::list1
  std::vector<bool> list2_selected;  // per item of SelectionLists::list2
  bool old_type = true;              // optOld ("Old Type") rather than optNew ("Macro Based")
  bool bill_amount = false;          // chkAddTax
  std::string state_field;           // Combo3: "ADD3", ..., "CATEGORY", "STATE"
  std::string use_stock_date;        // Combo5: "Yes" or "No"
  std::string return_type;           // Combo4: "Monthly", "Quaterly", "HalfYearly", "Annually"

  // The output boxes as CloseExcelApplication reads them.
  OutputChoice output() const { return {output_folder, file_name, file_type}; }
};

// Makes the workbook engine of one builder run: the office suite in the program, an in-memory
// double in tests. May throw HostError kEngineUnavailable.
using SpreadsheetFactory = std::function<std::unique_ptr<Spreadsheet>()>;

struct BuildContext {
  Session& session;
  SelectionLists& lists;
  UserInterface& ui;
  std::string program_folder;
  std::string master_folder;  // the department's templates
  PanelChoices panel;
  std::function<void()> SetPeriodName;  // recomputes session.PeriodName from the period lists
  WaitPanel& wait;
  TemplateSession& workbook;  // the template and sheet fields the window keeps
  SpreadsheetFactory NewSpreadsheet;
};

// A return builder: runs one return from start to end and reports its own result.
using Builder = std::function<void(BuildContext&)>;

// Closes and releases a list's record set and puts the wait panel to rest: current-record
// label reset, panel hidden, normal pointer.
void DatabaseClosed(BuildContext& context, std::optional<RecordSet>* records);

}  // namespace vatrix

#endif  // VATRIX_RETURNS_BUILD_CONTEXT_H_
