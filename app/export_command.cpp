#include "app/export_command.h"

#include <strings.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <vector>

#include "app/console_ui.h"
#include "app/host_picker.h"
#include "app/main_window.h"
#include "app/periods.h"
#include "app/return_builders.h"

namespace vatrix {

namespace {

// The command line's platform: no other copy is looked for (scripts run beside the window
// and in parallel), the folder dialog answers with --out, and there is no search dialog.
class CliPlatform : public ShellPlatform {
 public:
  CliPlatform(std::string out_folder, std::string settings_file, std::string master_folder)
      : out_folder_(std::move(out_folder)),
        settings_file_(std::move(settings_file)),
        master_folder_(std::move(master_folder)) {}

  std::string ProgramFolder() override {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : exe.parent_path().string();
  }
  std::string SettingsFile() override {
    return settings_file_.empty() ? ShellPlatform::SettingsFile() : settings_file_;
  }
  std::string MasterFolder() override {
    return master_folder_.empty() ? ShellPlatform::MasterFolder() : master_folder_;
  }
  bool PreviousInstanceRunning() override { return false; }
  std::optional<std::string> ChooseFolder(const std::string&) override {
    if (out_folder_.empty()) return std::nullopt;
    return out_folder_;
  }
  std::optional<int> SearchCompany() override { return std::nullopt; }

 private:
  std::string out_folder_;
  std::string settings_file_;
  std::string master_folder_;
};

// The console front end of an export: questions take the --april-shift answer, or ask on a
// terminal, or are answered No; the wait panel becomes a progress line on a terminal.
class ExportUi : public ConsoleUi {
 public:
  ExportUi(std::ostream& out, std::ostream& err, std::optional<bool> answer)
      : ConsoleUi(out, err), err_(err), answer_(answer), progress_(isatty(STDERR_FILENO)) {}

  MessageAnswer ShowMessage(const Message& message) override {
    ClearProgress();
    ConsoleUi::ShowMessage(message);
    if (message.buttons != MessageButtons::kYesNo) return MessageAnswer::kOk;
    if (answer_) return *answer_ ? MessageAnswer::kYes : MessageAnswer::kNo;
    if (!isatty(STDIN_FILENO)) return MessageAnswer::kNo;
    err_ << "Yes or No? " << std::flush;
    std::string reply;
    std::getline(std::cin, reply);
    return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y') ? MessageAnswer::kYes
                                                                  : MessageAnswer::kNo;
  }

  void ShowWaitPanel(const WaitPanelState& state) override {
    if (!progress_) return;
    ClearProgress();
    if (!state.visible) return;
    err_ << "Please wait while processing..... Total Records : " << state.total_records
         << "  Current Records : " << state.current_records << std::flush;
    drawn_ = true;
  }

 private:
  void ClearProgress() {
    if (drawn_) err_ << "\r\033[K" << std::flush;
    drawn_ = false;
  }

