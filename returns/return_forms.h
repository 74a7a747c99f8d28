// The return forms of the product, one row each: what the window shows for a form, how its
// output is named, which selection lists it fills, how its bill list is queried and laid out,
// and the builder Proceed calls. The window logic, the file naming, the command line and the
// list export all read these rows; adding a form is adding a row and its builder.
#ifndef VATRIX_RETURNS_RETURN_FORMS_H_
#define VATRIX_RETURNS_RETURN_FORMS_H_

#include <string>
#include <string_view>
#include <vector>

#include "returns/build_context.h"
#include "returns/list_queries.h"

namespace vatrix {

// One of the panel's two selection lists as a form uses it.
struct PanelList {
  // The query that refills the list when the form's lists are loaded; "" keeps its items.
  std::string_view query = {};
  // The query fills the list only while the settings file turns Tax Selection on.
  bool only_with_tax_selection = false;
  // The caption over the list and its All/Selected options; "" leaves them hidden.
  std::string_view title = {};
  // The caption and options show only while Tax Selection is on (the second list).
  bool title_with_tax_selection = false;
  // The command line's name of the list ("accounts", "tax-types", "products", "batches"), ""
  // when it has none, and whether items are named there by code (else by their text).
  std::string_view option = {};
  bool by_code = false;
};

// When the session's period name is computed from the period lists.
enum class PeriodNaming {
  kNever,
  kAlways,          // whenever the period is left
  kMacroLayoutOnly  // when the period is left while "Macro Based" is chosen
};

// Header cells of a list template: the registration number, the period's name and the year,
// all in column 3. A row of 0 writes nothing.
struct ListHeader {
  int number_row = 0;
  int period_row = 0;
  int year_row = 0;
  // The year is the calendar year of the period's first months: the financial year's last
  // year when it starts in January to March, else its first. Otherwise the first year.
  bool calendar_year = false;
};

// A list template and where the list goes in it.
struct ListTemplate {
  // The file name; "{size}" stands for the size step, "{new}" for "_New" from 2008 on.
  std::string_view file_name = {};
  std::string_view sheet = {};  // "" for the first sheet
  int first_row = 0;
  // The row at which the template's macro makes room for the rest of a long list; 0 when
  // the template has no macro (a long list then gets rows inserted below the prepared ones).
  int trigger_row = 0;
  std::string_view macro_module = "Sheet1";
  ListHeader header = {};
};

// The facts of a bill list form.
struct ListFacts {
  std::string (*query)(const ListQueryInputs&) = nullptr;
  bool cst = false;          // bills keyed by tax type; party state and declaration form matched
  bool bill_amount = false;  // one amount column, the bill amount (sales without tax split)
  bool period_name_first = false;  // the period's name is computed before the list is opened
  // The prepared rows of the "Old Type" templates by size, smallest first; empty: one size.
  std::vector<int> size_steps = {};
  ListTemplate old_type = {};
  ListTemplate macro = {};
  bool old_type_from_2008_only = false;  // no "Old Type" template before 2008
  std::string_view error_title = {};     // the title of the list query's failure report
};

struct ReturnForm {
  std::string_view code = {};     // the return code: "201", "201A", ..., "3BPURCHASE"
  std::string_view button = {};   // the return-form button's control name ("cmd201A")
  std::string_view caption = {};  // the button's caption
  std::string_view name = {};     // how messages name the form ("Form 201A")
  std::vector<std::string_view> return_types = {};
  std::vector<std::string_view> file_types = {};  // in list order
  std::string_view chosen_file_type = {};         // chosen after the button; "" for the first
  std::string_view file_name_prefix = {};         // of the proposed output name
  PanelList list1 = {};
  bool list1_shown = false;  // List1 is the visible list after the button
  PanelList list2 = {};
  bool all_items = true;              // the button chooses "All" for List1
  bool first_item_selected = false;   // then "Selected" with the first item of List1
  bool layout_choice = false;         // "Old Type" / "Macro Based" shown
  bool cst_fields = false;            // state field and stock date shown
  bool april_question = false;        // the builder asks how April's VAT payment counts
  bool period_name_on_press = false;  // the period's name is computed when pressed
  PeriodNaming period_naming = PeriodNaming::kNever;
  const ListFacts* list = nullptr;  // for the bill list forms
  Builder builder = {};             // empty: the form is not available in this build

  bool fills_lists() const { return !list1.query.empty() || !list2.query.empty(); }
};

// Every return form, in the order of the window's buttons.
const std::vector<ReturnForm>& ReturnForms();

// The row of `code` (exact), or nullptr.
const ReturnForm* FindReturnForm(std::string_view code);

// The selection-list queries of `form` for company `company_code` of the installation
// `host_folder`, as the settings file's Tax Selection turns the tax types on or off.
FormwiseChoice FormwiseChoiceOf(const ReturnForm& form, const std::string& host_folder,
                                const std::string& company_code, bool tax_selection);

// The codes of every form, joined with ", " (for messages that list them).
std::string ReturnCodesText();

}  // namespace vatrix

#endif  // VATRIX_RETURNS_RETURN_FORMS_H_
