#include "app/export_command.h"

#include <unistd.h>

#include <optional>
#include <vector>

#include "app/cli_platform.h"
#include "app/console_ui.h"
#include "app/host_picker.h"
#include "app/main_window.h"
#include "hostdata/text.h"
#include "workbook/template_session.h"

namespace vatrix {

namespace {

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    parts.push_back(text.substr(start, comma - start));
    if (comma == std::string::npos) return parts;
    start = comma + 1;
  }
}

std::optional<int> ChooserIndex(const ComboBox& chooser, long long code) {
  for (size_t i = 0; i < chooser.items.size(); ++i) {
    const auto number = WholeNumber(chooser.items[i].substr(0, chooser.items[i].find(" | ")));
    if (number && *number == code) return static_cast<int>(i);
  }
  return std::nullopt;
}

// Drives one export; every step stops at the first failure message.
class ExportRun {
 public:
  ExportRun(const ExportOptions& options, ConsoleUi& ui, CliPlatform& platform,
            const std::string& host, SpreadsheetFactory spreadsheets)
      : options_(options), ui_(ui), window_(host, platform, ui) {
    window_.SetSpreadsheetFactory(std::move(spreadsheets));
  }

  int Run(const std::string& form) {
    window_.Form_Load();
    window_.Form_Activate();
    if (Failed()) return 1;
    const std::optional<Control> button = MainWindow::FormButton(form);
    if (!button) throw BadArguments("unknown form \"" + form + "\"");
    ChooseCompany();
    if (!window_.MoveFocus(*button) || Failed()) return 1;
    window_.PressFormButton(*button);
    if (Failed()) return 1;
    if (!ChoosePeriod(form) || !SetOutput(form) || !ChooseLists(*MainWindow::FormOf(*button))) {
      return 1;
    }
    ChooseOptions();
    if (!window_.MoveFocus(Control::kCmd201AProceed) || Failed()) return 1;
    window_.cmd201AProceed_Click();
    return window_.builder_ran() && !Failed() ? 0 : 1;
  }

  // The file the panel names: folder, name and type.
  std::string OutputFile() const {
    if (window_.text(Control::kTxteFileName).empty()) return "";
    return OutputChoice{window_.text(Control::kText1), window_.text(Control::kTxteFileName),
                        window_.combo(Control::kCombo2).text()}
        .path();
  }

 private:
  bool Failed() const { return ui_.failed() || window_.closed(); }

  void ChooseCompany() {
    const std::string code = OptionValue(options_, "company");
    const auto number = WholeNumber(code);
    const auto index =
        number ? ChooserIndex(window_.combo(Control::kCombo1), *number) : std::nullopt;
    if (!index) {
      throw BadArguments("no company with code " + code + " in the catalogue of " +
                         window_.session().HostFolder);
    }
    window_.ChooseItem(Control::kCombo1, *index);
  }

  bool ChoosePeriod(const std::string& form) {
    const std::string type = OptionValue(options_, "type");
    const auto type_index = IndexOf(window_.combo(Control::kCombo4).items, type);
    if (!type_index) {
      throw BadArguments("form " + form + " offers no return type \"" + type + "\" (it offers " +
                         Joined(window_.combo(Control::kCombo4).items) + ")");
    }
    window_.ChooseItem(Control::kCombo4, *type_index);
    const std::string item = OptionValue(options_, "period");
    const auto period = PeriodItemIndex(window_.combo(Control::kCombo6).items, item);
    if (!period) {
      throw BadArguments("return type " + type + " has no period \"" + item + "\" (it has " +
                         Joined(window_.combo(Control::kCombo6).items) + ")");
    }
    window_.MoveFocus(Control::kCombo6);
    window_.ChooseItem(Control::kCombo6, *period);
    return window_.MoveFocus(Control::kText1) && !Failed();
  }

  bool SetOutput(const std::string& form) {
    if (const auto found = options_.find("file-type"); found != options_.end()) {
      const auto index = IndexOf(window_.combo(Control::kCombo2).items, found->second);
      if (!index) {
        throw BadArguments("form " + form + " offers no file type \"" + found->second +
                           "\" (it offers " + Joined(window_.combo(Control::kCombo2).items) + ")");
      }
      window_.ChooseItem(Control::kCombo2, *index);
    }
    if (const auto found = options_.find("name"); found != options_.end()) {
      window_.SetText(Control::kTxteFileName, found->second);
    }
    return window_.MoveFocus(Control::kTxteFileName) && window_.MoveFocus(Control::kCombo2) &&
           window_.MoveFocus(Control::kCmd201AProceed) && !Failed();
  }

  bool ChooseLists(const ReturnForm& form) {
    const bool second_shown = !form.list2.option.empty() && window_.shown(Control::kFrame2);
    CheckListOptions(options_, form, second_shown);
    if (!form.list1.option.empty() && !ChooseList(form.list1, Control::kList1)) return false;
    return !second_shown || ChooseList(form.list2, Control::kList2);
  }

