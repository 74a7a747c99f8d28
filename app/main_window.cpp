// The main window: state, focus, start-up and the company chooser.
#include "app/main_window.h"

#include "app/company_catalogue.h"
#include "app/settings_file.h"
#include "hostdata/code_page.h"
#include "hostdata/failure_report.h"
#include "hostdata/file_names.h"
#include "returns/special_characters.h"

namespace vatrix {

namespace {

constexpr int kKeyF1 = 112;

// The control that holds `control`, if any.
std::optional<Control> ContainerOf(Control control) {
  switch (control) {
    case Control::kOption1:
    case Control::kOption2:
      return Control::kFrame1;
    case Control::kOption3:
    case Control::kOption4:
      return Control::kFrame2;
    case Control::kOptOld:
    case Control::kOptNew:
      return Control::kFrame3;
    default:
      break;
  }
  if (control > Control::kFra201A && control < Control::kFraWait) return Control::kFra201A;
  return std::nullopt;
}

}  // namespace

Control FormButtonAt(size_t index) {
  return static_cast<Control>(static_cast<int>(Control::kFirstFormButton) +
                              static_cast<int>(index));
}

MainWindow::MainWindow(std::string host_folder, ShellPlatform& platform, UserInterface& ui)
    : platform_(platform), ui_(ui), wait_(ui) {
  session_.AppTitle = kAppTitle;
  session_.HostFolder = std::move(host_folder);
  for (Control combo : {Control::kCombo1, Control::kCombo2, Control::kCombo3, Control::kCombo4,
                        Control::kCombo5, Control::kCombo6}) {
    combos_[combo] = ComboBox();
  }
  combos_[Control::kCombo3].items = {"ADD3", "ITNO", "LICNO", "EMAIL", "CATEGORY", "STATE"};
  combos_[Control::kCombo5].items = {"Yes", "No"};
  texts_ = {{Control::kText1, ""},
            {Control::kTxteFileName, ""},
            {Control::kLabel2, ":: Sales BatchNo ::"},
            {Control::kLabel3, ":: Select Sales A/c ::"}};
  values_ = {{Control::kOption1, true},   {Control::kOption2, false}, {Control::kOption3, false},
             {Control::kOption4, true},   {Control::kOptOld, true},   {Control::kOptNew, false},
             {Control::kChkAddTax, false}};
  for (int c = 0; c < static_cast<int>(Control::kFraWait); ++c) {
    visible_[static_cast<Control>(c)] = true;
  }
  // Button places beyond the form table hold no button.
  for (size_t unused = ReturnForms().size(); unused < kMaxReturnForms; ++unused) {
    visible_[FormButtonAt(unused)] = false;
  }
  for (const ReturnForm& form : ReturnForms()) {
    if (form.builder) builders_[std::string(form.code)] = form.builder;
  }
  for (Control hidden : {Control::kFra201A, Control::kLabel7, Control::kCombo3, Control::kLabel10,
                         Control::kCombo5}) {
    visible_[hidden] = false;
  }
}

bool MainWindow::visible(Control control) const {
  if (control == Control::kFraWait) return wait_.state().visible;
  return visible_.at(control);
}

bool MainWindow::shown(Control control) const {
  const auto container = ContainerOf(control);
  return visible(control) && (!container || shown(*container));
}

bool MainWindow::list_selected(Control list, int index) const {
  const auto& flags = list == Control::kList1 ? selected1_ : selected2_;
  return index >= 0 && index < static_cast<int>(flags.size()) && flags[index];
}

std::vector<bool>& MainWindow::selection(Control list) {
  return list == Control::kList1 ? selected1_ : selected2_;
}

void MainWindow::ShowMessage(const std::string& text, MessageIcon icon) {
  ui_.ShowMessage({session_.AppTitle, text, icon, MessageButtons::kOk});
}

void MainWindow::ReportFailure(const std::string& title, const HostError& error) {
  try {
    ReportDatabaseFailure(ui_, session_.AppTitle, title, error);
  } catch (const ProgramEnding&) {
    closed_ = true;
    throw;
  }
}

// ---------------------------------------------------------------------------------------
// What a user does to the controls.

void MainWindow::ChooseItem(Control combo, int index) {
  ComboBox& box = combos_.at(combo);
  if (index < 0 || index >= static_cast<int>(box.items.size())) return;
  box.index = index;
  if (combo == Control::kCombo4) Combo4_Click();
}

void MainWindow::SetText(Control box, std::string text) { texts_.at(box) = std::move(text); }

void MainWindow::SetListSelected(Control list, int index, bool selected) {
  std::vector<bool>& flags = selection(list);
  if (index >= 0 && index < static_cast<int>(flags.size())) flags[index] = selected;
}

void MainWindow::SetListCurrent(Control list, int index) {
  if (index < 0 || index >= static_cast<int>(selection(list).size())) return;
  (list == Control::kList1 ? current1_ : current2_) = index;
}

bool MainWindow::MoveFocus(Control to) {
  if (to == focus_) return true;
  bool cancel = false;
  ValidateFocused(focus_, &cancel);
  if (cancel) return false;
  const Control from = focus_;
  focus_ = to;
  LoseFocus(from);
  GetFocus(to);
  return true;
}

void MainWindow::keyEnter(Control from) {
  constexpr int kCount = static_cast<int>(Control::kFraWait);
  for (int step = 1; step < kCount; ++step) {
    const auto next = static_cast<Control>((static_cast<int>(from) + step) % kCount);
    const bool frame = next == Control::kFra201A || next == Control::kFrame1 ||
                       next == Control::kFrame2 || next == Control::kFrame3;
    const bool label = next == Control::kLabel2 || next == Control::kLabel3 ||
                       next == Control::kLabel7 || next == Control::kLabel10 ||
                       next == Control::kLblReturnType;
    if (!frame && !label && shown(next)) {
      MoveFocus(next);
      return;
    }
  }
}

void MainWindow::ValidateFocused(Control control, bool* cancel) {
  switch (control) {
    case Control::kCombo6:
      return Combo6_Validate(cancel);
    case Control::kText1:
      return Text1_Validate(cancel);
    case Control::kTxteFileName:
      return txteFileName_Validate(cancel);
    case Control::kCombo2:
      return Combo2_Validate(cancel);
    case Control::kList1:
      return List1_Validate(cancel);
    case Control::kList2:
      return List2_Validate(cancel);
    default:
      return;
  }
}

void MainWindow::LoseFocus(Control control) {
  if (control == Control::kCombo1) Combo1_LostFocus();
  if (control == Control::kList1) List1_LostFocus();
}

void MainWindow::GetFocus(Control control) {
  if (control == Control::kCombo1) Combo1_GotFocus();
  if (control == Control::kText1) Text1_GotFocus();
}

// ---------------------------------------------------------------------------------------
// Start-up.

void MainWindow::Form_Load() {
  session_.AppTitle = kAppTitle;
  session_.AlreadyRunning = false;
  session_.StartFailed = false;
  if (platform_.PreviousInstanceRunning()) {
    ShowMessage("Software is already running........", MessageIcon::kNone);
    session_.AlreadyRunning = true;
    return;
  }
  session_.ReturnCode = "201A";
  session_.SpecialChars = SpecialCharsTable();
  // Dates are written and read by the program itself as dd/MM/yyyy, so the system's date
  // format is neither consulted nor changed.
  try {
    LoadCatalogue();
  } catch (const HostError& error) {
    if (error.number() == kTableUnavailable) {
      ShowMessage(
          "Company.DBF File is Open / Unavailable / Used by another User.....\r\n\r\n"
          "SORRY...We can't proceed further...",
          MessageIcon::kCritical);
      cmdExit_Click();
      return;
    }
    ui_.ShowMessage(
        {"Form Load Error",
         std::to_string(error.number()) + " " + error.description() + " " + error.source(),
         MessageIcon::kCritical, MessageButtons::kOk});
  }
}

void MainWindow::LoadCatalogue() {
  // "CodePage" under [Settings]: the code page of tables whose headers name none, unless the
  // command line named one already.
  const std::string code_page = GetINI(platform_.SettingsFile(), "Settings", "CodePage");
  if (!code_page.empty() && UnnamedCodePage().empty()) {
    try {
      SetUnnamedCodePage(code_page);
    } catch (const HostError&) {
      ShowMessage("The settings file " + platform_.SettingsFile() + " names code page " +
                      code_page + " under CodePage, which is not known",
                  MessageIcon::kCritical);
      session_.StartFailed = true;
      return;
    }
  }
  if (!FindFileIgnoringCase(session_.HostFolder, "Company.dbf")) {
    ShowMessage("Company.Dbf File Not Found in " + session_.HostFolder +
                    "\r\n\r\nSORRY...We can't proceed further...",
                MessageIcon::kCritical);
    session_.StartFailed = true;
    return;
  }
  std::vector<std::string> left_out;
  std::vector<std::string> companies = CatalogueChooserItems(session_.HostFolder, &left_out);
  for (const std::string& row : left_out) {
    ShowMessage("A company of Company.dbf cannot be read and is not listed: " + row,
                MessageIcon::kInformation);
  }
  if (companies.empty()) {
    ShowMessage(
        "There is no Company Install in Ordova.....\r\n\r\nSORRY...We can't proceed further...",
        MessageIcon::kCritical);
    session_.StartFailed = true;
    return;
  }
  ComboBox& chooser = combos_.at(Control::kCombo1);
  chooser.Fill(std::move(companies));
  chooser.index = 0;
  session_.TaxSelection = !GetINI(platform_.SettingsFile(), "Settings", "Tax Selection").empty();
  focus_ = Control::kCombo1;
  Combo1_GotFocus();
}

void MainWindow::Form_Activate() {
  if (session_.AlreadyRunning || session_.StartFailed) cmdExit_Click();
}

void MainWindow::cmdExit_Click() {
  closed_ = true;
  ui_.EndProgram();
}

// ---------------------------------------------------------------------------------------
// The company chooser.

void MainWindow::Combo1_GotFocus() { proceed_enabled_ = false; }

void MainWindow::Combo1_LostFocus() {
  if (session_.SearchOpen) return;
  proceed_enabled_ = true;
  AssignValueToGlobalVarialble();
  RunFormwiseRecordSet();
}

void MainWindow::Combo1_KeyDown(int key_code) {
  if (key_code != kKeyF1) return;
  session_.SearchOpen = true;
  const std::optional<int> position = platform_.SearchCompany();
  session_.SearchOpen = false;
  ComboBox& chooser = combos_.at(Control::kCombo1);
  if (position && *position >= 0 && *position < static_cast<int>(chooser.items.size())) {
    chooser.index = *position;
  }
}

void MainWindow::AssignValueToGlobalVarialble() {
  const long long code = ChooserItemCode(combos_.at(Control::kCombo1).text());
  session_.CompanyCode = CompanyCodeText(code);
  CompanyRecord company{session_.CompanyStNo, session_.CompanyCstNo, session_.YearFrom,
                        session_.YearTo};
  try {
    ReadCompany(session_.HostFolder, code, &company);
  } catch (const HostError& error) {
    ReportFailure("Formwise Recordset - Error", error);
  }
  session_.CompanyCstNo = company.CompanyCstNo;
  session_.CompanyStNo = company.CompanyStNo;
  session_.YearFrom = company.YearFrom;
  session_.YearTo = company.YearTo;
}

void MainWindow::RunFormwiseRecordSet() {
  const ReturnForm* form = FindReturnForm(session_.ReturnCode);
  if (!form) return;
  try {
    FormwiseRecordSet(
        FormwiseChoiceOf(*form, session_.HostFolder, session_.CompanyCode, session_.TaxSelection),
        &lists_, ui_);
  } catch (const ProgramEnding&) {
    closed_ = true;
    throw;
  }
  // A refilled list starts with nothing selected and its first item current.
  if (lists_.list1_records || lists_.list1.size() != selected1_.size()) {
    selected1_.assign(lists_.list1.size(), false);
    current1_ = lists_.list1.empty() ? -1 : 0;
    // The codes of the accounts taken must come from the list now shown: after a change of
    // company the old codes would pick another company's accounts.
    List1_LostFocus();
  }
  if (lists_.list2_records || lists_.list2.size() != selected2_.size()) {
    selected2_.assign(lists_.list2.size(), false);
    current2_ = lists_.list2.empty() ? -1 : 0;
  }
}

}  // namespace vatrix
