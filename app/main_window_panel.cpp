// The main window: the return-form buttons, the selection lists and their options.
#include <algorithm>

#include "app/main_window.h"

namespace vatrix {

namespace {

// The second list's caption as the window first shows it; forms that caption the list put it
// back before they set their own.
constexpr char kBatchNo[] = ":: Sales BatchNo ::";

}  // namespace

std::optional<Control> MainWindow::FormButton(std::string_view return_code) {
  const auto& forms = ReturnForms();
  for (size_t i = 0; i < forms.size(); ++i) {
    if (forms[i].code == return_code) return FormButtonAt(i);
  }
  return std::nullopt;
}

const ReturnForm* MainWindow::FormOf(Control button) {
  const int index = static_cast<int>(button) - static_cast<int>(Control::kFirstFormButton);
  if (index < 0 || index >= static_cast<int>(ReturnForms().size())) return nullptr;
  return &ReturnForms()[index];
}

void MainWindow::PressFormButton(Control button) {
  const ReturnForm* form = FormOf(button);
  if (!form) return;
  bold_button_ = button;
  InVisibleAllFrame();
  visible_[Control::kLabel10] = false;
  visible_[Control::kCombo5] = false;
  session_.ReturnCode = form->code;
  if (form->period_name_on_press) SetPeriodName();
  if (form->all_items) Option1_Click();
  FillNecessoryComboData();
  FillMonthComboData();
  eFileName();
  if (form->fills_lists()) RunFormwiseRecordSet();
  CommonFileType();
  ShowFormControls(*form);
  ApplyFormDefaults(*form);
  MoveFocus(Control::kCombo4);
}

void MainWindow::ShowFormControls(const ReturnForm& form) {
  visible_[Control::kFra201A] = true;
  const bool list1 = !form.list1.title.empty();
  visible_[Control::kLabel3] = visible_[Control::kFrame1] = list1;
  if (list1) texts_[Control::kLabel3] = std::string(form.list1.title);
  visible_[Control::kList1] = form.list1_shown;
  visible_[Control::kList2] = false;
  const bool frame2 =
      !form.list2.title.empty() && (!form.list2.title_with_tax_selection || session_.TaxSelection);
  if (!form.list2.title.empty()) texts_[Control::kLabel2] = kBatchNo;
  if (frame2) texts_[Control::kLabel2] = std::string(form.list2.title);
  visible_[Control::kFrame2] = visible_[Control::kLabel2] = frame2;
  visible_[Control::kLblReturnType] = visible_[Control::kFrame3] = form.layout_choice;
  for (Control cst : {Control::kLabel7, Control::kCombo3, Control::kLabel10, Control::kCombo5}) {
    visible_[cst] = form.cst_fields;
  }
  if (form.cst_fields) {
    combos_[Control::kCombo3].index = 4;  // "CATEGORY"
    combos_[Control::kCombo5].index = 1;  // "No"
  }
}

void MainWindow::ApplyFormDefaults(const ReturnForm& form) {
  if (!form.chosen_file_type.empty()) {
    ComboBox& types = combos_[Control::kCombo2];
    const auto chosen = std::find(types.items.begin(), types.items.end(), form.chosen_file_type);
    if (chosen != types.items.end()) types.index = static_cast<int>(chosen - types.items.begin());
  }
  if (form.first_item_selected) {
    Option2_Click();
    SetListSelected(Control::kList1, current1_, true);
  }
}

void MainWindow::FillNecessoryComboData() {
  const ReturnForm* form = FindReturnForm(session_.ReturnCode);
  std::vector<std::string> types = {"Monthly", "Quaterly", "HalfYearly"};
  if (form) types.assign(form->return_types.begin(), form->return_types.end());
  combos_[Control::kCombo4].Fill(std::move(types));
  ChooseItem(Control::kCombo4, 0);
}

void MainWindow::CommonFileType() {
  const ReturnForm* form = FindReturnForm(session_.ReturnCode);
  if (!form) return;
  ComboBox& types = combos_[Control::kCombo2];
  types.Fill({form->file_types.begin(), form->file_types.end()});
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
