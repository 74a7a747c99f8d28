// The main window's logic without a window. Every control the user works with is held as
// data (items, choices, texts, visibility, the bold button, the focus) and every event is a
// method that changes that state and shows its messages through the UserInterface. A desktop
// window binds its widgets to this state; the command line drives it as a user would.
//
// Methods may throw ProgramEnding after a message that ends the program (a table that cannot
// be opened); the front end catches it.
#ifndef VATRIX_APP_MAIN_WINDOW_H_
#define VATRIX_APP_MAIN_WINDOW_H_

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/shell_platform.h"
#include "hostdata/host_error.h"
#include "hostdata/selection_lists.h"
#include "hostdata/user_interface.h"
#include "returns/build_context.h"
#include "returns/return_forms.h"
#include "returns/session.h"

namespace vatrix {

// Room for the return-form buttons, one per row of ReturnForms().
inline constexpr int kMaxReturnForms = 16;

enum class Control {
  // Company chooser strip.
  kCombo1,
  kCmdExit,
  // The return-form buttons, in the order of ReturnForms(); see FormButtonAt.
  kFirstFormButton,
  // The option panel fra201A and what it holds.
  kFra201A = kFirstFormButton + kMaxReturnForms,
  kCombo4,  // return type
  kCombo6,  // period
  kLabel3,  // title of List1
  kFrame1,  // Option1 "All", Option2 "Selected" for List1
  kOption1,
  kOption2,
  kList1,
  kFrame2,  // Option3 "Selected", Option4 "All" for List2
  kOption3,
  kOption4,
  kLabel2,  // title of List2
  kList2,
  kLblReturnType,
  kFrame3,  // optOld "Old Type", optNew "Macro Based"
  kOptOld,
  kOptNew,
  kChkAddTax,
  kLabel7,  // "Select State Field :"
  kCombo3,
  kLabel10,  // "Use Stock Date : "
  kCombo5,
  kText1,  // output folder
  kCmdPath,
  kTxteFileName,
  kCombo2,  // file type
  kCmd201AProceed,
  // The wait panel.
  kFraWait,
};

// The button of the form at `index` of ReturnForms().
Control FormButtonAt(size_t index);

// A drop-down list: its items and the chosen one.
struct ComboBox {
  std::vector<std::string> items;
  int index = -1;

  // The chosen item, "" when none.
  std::string text() const { return index >= 0 ? items[index] : ""; }
  // Replaces the items; none is chosen.
  void Fill(std::vector<std::string> new_items) {
    items = std::move(new_items);
    index = -1;
  }
};

class MainWindow {
 public:
  // `host_folder` is the installation the picker chose.
  MainWindow(std::string host_folder, ShellPlatform& platform, UserInterface& ui);

  // Start-up and the company chooser.
  void Form_Load();
  void Form_Activate();  // closes the window after a failed start
  void cmdExit_Click();
  void Combo1_GotFocus();
  void Combo1_LostFocus();
  void Combo1_KeyDown(int key_code);  // F1 (112) opens the company search
  void AssignValueToGlobalVarialble();

  // Return-form buttons and the panel.
  // Presses the return-form button `button` (a button of FormButtonAt).
  void PressFormButton(Control button);
  void FillNecessoryComboData();
  void CommonFileType();
  void InVisibleAllFrame();
  // True when at least one item of `list` (kList1 or kList2) is selected.
  bool Checked_Yes_No(Control list) const;
  void Option1_Click();
  void Option2_Click();
  void Option3_Click();
  void Option4_Click();
  void optOld_Click();
  void optNew_Click();
  void chkAddTax_Click();  // ticks or unticks
  void List1_Validate(bool* cancel);
  void List2_Validate(bool* cancel);
  // Rebuilds AccountCodes from every item of List1 under "All", else from its selected items.
  void List1_LostFocus();
  // Enter in a list: toggles the selection of its current item.
  void List_KeyEnter(Control list);

  // Periods.
  void getDateString();
  void FillMonthComboData();
  void SetPeriodName();
  void Combo4_Click();
  void Combo6_Validate(bool* cancel);

