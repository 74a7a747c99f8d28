#include "returns/return_forms.h"

#include "returns/form201.h"
#include "returns/form201c.h"
#include "returns/form202.h"
#include "returns/form205.h"
#include "returns/form3b.h"
#include "returns/list_forms.h"

namespace vatrix {

namespace {

// The queries that fill the panel's selection lists.
constexpr char kSalesAccounts[] =
    "Select ACT.Name as [Select Tax Invoice Sales A/c Name], Code, Flag, Tag From ACT Where "
    "ACT.Group='100005' Order By ACT.Name ASC";
constexpr char kPurchaseAccounts[] =
    "Select ACT.Name as [Select Tax Invoice Purchase A/c Name], Code, Flag, Tag From ACT Where "
    "ACT.Group='100006' Order By ACT.Name ASC";
constexpr char kAllTaxTypes[] =
    "SELECT STAX.NAME, STAX.CODE, STAX.TAG From STAX  ORDER BY STAX.NAME";
constexpr char kCstSalesTaxTypes[] =
    "SELECT STAX.NAME, STAX.CODE, STAX.TAG From STAX Where (STAX.VATTYPE = 12 Or STAX.VATTYPE = "
    "9 Or STAX.VATTYPE = 18 Or STAX.VATTYPE = 11) Or (STAX.Type = 'C') ORDER BY STAX.NAME";
constexpr char kCstPurchaseTaxTypes[] =
    "SELECT STAX.NAME, STAX.CODE, STAX.TAG From STAX Where (STAX.VATTYPE = 13 Or STAX.VATTYPE = "
    "8 Or STAX.VATTYPE = 10) Or (STAX.Type = 'C') ORDER BY STAX.NAME";
constexpr char kProducts[] =
    "Select Product.Name,Product.Code as Code,Product.Tag,Product.OP_qty,Product.TotIn,"
    "Product.TotOut,Product.Cl_qty,Product.Clrate,Product.Batch From Product Order By "
    "Product.Name ASC";
constexpr char kBatches[] =
    "SELECT DISTINCT BATCH.BATCHNO,BATCH.TAG  From BATCH ORDER BY BATCH.BATCHNO";

// List captions.
constexpr char kSales[] = ":: Select Sales A/c ::";
constexpr char kPurchase[] = ":: Select Purchase A/c ::";
constexpr char kTaxType[] = ":: Select Tax Type ::";

const std::vector<std::string_view> kMonthlyQuarterlyHalfYearly = {"Monthly", "Quaterly",
                                                                   "HalfYearly"};
const std::vector<std::string_view> kMonthlyQuarterlyAnnually = {"Monthly", "Quaterly", "Annually"};
const std::vector<std::string_view> kXlsOnly = {".xls"};
const std::vector<std::string_view> kCsvOrXls = {".csv", ".xls"};

const std::vector<int> kVatSizeSteps = {500, 1000, 5000, 20000, 40000};
const std::vector<int> kCstSizeSteps = {500, 2000, 20000, 40000};

constexpr ListHeader kMacroHeader = {
    .number_row = 2, .period_row = 3, .year_row = 4, .calendar_year = true};

PanelList Accounts(std::string_view query, std::string_view title) {
  return {.query = query, .title = title, .option = "accounts", .by_code = true};
}

// Tax types chosen one by one, when the settings file turns Tax Selection on.
PanelList TaxTypes(std::string_view query) {
  return {.query = query,
          .only_with_tax_selection = true,
          .title = kTaxType,
          .title_with_tax_selection = true,
          .option = "tax-types"};
}

const ListFacts kList201A = {
    .query = Sales201AQuery,
    .period_name_first = true,
    .size_steps = kVatSizeSteps,
    .old_type = {.file_name = "VAT_RET_201A_{size}_Monthly{new}.xls", .first_row = 5},
    .macro = {.file_name = "VAT_RET_201A_CSV_M.xls",
              .sheet = "FORM201A",
              .first_row = 8,
              .trigger_row = 13,
              .header = kMacroHeader},
    .error_title = "Form 201A Error"};
const ListFacts kList201B = {
    .query = Purchase201BQuery,
    .period_name_first = true,
    .size_steps = kVatSizeSteps,
    .old_type = {.file_name = "VAT_RET_201B_{size}_Monthly{new}.xls", .first_row = 5},
    .macro = {.file_name = "VAT_RET_201B_CSV_M.xls",
              .sheet = "FORM201B",
              .first_row = 8,
              .trigger_row = 13,
              .header = kMacroHeader},
    .error_title = "Form 201B Error"};
const ListFacts kList202A = {
    .query = Purchase202AQuery,
    .old_type = {.file_name = "VAT_RET_202A_m.xls",
                 .sheet = "List_Showing_Purchase",
                 .first_row = 5,
                 .trigger_row = 10,
                 .macro_module = "Sheet2",
                 .header = {.number_row = 1, .period_row = 2, .year_row = 4}},
    .macro = {.file_name = "VAT_RET_202A_m.xls",
              .sheet = "List_Showing_Purchase",
              .first_row = 5,
              .trigger_row = 10,
              .macro_module = "Sheet2",
              .header = {.number_row = 1, .period_row = 2, .year_row = 3}},
    .old_type_from_2008_only = true,
    .error_title = "Form 202A Error"};
const ListFacts kList202B = {
    .query = Sales202BQuery,
    .bill_amount = true,
    .old_type = {.file_name = "VAT_RET_202B_m.xls",
                 .sheet = "List of Sales",
                 .first_row = 7,
                 .trigger_row = 11,
                 .macro_module = "Sheet2",
                 .header = {.number_row = 2, .period_row = 3, .year_row = 4}},
    .macro = {.file_name = "VAT_RET_202B_m.xls",
              .sheet = "List of Sales",
              .first_row = 7,
              .trigger_row = 11,
              .macro_module = "Sheet2",
              .header = kMacroHeader},
    .old_type_from_2008_only = true,
    .error_title = "Form 202B Error"};
const ListFacts kList3BSales = {
    .query = CstSalesQuery,
    .cst = true,
    .size_steps = kCstSizeSteps,
    .old_type = {.file_name = "sales_details_{size}.xls", .first_row = 3},
    .macro = {.file_name = "SALES_DETAILS_CSV_M.xls",
              .sheet = "SALES DETAILS",
              .first_row = 6,
              .trigger_row = 11,
              .header = kMacroHeader},
    .error_title = "Form 3B Sales Error"};
const ListFacts kList3BPurchase = {
    .query = CstPurchaseQuery,
    .cst = true,
    .size_steps = kCstSizeSteps,
    .old_type = {.file_name = "purchase_details_{size}.xls", .first_row = 3},
    .macro = {.file_name = "PURCHASE_DETAILS_CSV_M.xls",
              .sheet = "PURCHASE DETAILS",
              .first_row = 6,
              .trigger_row = 11,
              .header = kMacroHeader},
    .error_title = "Form 3B Purchase Error"};

// One row per form, in the order of the window's buttons.
std::vector<ReturnForm> MakeForms() {
  return {
      {.code = "201",
       .button = "cmd201",
       .caption = "Form 201",
       .name = "Form 201",
       .return_types = kMonthlyQuarterlyHalfYearly,
       .file_types = kXlsOnly,
       .file_name_prefix = "Form 201 - ",
       .all_items = false,
       .builder = Form201},
      {.code = "201A",
       .button = "cmd201A",
       .caption = "Form 201A",
       .name = "Form 201A",
       .return_types = kMonthlyQuarterlyHalfYearly,
       .file_types = kCsvOrXls,
       .file_name_prefix = "Sales - 201A - ",
       .list1 = Accounts(kSalesAccounts, kSales),
       .list1_shown = true,
       .list2 = TaxTypes(kAllTaxTypes),
       .first_item_selected = true,
       .layout_choice = true,
       .period_naming = PeriodNaming::kMacroLayoutOnly,
       .list = &kList201A,
       .builder = Form201A},
      {.code = "201B",
       .button = "cmd201B",
       .caption = "Form 201B",
       .name = "Form 201B",
       .return_types = kMonthlyQuarterlyHalfYearly,
       .file_types = kCsvOrXls,
       .file_name_prefix = "Purchase - 201B - ",
       .list1 = Accounts(kPurchaseAccounts, kPurchase),
       .list1_shown = true,
       .list2 = TaxTypes(""),  // shows the tax types the list already holds
       .first_item_selected = true,
       .layout_choice = true,
       .period_naming = PeriodNaming::kMacroLayoutOnly,
       .list = &kList201B,
       .builder = Form201B},
      {.code = "201C",
       .button = "cmd201C",
       .caption = "Form 201C",
       .name = "Form 201C",
       .return_types = kMonthlyQuarterlyHalfYearly,
       .file_types = kCsvOrXls,
       .file_name_prefix = "Stock - 201C - ",
       .list1 = {.query = kProducts,
                 .title = ":: Select Product Name ::",
                 .option = "products",
                 .by_code = true},
       .list2 = {.query = kBatches, .title = ":: Sales BatchNo ::", .option = "batches"},
       .builder = Form201C},
      {.code = "202",
       .button = "cmd202",
       .caption = "Form 202 (Lumpsum)",
       .name = "Form 202",
       .return_types = kMonthlyQuarterlyAnnually,
       .file_types = kXlsOnly,
       .file_name_prefix = "Form - 202 - ",
       .all_items = false,
       .period_naming = PeriodNaming::kAlways,
       .builder = Form202},
      {.code = "202A",
       .button = "cmd202A",
       .caption = "Form 202A",
       .name = "Form 202A",
       .return_types = kMonthlyQuarterlyAnnually,
       .file_types = kCsvOrXls,
       .chosen_file_type = ".xls",
       .file_name_prefix = "Purchase - 202A - ",
       .list1 = Accounts(kPurchaseAccounts, kPurchase),
       .list1_shown = true,
       .list2 = TaxTypes(""),
       .first_item_selected = true,
       .period_name_on_press = true,
       .period_naming = PeriodNaming::kAlways,
       .list = &kList202A,
       .builder = Form202A},
      {.code = "202B",
       .button = "cmd202B",
       .caption = "Form 202B",
       .name = "Form 202B",
       .return_types = kMonthlyQuarterlyAnnually,
       .file_types = kCsvOrXls,
       .chosen_file_type = ".xls",
       .file_name_prefix = "Sales - 202B - ",
       .list1 = Accounts(kSalesAccounts, kSales),
       .list1_shown = true,
       // The tax types are loaded but not offered.
       .list2 = {.query = kAllTaxTypes, .only_with_tax_selection = true},
       .first_item_selected = true,
       .period_name_on_press = true,
       .period_naming = PeriodNaming::kAlways,
       .list = &kList202B,
       .builder = Form202B},
      {.code = "205",
       .button = "cmd205",
       .caption = "Form 205",
       .name = "Form 205",
       .return_types = {"Annually"},
       .file_types = kXlsOnly,
       .file_name_prefix = "Form 205 - ",
       .all_items = false,
       .april_question = true,
       .builder = Form205},
      {.code = "3B",
       .button = "cmd3B",
       .caption = "CST Return (Form 3B)",
       .name = "Form 3B",
       .return_types = kMonthlyQuarterlyAnnually,
       .file_types = kXlsOnly,
       .file_name_prefix = "CST - 3B - ",
       .builder = Form3B},
      {.code = "3BSALES",
       .button = "cmd3BSales",
       .caption = "CST Sales",
       .name = "Form 3B Sales",
       .return_types = kMonthlyQuarterlyHalfYearly,
       .file_types = kCsvOrXls,
       .file_name_prefix = "CST - Sales - ",
       .list1 = {.query = kCstSalesTaxTypes, .title = kTaxType, .option = "tax-types"},
       .layout_choice = true,
       .cst_fields = true,
       .list = &kList3BSales,
       .builder = Form3BSales},
      {.code = "3BPURCHASE",
       .button = "cmd3BPurchase",
       .caption = "CST Purchase",
       .name = "Form 3B Purchase",
       .return_types = kMonthlyQuarterlyHalfYearly,
       .file_types = kCsvOrXls,
       .file_name_prefix = "CST - Purchase - ",
       .list1 = {.query = kCstPurchaseTaxTypes, .title = kTaxType, .option = "tax-types"},
       .layout_choice = true,
       .cst_fields = true,
       .list = &kList3BPurchase,
       .builder = Form3BPurchase},
  };
}

}  // namespace

const std::vector<ReturnForm>& ReturnForms() {
  static const std::vector<ReturnForm> kForms = MakeForms();
  return kForms;
}

const ReturnForm* FindReturnForm(std::string_view code) {
  for (const ReturnForm& form : ReturnForms()) {
    if (form.code == code) return &form;
  }
  return nullptr;
}

FormwiseChoice FormwiseChoiceOf(const ReturnForm& form, const std::string& host_folder,
                                const std::string& company_code, bool tax_selection) {
  const auto query = [tax_selection](const PanelList& list) {
    return std::string(list.only_with_tax_selection && !tax_selection ? "" : list.query);
  };
  return {host_folder, company_code, query(form.list1), query(form.list2)};
}

std::string ReturnCodesText() {
  std::string text;
  for (const ReturnForm& form : ReturnForms()) {
    text.append(text.empty() ? "" : ", ").append(form.code);
  }
  return text;
}

}  // namespace vatrix
