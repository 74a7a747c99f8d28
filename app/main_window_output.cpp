// The main window: the period lists, the output folder, name and type, and Proceed.
#include <filesystem>

#include "app/file_probes.h"
#include "app/folder_dialog.h"
#include "app/main_window.h"
#include "app/output_naming.h"
#include "app/periods.h"
#include "hostdata/text.h"
#include "returns/return_forms.h"

namespace vatrix {

namespace {

// `text` as the inside of a quoted query literal: each apostrophe doubled.
std::string QuotedLiteralText(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

// True when the form's workbook carries the period's name, with the layout chosen.
bool NeedsPeriodName(const std::string& code, bool old_type) {
  const ReturnForm* form = FindReturnForm(code);
  if (!form) return false;
  return form->period_naming == PeriodNaming::kAlways ||
         (form->period_naming == PeriodNaming::kMacroLayoutOnly && !old_type);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Periods.

void MainWindow::getDateString() {
  const auto texts =
      ComputePeriodTexts(Trim(combos_[Control::kCombo4].text()), combos_[Control::kCombo6].text(),
                         session_.YearFrom, session_.YearTo);
  if (!texts) return;
  session_.PeriodRange = texts->PeriodRange;
  session_.PeriodStart = texts->PeriodStart;
  session_.PeriodEnd = texts->PeriodEnd;
  session_.DayBeforePeriod = texts->DayBeforePeriod;
  (texts->monthly ? session_.PeriodMonth : session_.PeriodIndex) =
      static_cast<std::int16_t>(texts->number);
}

void MainWindow::FillMonthComboData() {
  ComboBox& periods = combos_[Control::kCombo6];
  periods.Fill(PeriodItems(Trim(combos_[Control::kCombo4].text())));
  if (!periods.items.empty()) periods.index = 0;
  getDateString();
  eFileName();
}

void MainWindow::SetPeriodName() {
  const auto name =
      PeriodNameFor(Trim(combos_[Control::kCombo4].text()), combos_[Control::kCombo6].text());
  if (name) session_.PeriodName = *name;
}

void MainWindow::Combo4_Click() {
  FillMonthComboData();
  bool cancel = false;
  Combo6_Validate(&cancel);
}

void MainWindow::Combo6_Validate(bool*) {
  eFileName();
  getDateString();
  if (NeedsPeriodName(session_.ReturnCode, values_[Control::kOptOld])) SetPeriodName();
}

// ---------------------------------------------------------------------------------------
// Output folder, name and type.

void MainWindow::eFileName() {
  const auto name = DefaultFileName(session_.ReturnCode, Trim(combos_[Control::kCombo4].text()),
                                    combos_[Control::kCombo6].text());
  if (name) texts_[Control::kTxteFileName] = *name;
}

void MainWindow::cmdPath_Click() {
  // Opening the dialog acts as a click on its start folder, so the folder text is never
  // left empty and the dialog need not be opened again.
  std::string& folder = texts_[Control::kText1];
  const std::string start = FolderDialogStart(folder);
  folder = ChosenFolderText(start);
  if (const auto chosen = platform_.ChooseFolder(start)) folder = ChosenFolderText(*chosen);
}

void MainWindow::Text1_GotFocus() {
  if (texts_[Control::kText1].empty()) cmdPath_Click();
}

void MainWindow::Text1_Validate(bool* cancel) {
  if (*cancel) return;
  std::string& folder = texts_[Control::kText1];
  if (IsRefusedRoot(folder)) {
    ShowMessage(
        "Only C:\\ Drive is Not Valid...\r\nYou have to Create Folder in C:\\ and Then try....",
        MessageIcon::kCritical);
  } else if (Trim(folder).empty()) {
    ShowMessage("Vatrix Path was not blank.....", MessageIcon::kCritical);
  } else {
    // A typed folder may lack the closing separator that the dialog adds; without it the
    // output would be written beside the folder under a longer name.
    folder = TypedFolderText(folder);
    return;
  }
  *cancel = true;
  cmdPath_Click();
}

bool MainWindow::FileAlreadyExists(const std::string& folder, const std::string& name,
                                   const std::string& type) {
  const std::string path = OutputChoice{folder, name, type}.path();
  std::error_code error;
  // A file that cannot be read, or a folder of that name, is there all the same.
  return FileExists(path) || std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

void MainWindow::txteFileName_Validate(bool* cancel) {
  Text1_Validate(cancel);
  if (*cancel) return;
  const std::string& folder = texts_[Control::kText1];
  const std::string& name = texts_[Control::kTxteFileName];
  const std::string type = combos_[Control::kCombo2].text();
  if (Trim(name).empty() || FileAlreadyExists(folder, name, type)) {
    ShowMessage("File Name : " + folder + name + type + " is already exist.....",
                MessageIcon::kCritical);
    session_.FileNameOk = false;
    *cancel = true;
    MoveFocus(Control::kTxteFileName);
    return;
  }
  session_.FileNameOk = true;
}

void MainWindow::Combo2_Validate(bool* cancel) {
  const std::string& folder = texts_[Control::kText1];
  const std::string& name = texts_[Control::kTxteFileName];
  const std::string type = combos_[Control::kCombo2].text();
  if (!FileAlreadyExists(folder, name, type)) return;
  ShowMessage("File Name : " + folder + name + type + " is already exist.....",
              MessageIcon::kCritical);
  *cancel = true;
  MoveFocus(Control::kCombo2);
}

// ---------------------------------------------------------------------------------------
// Proceed.

void MainWindow::cmd201AProceed_Click() {
  if (!proceed_enabled_) return;
  builder_ran_ = false;
  getDateString();
  bool cancel = false;
  Text1_Validate(&cancel);
  session_.FileNameOk = false;
  txteFileName_Validate(&cancel);
  if (!session_.FileNameOk) return;
  const std::string type(Trim(combos_[Control::kCombo2].text()));
  if (type == ".xls") session_.FileFormat = 56;
  if (type == ".csv") session_.FileFormat = 6;
  AddTaxFilter();
  Dispatch();
  visible_[Control::kFra201A] = false;
  if (const auto button = FormButton(session_.ReturnCode)) MoveFocus(*button);
}

void MainWindow::AddTaxFilter() {
  std::string& filter = session_.TaxFilter;
  filter.clear();
  if (!values_[Control::kOption3] || !session_.TaxSelection) return;
  for (size_t i = 0; i < lists_.list2.size(); ++i) {
    if (list_selected(Control::kList2, static_cast<int>(i))) {
      filter += " Stax.Name= '" + QuotedLiteralText(lists_.list2[i].text) + "' OR ";
    }
  }
  if (!filter.empty()) filter.resize(filter.size() - 3);
}

void MainWindow::RegisterBuilder(const std::string& return_code, Builder builder) {
  builders_[return_code] = std::move(builder);
}

void MainWindow::SetSpreadsheetFactory(SpreadsheetFactory factory) {
  spreadsheet_factory_ = std::move(factory);
}

void MainWindow::Dispatch() {
  const ReturnForm* row = FindReturnForm(session_.ReturnCode);
  if (!row) return;
  const std::string form(row->name);
  const auto builder = builders_.find(session_.ReturnCode);
  if (builder == builders_.end() || !builder->second) {
    ShowMessage(form + " is not available in this build.", MessageIcon::kCritical);
    return;
  }
  builder_ran_ = true;
  BuildContext context = MakeBuildContext();
  try {
    builder->second(context);
  } catch (const HostError& error) {
    ReportFailure(form + " - Error", error);
  } catch (const ProgramEnding&) {
    closed_ = true;
    throw;
  } catch (const std::exception& error) {
    ui_.ShowMessage({form + " - Error", error.what(), MessageIcon::kCritical, MessageButtons::kOk});
  }
}

BuildContext MainWindow::MakeBuildContext() {
  PanelChoices panel;
  panel.output_folder = texts_[Control::kText1];
  panel.file_name = texts_[Control::kTxteFileName];
  panel.file_type = combos_[Control::kCombo2].text();
  panel.all_list1 = values_[Control::kOption1];
  panel.all_list2 = values_[Control::kOption4];
  panel.list1_selected = selected1_;
  panel.list2_selected = selected2_;
  panel.old_type = values_[Control::kOptOld];
  panel.bill_amount = values_[Control::kChkAddTax];
  panel.state_field = combos_[Control::kCombo3].text();
  panel.use_stock_date = combos_[Control::kCombo5].text();
  panel.return_type = combos_[Control::kCombo4].text();
  SpreadsheetFactory factory = spreadsheet_factory_;
  if (!factory) {
    factory = []() -> std::unique_ptr<Spreadsheet> {
      throw HostError(kEngineUnavailable, "No spreadsheet engine is set up in this program",
                      "the workbook engine");
    };
  }
  return BuildContext{session_,
                      lists_,
                      ui_,
                      platform_.ProgramFolder(),
                      platform_.MasterFolder(),
                      std::move(panel),
                      [this] { SetPeriodName(); },
                      wait_,
                      workbook_,
                      std::move(factory)};
}

}  // namespace vatrix
