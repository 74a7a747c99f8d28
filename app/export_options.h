// The options of "vatrix-cli export": which it takes, the values each allows, and how the
// selection-list options of a form are named.
#ifndef VATRIX_APP_EXPORT_OPTIONS_H_
#define VATRIX_APP_EXPORT_OPTIONS_H_

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "returns/return_forms.h"

namespace vatrix {

// Options by name without their dashes ("host", "company", ...); a flag has an empty value.
using ExportOptions = std::map<std::string, std::string>;

// Arguments a command cannot use; the text says which and why.
class BadArguments : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Every option export takes, by name without dashes.
const std::set<std::string>& ExportOptionNames();

// `options` with the values the command line accepts beside the program's own spelling put in
// that spelling: the return type by CanonicalReturnType, the form's code in any case.
ExportOptions WithCanonicalValues(ExportOptions options);

// The value of option `name`, "" when it is not given.
std::string OptionValue(const ExportOptions& options, const std::string& name);

// Throws BadArguments for an option export does not take, a value outside an option's fixed
// set, a missing required option, an unknown form, an option of a control the form does not
// show (taken from its row of the form table), or an --ini that does not name a readable
// settings file.
void CheckExportOptions(const ExportOptions& options);

// What keeps the run from writing its output, found before any table is read or the office
// starts: an --out that is a file or does not exist, or a --name whose file exists already.
// "" when nothing does.
std::string OutputProblem(const ExportOptions& options);

// The file type the run saves as: --file-type, else the one the form chooses after its button.
// "" for a form without file types.
std::string OutputFileType(const ExportOptions& options, const ReturnForm& form);

// Throws BadArguments for a selection-list option ("accounts", "tax-types", "products",
// "batches") that `form` does not offer; `second_list_shown`: the form's second list is on
// show (its tax types need Tax Selection).
void CheckListOptions(const ExportOptions& options, const ReturnForm& form, bool second_list_shown);

// Index of the item equal to `wanted` (letter case ignored when `any_case`), or nullopt.
std::optional<int> IndexOf(const std::vector<std::string>& items, const std::string& wanted,
                           bool any_case = false);

// Index of the period item `item` names among `items`: the item itself or its number.
std::optional<int> PeriodItemIndex(const std::vector<std::string>& items, const std::string& item);

// The installation folder `host` as the picker lists it: no trailing separator.
std::string HostFolderText(std::string host);

// The items joined with ", ".
std::string Joined(const std::vector<std::string>& items);

// The whole number `text` stands for (digits only, at most nine), or nullopt.
std::optional<long long> WholeNumber(const std::string& text);

}  // namespace vatrix

#endif  // VATRIX_APP_EXPORT_OPTIONS_H_