  // Output and Proceed.
  void eFileName();
  void cmdPath_Click();
  void Text1_GotFocus();
  void Text1_Validate(bool* cancel);
  void txteFileName_Validate(bool* cancel);
  void Combo2_Validate(bool* cancel);
  void cmd201AProceed_Click();
  // The return-form button of `return_code` ("201", "3BSALES"); nullopt for an unknown code.
  static std::optional<Control> FormButton(std::string_view return_code);
  // The form of a return-form button; nullptr for any other control.
  static const ReturnForm* FormOf(Control button);
  // Makes `builder` the one Proceed calls for `return_code` in place of the form table's; an
  // empty one makes the form unavailable ("... is not available in this build.").
  void RegisterBuilder(const std::string& return_code, Builder builder);
  // Makes `factory` the maker of each builder run's workbook engine. Without one, a builder
  // that opens a workbook fails with kEngineUnavailable.
  void SetSpreadsheetFactory(SpreadsheetFactory factory);

  // What a user does to the controls.
  // Chooses item `index` of a drop-down list; choosing in Combo4 runs Combo4_Click.
  void ChooseItem(Control combo, int index);
  void SetText(Control box, std::string text);  // kText1 or kTxteFileName
  void SetListSelected(Control list, int index, bool selected);
  void SetListCurrent(Control list, int index);
  // Moves the focus as the window does: the control left validates and may keep the focus,
  // then loses it; the control entered gets it. False when the focus stayed.
  bool MoveFocus(Control to);
  // Enter: the focus moves to the next shown control in tab order.
  void keyEnter(Control from);

  // State.
  const Session& session() const { return session_; }
  const SelectionLists& lists() const { return lists_; }
  const ComboBox& combo(Control combo) const { return combos_.at(combo); }
  // Texts of kText1, kTxteFileName and the captions of kLabel2 and kLabel3.
  const std::string& text(Control control) const { return texts_.at(control); }
  // The control's own visibility, whatever its containers show.
  bool visible(Control control) const;
  // Shown on screen: visible with every container that holds it.
  bool shown(Control control) const;
  // Options and the check box: chosen or ticked.
  bool value(Control control) const { return values_.at(control); }
  bool list_selected(Control list, int index) const;
  int list_current(Control list) const { return list == Control::kList1 ? current1_ : current2_; }
  // The return-form button shown in bold: the last one pressed.
  std::optional<Control> bold_button() const { return bold_button_; }
  Control focus() const { return focus_; }
  bool proceed_enabled() const { return proceed_enabled_; }
  // True once the window has closed; the program ends.
  bool closed() const { return closed_; }
  // True when the last Proceed passed its checks and called a builder.
  bool builder_ran() const { return builder_ran_; }
  const WaitPanel& wait_panel() const { return wait_; }
  const TemplateSession& workbook_session() const { return workbook_; }

 private:
  void ShowMessage(const std::string& text, MessageIcon icon);
  void ReportFailure(const std::string& title, const HostError& error);
  void LoadCatalogue();
  void RunFormwiseRecordSet();
  void ShowFormControls(const ReturnForm& form);
  void ApplyFormDefaults(const ReturnForm& form);
  void Choose(Control option);
  std::vector<bool>& selection(Control list);
  void AddTaxFilter();
  void Dispatch();
  BuildContext MakeBuildContext();
  bool FileAlreadyExists(const std::string& folder, const std::string& name,
                         const std::string& type);
  void ValidateFocused(Control control, bool* cancel);
  void LoseFocus(Control control);
  void GetFocus(Control control);

  Session session_;
  ShellPlatform& platform_;
  UserInterface& ui_;
  SelectionLists lists_;
  std::map<Control, ComboBox> combos_;
  std::map<Control, std::string> texts_;
  std::map<Control, bool> visible_;
  std::map<Control, bool> values_;
  std::vector<bool> selected1_;
  std::vector<bool> selected2_;
  int current1_ = -1;
  int current2_ = -1;
  std::optional<Control> bold_button_;
  Control focus_ = Control::kCombo1;
  bool proceed_enabled_ = true;
  bool closed_ = false;
  bool builder_ran_ = false;
  std::map<std::string, Builder> builders_;
  SpreadsheetFactory spreadsheet_factory_;
  WaitPanel wait_;
  TemplateSession workbook_;
};

}  // namespace vatrix

#endif  // VATRIX_APP_MAIN_WINDOW_H_
