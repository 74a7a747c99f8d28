// The main window: the return-form buttons, the selection lists and their options.
#include <algorithm>

#include "app/main_window.h"

namespace vatrix {

// What a return-form button sets up. A null title leaves its label and list hidden.
struct MainWindow::FormSetup {
  enum class TaxTypes { kHidden, kWithTaxSelection, kShown };

  Control button;
  const char* code;
  const char* form_name;     // as messages name the form
  bool all_items;            // "All" chosen for List1
  bool lists;                // the selection lists are refilled
  const char* list1_title;   // Label3 with Frame1
  bool list1;                // List1 shown at once
  TaxTypes frame2;           // when Frame2 and Label2 are shown
  const char* list2_title;   // Label2
  bool workbook_kind;        // lblReturnType with Frame3
  bool cst_fields;           // state field and stock date
  bool first_item_selected;  // "Selected" with the first item of List1
  bool xls_first;            // ".xls" chosen although ".csv" is listed first
};

namespace {

constexpr char kSales[] = ":: Select Sales A/c ::";
constexpr char kPurchase[] = ":: Select Purchase A/c ::";
constexpr char kTaxType[] = ":: Select Tax Type ::";
constexpr char kBatchNo[] = ":: Sales BatchNo ::";

}  // namespace

const MainWindow::FormSetup& MainWindow::SetupFor(Control button) {
  using TaxTypes = FormSetup::TaxTypes;
  static const FormSetup kForms[] = {
      {Control::kCmd201, "201", "Form 201", false, false, nullptr, false, TaxTypes::kHidden,
       nullptr, false, false, false, false},
      {Control::kCmd201A, "201A", "Form 201A", true, true, kSales, true,
       TaxTypes::kWithTaxSelection, kTaxType, true, false, true, false},
      {Control::kCmd201B, "201B", "Form 201B", true, true, kPurchase, true,
       TaxTypes::kWithTaxSelection, kTaxType, true, false, true, false},
      {Control::kCmd201C, "201C", "Form 201C", true, true, ":: Select Product Name ::", false,
       TaxTypes::kShown, kBatchNo, false, false, false, false},
      {Control::kCmd202, "202", "Form 202", false, false, nullptr, false, TaxTypes::kHidden,
       nullptr, false, false, false, false},
      {Control::kCmd202A, "202A", "Form 202A", true, true, kPurchase, true,
       TaxTypes::kWithTaxSelection, kTaxType, false, false, true, true},
      {Control::kCmd202B, "202B", "Form 202B", true, true, kSales, true, TaxTypes::kHidden, nullptr,
       false, false, true, true},
      {Control::kCmd205, "205", "Form 205", false, false, nullptr, false, TaxTypes::kHidden,
       nullptr, false, false, false, false},
      {Control::kCmd3B, "3B", "Form 3B", true, false, nullptr, false, TaxTypes::kHidden, nullptr,
       false, false, false, false},
      {Control::kCmd3BSales, "3BSALES", "Form 3B Sales", true, true, kTaxType, false,
       TaxTypes::kHidden, nullptr, true, true, false, false},
      {Control::kCmd3BPurchase, "3BPURCHASE", "Form 3B Purchase", true, true, kTaxType, false,
       TaxTypes::kHidden, nullptr, true, true, false, false},
  };
  for (const FormSetup& setup : kForms) {
    if (setup.button == button) return setup;
  }
  return kForms[0];
}

const MainWindow::FormSetup* MainWindow::SetupForCode(const std::string& return_code) {
  for (int b = static_cast<int>(Control::kCmd201); b <= static_cast<int>(Control::kCmd3BPurchase);
       ++b) {
    const FormSetup& setup = SetupFor(static_cast<Control>(b));
    if (setup.code == return_code) return &setup;
  }
  return nullptr;
}

std::optional<Control> MainWindow::FormButton(const std::string& return_code) {
  const FormSetup* setup = SetupForCode(return_code);
  if (!setup) return std::nullopt;
  return setup->button;
}

std::optional<std::string> MainWindow::FormName(const std::string& return_code) {
  const FormSetup* setup = SetupForCode(return_code);
  if (!setup) return std::nullopt;
  return setup->form_name;
}

void MainWindow::cmd201_Click() { PressFormButton(Control::kCmd201); }
void MainWindow::cmd201A_Click() { PressFormButton(Control::kCmd201A); }
void MainWindow::cmd201B_Click() { PressFormButton(Control::kCmd201B); }
void MainWindow::cmd201C_Click() { PressFormButton(Control::kCmd201C); }
void MainWindow::cmd202_Click() { PressFormButton(Control::kCmd202); }
void MainWindow::cmd202A_Click() { PressFormButton(Control::kCmd202A); }
void MainWindow::cmd202B_Click() { PressFormButton(Control::kCmd202B); }
void MainWindow::cmd205_Click() { PressFormButton(Control::kCmd205); }
void MainWindow::cmd3B_Click() { PressFormButton(Control::kCmd3B); }
void MainWindow::cmd3BSales_Click() { PressFormButton(Control::kCmd3BSales); }
void MainWindow::cmd3BPurchase_Click() { PressFormButton(Control::kCmd3BPurchase); }

void MainWindow::PressFormButton(Control button) {
  const FormSetup& setup = SetupFor(button);
  bold_button_ = setup.button;
  InVisibleAllFrame();
  visible_[Control::kLabel10] = false;
  visible_[Control::kCombo5] = false;
  session_.ReturnCode = setup.code;
  if (setup.xls_first) SetPeriodName();
  if (setup.all_items) Option1_Click();
  FillNecessoryComboData();
  FillMonthComboData();
  eFileName();
  if (setup.lists) RunFormwiseRecordSet();
  CommonFileType();
  ShowFormControls(setup);
  ApplyFormDefaults(setup);
  MoveFocus(Control::kCombo4);
}

void MainWindow::ShowFormControls(const FormSetup& setup) {
  using TaxTypes = FormSetup::TaxTypes;
  visible_[Control::kFra201A] = true;
  visible_[Control::kLabel3] = visible_[Control::kFrame1] = setup.list1_title != nullptr;
  if (setup.list1_title) texts_[Control::kLabel3] = setup.list1_title;
  visible_[Control::kList1] = setup.list1;
  visible_[Control::kList2] = false;
  const bool frame2 = setup.frame2 == TaxTypes::kShown ||
                      (setup.frame2 == TaxTypes::kWithTaxSelection && session_.TaxSelection);
  if (setup.list2_title) texts_[Control::kLabel2] = kBatchNo;
  if (frame2) texts_[Control::kLabel2] = setup.list2_title;
  visible_[Control::kFrame2] = visible_[Control::kLabel2] = frame2;
  visible_[Control::kLblReturnType] = visible_[Control::kFrame3] = setup.workbook_kind;
  for (Control cst : {Control::kLabel7, Control::kCombo3, Control::kLabel10, Control::kCombo5}) {
    visible_[cst] = setup.cst_fields;
  }
  if (setup.cst_fields) {
    combos_[Control::kCombo3].index = 4;  // "CATEGORY"
    combos_[Control::kCombo5].index = 1;  // "No"
  }
}

void MainWindow::ApplyFormDefaults(const FormSetup& setup) {
  if (setup.xls_first) {
    ComboBox& types = combos_[Control::kCombo2];
    const auto xls = std::find(types.items.begin(), types.items.end(), ".xls");
    if (xls != types.items.end()) types.index = static_cast<int>(xls - types.items.begin());
  }
  if (setup.first_item_selected) {
    Option2_Click();
    SetListSelected(Control::kList1, current1_, true);
  }
}

void MainWindow::FillNecessoryComboData() {
  const std::string& code = session_.ReturnCode;
  std::vector<std::string> types = {"Monthly", "Quaterly", "HalfYearly"};
  if (code == "205") {
    types = {"Annually"};
  } else if (code == "202" || code == "202A" || code == "202B" || code == "3B") {
    types = {"Monthly", "Quaterly", "Annually"};
  }
  combos_[Control::kCombo4].Fill(std::move(types));
  ChooseItem(Control::kCombo4, 0);
}

void MainWindow::CommonFileType() {
  const std::string& code = session_.ReturnCode;
  ComboBox& types = combos_[Control::kCombo2];
  if (code == "201" || code == "205" || code == "202" || code == "3B") {
    types.Fill({".xls"});
  } else if (SetupForCode(code)) {
    types.Fill({".csv", ".xls"});
  } else {
    return;
  }
  types.index = 0;
}

void MainWindow::InVisibleAllFrame() {
  for (Control frame : {Control::kFra201A, Control::kFrame1, Control::kFrame2, Control::kFrame3}) {
    visible_[frame] = false;
  }
  wait_.Hide();
}

bool MainWindow::Checked_Yes_No(Control list) const {
  const auto& flags = list == Control::kList1 ? selected1_ : selected2_;
  return std::find(flags.begin(), flags.end(), true) != flags.end();
}

void MainWindow::Choose(Control option) {
  static constexpr Control kGroups[][2] = {{Control::kOption1, Control::kOption2},
                                           {Control::kOption3, Control::kOption4},
                                           {Control::kOptOld, Control::kOptNew}};
  for (const auto& group : kGroups) {
    if (group[0] == option || group[1] == option) {
      values_[group[0]] = group[0] == option;
      values_[group[1]] = group[1] == option;
    }
  }
}

void MainWindow::Option1_Click() {
  Choose(Control::kOption1);
  // "All" takes every account even when List1 is not the list on show (List2 may cover it),
  // so the codes are rebuilt whether or not List1 had the focus to lose.
  List1_LostFocus();
  visible_[Control::kList1] = false;
}

void MainWindow::Option2_Click() {
  Choose(Control::kOption2);
  if (!lists_.list1.empty()) {
    visible_[Control::kList2] = false;
    visible_[Control::kList1] = true;
    MoveFocus(Control::kList1);
    return;
  }
  ShowMessage("No Record For Selection....", MessageIcon::kCritical);
  Option1_Click();
  MoveFocus(Control::kOption1);
}

void MainWindow::Option3_Click() {
  Choose(Control::kOption3);
  if (!lists_.list2.empty()) {
    visible_[Control::kList1] = false;
    visible_[Control::kList2] = true;
    MoveFocus(Control::kList2);
    return;
  }
  ShowMessage("No Record For Selection....", MessageIcon::kCritical);
  Option4_Click();
  MoveFocus(Control::kOption4);
}

void MainWindow::Option4_Click() {
  Choose(Control::kOption4);
  visible_[Control::kList1] = false;
  visible_[Control::kList2] = false;
}

void MainWindow::optOld_Click() { Choose(Control::kOptOld); }
void MainWindow::optNew_Click() { Choose(Control::kOptNew); }

void MainWindow::chkAddTax_Click() {
  bool& ticked = values_[Control::kChkAddTax];
  ticked = !ticked;
  if (!ticked) return;
  ShowMessage(
      "We are not responsible For Wrong Report, if you are selecting Bill Amount.\r\r\n"
      "Please check the output report after Exporting.",
      MessageIcon::kNone);
}

void MainWindow::List1_Validate(bool* cancel) {
  if (Checked_Yes_No(Control::kList1)) return;
  ShowMessage("Select atleast one Account.....", MessageIcon::kCritical);
  *cancel = true;
}

void MainWindow::List2_Validate(bool* cancel) {
  if (Checked_Yes_No(Control::kList2)) return;
  ShowMessage("Select atleast one Account.....", MessageIcon::kCritical);
  *cancel = true;
}

void MainWindow::List1_LostFocus() {
  const bool all = !values_[Control::kOption2];
  std::string codes;
  for (size_t i = 0; i < lists_.list1.size(); ++i) {
    if (all || list_selected(Control::kList1, static_cast<int>(i))) {
      codes += " '" + std::to_string(lists_.list1[i].code) + "' ,";
    }
  }
  if (!codes.empty()) codes.pop_back();
  session_.AccountCodes = codes;
}

void MainWindow::List_KeyEnter(Control list) {
  const int current = list_current(list);
  std::vector<bool>& flags = selection(list);
  if (current >= 0 && current < static_cast<int>(flags.size())) flags[current] = !flags[current];
}

}  // namespace vatrix