  bool ChooseList(const PanelList& option, Control list) {
    const std::string name(option.option);
    const std::string wanted = OptionValue(options_, name);
    const bool first = list == Control::kList1;
    if (wanted.empty() || EqualsIgnoreCase(wanted, "all")) {
      window_.MoveFocus(first ? Control::kOption1 : Control::kOption4);
      first ? window_.Option1_Click() : window_.Option4_Click();
      return !Failed();
    }
    window_.MoveFocus(first ? Control::kOption2 : Control::kOption3);
    first ? window_.Option2_Click() : window_.Option3_Click();
    if (Failed()) return false;
    const auto& items = first ? window_.lists().list1 : window_.lists().list2;
    for (size_t i = 0; i < items.size(); ++i) window_.SetListSelected(list, i, false);
    for (const std::string& token : SplitCommas(wanted)) {
      const auto index = ItemIndex(items, token, option.by_code);
      if (!index) {
        throw BadArguments("unknown " + name + " entry \"" + token + "\" for company " +
                           window_.session().CompanyCode);
      }
      window_.SetListSelected(list, *index, true);
    }
    return window_.MoveFocus(Control::kCmd201AProceed) && !Failed();
  }

  static std::optional<int> ItemIndex(const std::vector<ListItem>& items, const std::string& token,
                                      bool by_code) {
    const auto code = WholeNumber(token);
    for (size_t i = 0; i < items.size(); ++i) {
      const bool match =
          by_code ? code && items[i].code == *code : EqualsIgnoreCase(items[i].text, token);
      if (match) return static_cast<int>(i);
    }
    return std::nullopt;
  }

  void ChooseOptions() {
    const std::string layout = OptionValue(options_, "layout");
    if (layout == "old") window_.optOld_Click();
    if (layout == "macro") window_.optNew_Click();
    if (options_.count("bill-amount")) window_.chkAddTax_Click();
    if (const auto found = options_.find("state-field"); found != options_.end()) {
      window_.ChooseItem(Control::kCombo3,
                         *IndexOf(window_.combo(Control::kCombo3).items, found->second));
    }
    const std::string stock = OptionValue(options_, "stock-date");
    if (!stock.empty()) window_.ChooseItem(Control::kCombo5, stock == "yes" ? 0 : 1);
  }

  const ExportOptions& options_;
  ConsoleUi& ui_;
  MainWindow window_;
};

// Runs the installation picker on `host` alone; the chosen folder, or nullopt after its message.
std::optional<std::string> PickHost(const std::string& host, UserInterface& ui) {
  HostPicker picker({HostFolderText(host)}, ui);
  picker.Load();
  if (picker.state() != HostPicker::State::kChosen) return std::nullopt;
  return picker.host_folder();
}

}  // namespace

int RunCompaniesCommand(const std::string& host, std::ostream& out, std::ostream& err) {
  ConsoleUi ui(out, err);
  try {
    const auto folder = PickHost(host, ui);
    if (!folder) return 1;
    CliPlatform platform("", "", "");
    MainWindow window(*folder, platform, ui);
    window.Form_Load();
    window.Form_Activate();
    if (ui.failed() || window.closed()) return 1;
    for (const std::string& item : window.combo(Control::kCombo1).items) out << item << "\n";
    return 0;
  } catch (const ProgramEnding&) {
    return 1;
  }
}

ExportResult RunCheckedExport(const ExportOptions& options, ConsoleUi& ui,
                              SpreadsheetFactory spreadsheets) {
  if (const std::string problem = OutputProblem(options); !problem.empty()) {
    ui.ShowMessage({kAppTitle, problem, MessageIcon::kCritical, MessageButtons::kOk});
    return {};
  }
  const auto folder = PickHost(OptionValue(options, "host"), ui);
  if (!folder) return {};
  CliPlatform platform(OptionValue(options, "out"), OptionValue(options, "ini"),
                       OptionValue(options, "master"));
  ExportRun run(options, ui, platform, *folder, std::move(spreadsheets));
  ExportResult result;
  try {
    result.status = run.Run(OptionValue(options, "form"));
  } catch (const ProgramEnding&) {
    result.status = 1;
  }
  result.file = run.OutputFile();
  return result;
}

int RunExportCommand(const ExportOptions& given, std::ostream& out, std::ostream& err,
                     SpreadsheetFactory spreadsheets, const std::function<void()>& start_office) {
  const ExportOptions options = WithCanonicalValues(given);
  CheckExportOptions(options);
  const ReturnForm& form = *FindReturnForm(OptionValue(options, "form"));
  if (start_office && OutputProblem(options).empty() && OutputFileType(options, form) == ".xls") {
    start_office();
  }
  std::optional<bool> april_shift;
  if (options.count("april-shift")) april_shift = OptionValue(options, "april-shift") == "yes";
  ConsoleUi ui(out, err, april_shift, isatty(STDERR_FILENO) ? &err : nullptr);
  try {
    return RunCheckedExport(options, ui, std::move(spreadsheets)).status;
  } catch (const ProgramEnding&) {
    return 1;
  }
}

}  // namespace vatrix
