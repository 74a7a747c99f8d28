#include "app/export_options.h"

#include <set>

#include "hostdata/text.h"

namespace vatrix {

namespace {

const std::set<std::string>& ExportOptionNames() {
  static const std::set<std::string> kNames = {
      "host",      "company",     "form",        "type",       "period",     "out",      "name",
      "file-type", "master",      "ini",         "accounts",   "tax-types",  "products", "batches",
      "layout",    "bill-amount", "state-field", "stock-date", "april-shift"};
  return kNames;
}

}  // namespace

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
  if (!FindReturnForm(OptionValue(options, "form"))) {
    throw BadArguments("unknown form \"" + OptionValue(options, "form") +
                       "\" (forms: " + ReturnCodesText() + ")");
  }
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