  std::ostream& err_;
  std::optional<bool> answer_;
  bool progress_;
  bool drawn_ = false;
};

std::string Option(const std::map<std::string, std::string>& options, const std::string& name) {
  const auto found = options.find(name);
  return found == options.end() ? "" : found->second;
}

// The installation folder as the picker lists it: no trailing separator.
std::string HostFolderText(std::string host) {
  while (host.size() > 1 && host.back() == '/') host.pop_back();
  return host;
}

// The whole number `text` stands for, or nullopt.
std::optional<long long> WholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 9 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoll(text);
}

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

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

// Index of the item equal to `wanted`, letter case ignored when `any_case`.
std::optional<int> IndexOf(const std::vector<std::string>& items, const std::string& wanted,
                           bool any_case = false) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == wanted || (any_case && strcasecmp(items[i].c_str(), wanted.c_str()) == 0)) {
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

std::optional<int> ChooserIndex(const ComboBox& chooser, long long code) {
  for (size_t i = 0; i < chooser.items.size(); ++i) {
    const auto number = WholeNumber(chooser.items[i].substr(0, chooser.items[i].find(" | ")));
    if (number && *number == code) return static_cast<int>(i);
  }
  return std::nullopt;
}

std::optional<int> PeriodIndex(const ComboBox& periods, const std::string& item) {
  if (const auto exact = IndexOf(periods.items, item)) return exact;
  const auto number = WholeNumber(item);
  for (size_t i = 0; number && i < periods.items.size(); ++i) {
    if (PeriodNumber(periods.items[i]) == *number) return static_cast<int>(i);
  }
  return std::nullopt;
}

// One of the panel's two selection lists as the command line names it.
struct ListOption {
  const char* name;  // "accounts", "tax-types", "products", "batches"
  bool by_code;      // items named by their code, else by their text
};

std::optional<ListOption> List1Option(const std::string& code) {
  if (code == "201A" || code == "201B" || code == "202A" || code == "202B") {
    return ListOption{"accounts", true};
  }
  if (code == "201C") return ListOption{"products", true};
  if (code == "3BSALES" || code == "3BPURCHASE") return ListOption{"tax-types", false};
  return std::nullopt;
}

std::optional<ListOption> List2Option(const std::string& code) {
  if (code == "201A" || code == "201B" || code == "202A") return ListOption{"tax-types", false};
  if (code == "201C") return ListOption{"batches", false};
  return std::nullopt;
}

// Drives one export; every step stops at the first failure message.
class ExportRun {
 public:
  ExportRun(const std::map<std::string, std::string>& options, ExportUi& ui, CliPlatform& platform,
            const std::string& host, SpreadsheetFactory spreadsheets)
      : options_(options), ui_(ui), window_(host, platform, ui) {
    RegisterReturnBuilders(&window_);
    window_.SetSpreadsheetFactory(std::move(spreadsheets));
  }

  int Run(const std::string& form) {
    window_.Form_Load();
    window_.Form_Activate();
    if (Failed()) return 1;
    const Control button = *MainWindow::FormButton(form);
    ChooseCompany();
    if (!window_.MoveFocus(button) || Failed()) return 1;
    window_.PressFormButton(button);
    if (Failed()) return 1;
    if (!ChoosePeriod(form) || !SetOutput(form) || !ChooseLists(form)) return 1;
    ChooseOptions();
    if (!window_.MoveFocus(Control::kCmd201AProceed) || Failed()) return 1;
    window_.cmd201AProceed_Click();
    return window_.builder_ran() && !Failed() ? 0 : 1;
  }

 private:
  bool Failed() const { return ui_.failed() || window_.closed(); }

  void ChooseCompany() {
    const std::string code = Option(options_, "company");
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
    const std::string type = Option(options_, "type");
    const auto type_index = IndexOf(window_.combo(Control::kCombo4).items, type);
    if (!type_index) {
      throw BadArguments("form " + form + " offers no return type \"" + type + "\" (it offers " +
                         Joined(window_.combo(Control::kCombo4).items) + ")");
    }
    window_.ChooseItem(Control::kCombo4, *type_index);
    const std::string item = Option(options_, "period");
    const auto period = PeriodIndex(window_.combo(Control::kCombo6), item);
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

  bool ChooseLists(const std::string& form) {
    const auto first = List1Option(form);
    auto second = List2Option(form);
    if (second && !window_.shown(Control::kFrame2)) second.reset();
    for (const char* name : {"accounts", "tax-types", "products", "batches"}) {
      const bool used = (first && name == std::string(first->name)) ||
                        (second && name == std::string(second->name));
      if (options_.count(name) && !used) {
        throw BadArguments(std::string("--") + name + " does not apply to form " + form +
                           (std::string(name) == "tax-types"
                                ? " unless the settings file turns Tax Selection on"
                                : ""));
      }
    }
    if (first && !ChooseList(*first, Control::kList1)) return false;
    return !second || ChooseList(*second, Control::kList2);
  }

  bool ChooseList(const ListOption& option, Control list) {
    const std::string wanted = Option(options_, option.name);
    const bool first = list == Control::kList1;
    if (wanted.empty() || strcasecmp(wanted.c_str(), "all") == 0) {
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
        throw BadArguments(std::string("unknown ") + option.name + " entry \"" + token +
                           "\" for company " + window_.session().CompanyCode);
      }
      window_.SetListSelected(list, *index, true);
    }
    return window_.MoveFocus(Control::kCmd201AProceed) && !Failed();
  }

  static std::optional<int> ItemIndex(const std::vector<ListItem>& items, const std::string& token,
                                      bool by_code) {
    const auto code = WholeNumber(token);
    for (size_t i = 0; i < items.size(); ++i) {
      const bool match = by_code ? code && items[i].code == *code
                                 : strcasecmp(items[i].text.c_str(), token.c_str()) == 0;
      if (match) return static_cast<int>(i);
    }
    return std::nullopt;
  }

  void ChooseOptions() {
    const std::string layout = Option(options_, "layout");
    if (layout == "old") window_.optOld_Click();
    if (layout == "macro") window_.optNew_Click();
    if (options_.count("bill-amount")) window_.chkAddTax_Click();
    if (const auto found = options_.find("state-field"); found != options_.end()) {
      window_.ChooseItem(Control::kCombo3,
                         *IndexOf(window_.combo(Control::kCombo3).items, found->second));
    }
    const std::string stock = Option(options_, "stock-date");
    if (!stock.empty()) window_.ChooseItem(Control::kCombo5, stock == "yes" ? 0 : 1);
  }

  const std::map<std::string, std::string>& options_;
  ExportUi& ui_;
  MainWindow window_;
};

// Checks the options whose values come from a fixed set.
void CheckChoices(const std::map<std::string, std::string>& options) {
  const std::map<std::string, std::vector<std::string>> kChoices = {
      {"file-type", {".xls", ".csv"}},
      {"layout", {"old", "macro"}},
      {"state-field", {"ADD3", "ITNO", "LICNO", "EMAIL", "CATEGORY", "STATE"}},
      {"stock-date", {"yes", "no"}},
      {"april-shift", {"yes", "no"}}};
  for (const auto& [name, values] : kChoices) {
    const auto found = options.find(name);
    if (found != options.end() && !IndexOf(values, found->second)) {
      throw BadArguments("--" + name + " takes " + Joined(values) + ", not \"" + found->second +
                         "\"");
    }
  }
  for (const char* required : {"host", "company", "form", "type", "period", "out"}) {
    if (Option(options, required).empty()) {
      throw BadArguments(std::string("export needs --") + required);
    }
  }
  if (!MainWindow::FormButton(Option(options, "form"))) {
    throw BadArguments("unknown form \"" + Option(options, "form") +
                       "\" (forms: 201, 201A, 201B, 201C, 202, 202A, 202B, 205, 3B, 3BSALES, "
                       "3BPURCHASE)");
  }
}

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

int RunExportCommand(const std::map<std::string, std::string>& options, std::ostream& out,
                     std::ostream& err, SpreadsheetFactory spreadsheets) {
  CheckChoices(options);
  std::optional<bool> april_shift;
  if (options.count("april-shift")) april_shift = Option(options, "april-shift") == "yes";
  ExportUi ui(out, err, april_shift);
  try {
    const auto folder = PickHost(Option(options, "host"), ui);
    if (!folder) return 1;
    CliPlatform platform(Option(options, "out"), Option(options, "ini"), Option(options, "master"));
    ExportRun run(options, ui, platform, *folder, std::move(spreadsheets));
    return run.Run(Option(options, "form"));
  } catch (const ProgramEnding&) {
    return 1;
  }
}

}  // namespace vatrix
