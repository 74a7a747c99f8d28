#include "app/export_options.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <utility>

#include "app/cli_options.h"
#include "app/periods.h"
#include "app/settings_file.h"
#include "hostdata/text.h"

namespace vatrix {

const std::set<std::string>& ExportOptionNames() {
  static const std::set<std::string> kNames = {
      "host",      "company",     "form",        "type",       "period",     "out",      "name",
      "file-type", "master",      "ini",         "accounts",   "tax-types",  "products", "batches",
      "layout",    "bill-amount", "state-field", "stock-date", "april-shift"};
  return kNames;
}

namespace {

// Refuses an option of the panel's controls that `form` does not show.
void CheckFormOptions(const ExportOptions& options, const ReturnForm& form) {
  const std::pair<const char*, bool> uses[] = {{"bill-amount", form.list != nullptr},
                                               {"state-field", form.cst_fields},
                                               {"stock-date", form.cst_fields},
                                               {"april-shift", form.april_question}};
  for (const auto& [name, used] : uses) {
    if (options.count(name) && !used) {
      throw BadArguments("--" + std::string(name) + " does not apply to form " +
                         std::string(form.code));
    }
  }
}

// Why the settings file named at `path` cannot serve; "" when it can.
std::string NamedSettingsFileProblem(const std::string& path) {
  if (const std::string problem = SettingsFileProblem(path); !problem.empty()) return problem;
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return "the settings file " + path + " does not exist";
  if (!std::ifstream(path)) return "the settings file " + path + " cannot be read";
  return "";
}

}  // namespace

ExportOptions WithCanonicalValues(ExportOptions options) {
  if (const auto type = options.find("type"); type != options.end()) {
    type->second = CanonicalReturnType(type->second);
  }
  if (const auto form = options.find("form"); form != options.end()) {
    for (const ReturnForm& row : ReturnForms()) {
      if (EqualsIgnoreCase(row.code, form->second)) form->second = std::string(row.code);
    }
  }
  return options;
}

std::string OptionValue(const ExportOptions& options, const std::string& name) {
  const auto found = options.find(name);
  return found == options.end() ? "" : found->second;
}

void CheckExportOptions(const ExportOptions& options) {
  for (const auto& [name, value] : options) {
    if (!ExportOptionNames().count(name)) throw BadArguments("export has no option --" + name);
  }
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
    if (OptionValue(options, required).empty()) {
      throw BadArguments(std::string("export needs --") + required);
    }
  }
  const ReturnForm* form = FindReturnForm(OptionValue(options, "form"));
  if (!form) {
    throw BadArguments("unknown form \"" + OptionValue(options, "form") +
                       "\" (forms: " + ReturnCodesText() + ")");
  }
  CheckFormOptions(options, *form);
  if (options.count("ini")) {
    if (const std::string problem = NamedSettingsFileProblem(OptionValue(options, "ini"));
        !problem.empty()) {
      throw BadArguments("--ini: " + problem);
    }
  }
}

std::string OutputProblem(const ExportOptions& options) {
  const std::string folder = OptionValue(options, "out");
  std::error_code error;
  const auto status = std::filesystem::status(folder, error);
  if (std::filesystem::is_regular_file(status)) {
    return "The output folder " + folder + " is a file, not a folder";
  }
  if (!std::filesystem::is_directory(status)) {
    return "The output folder " + folder + " does not exist";
  }
  const auto name = options.find("name");
  const ReturnForm* form = FindReturnForm(OptionValue(options, "form"));
  if (name == options.end() || !form || form->file_types.empty()) return "";
  const std::filesystem::path path =
      std::filesystem::path(folder) / (name->second + OutputFileType(options, *form));
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
    return "File Name : " + path.string() + " is already exist.....";
  }
  return "";
}

std::string OutputFileType(const ExportOptions& options, const ReturnForm& form) {
  if (options.count("file-type")) return OptionValue(options, "file-type");
  if (!form.chosen_file_type.empty()) return std::string(form.chosen_file_type);
  return form.file_types.empty() ? "" : std::string(form.file_types[0]);
}

void CheckListOptions(const ExportOptions& options, const ReturnForm& form,
                      bool second_list_shown) {
  for (const std::string name : {"accounts", "tax-types", "products", "batches"}) {
    const bool used = form.list1.option == name || (second_list_shown && form.list2.option == name);
    if (options.count(name) && !used) {
      throw BadArguments(
          "--" + name + " does not apply to form " + std::string(form.code) +
          (name == "tax-types" ? " unless the settings file turns Tax Selection on" : ""));
    }
  }
}

std::optional<int> IndexOf(const std::vector<std::string>& items, const std::string& wanted,
                           bool any_case) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i] == wanted || (any_case && EqualsIgnoreCase(items[i], wanted))) {
      return static_cast<int>(i);
    }
  }
  return std::nullopt;
}

std::optional<int> PeriodItemIndex(const std::vector<std::string>& items, const std::string& item) {
  if (const auto exact = IndexOf(items, item)) return exact;
  const auto number = WholeNumber(item);
  for (size_t i = 0; number && i < items.size(); ++i) {
    if (PeriodNumber(items[i]) == *number) return static_cast<int>(i);
  }
  return std::nullopt;
}

std::string HostFolderText(std::string host) {
  while (host.size() > 1 && host.back() == '/') host.pop_back();
  return host;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

std::optional<long long> WholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 9 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return std::stoll(text);
}

}  // namespace vatrix
