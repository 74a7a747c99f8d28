#include "returns/return_forms.h"

#include "returns/form201.h"
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

constexpr ListHeader kMacroHeader = {2, 3, 4, true};

const PanelList kAccountsOf(std::string_view query, std::string_view title) {
  return {query, false, title, false, "accounts", true};
}
const PanelList kTaxTypesWithSelection = {"", false, kTaxType, true, "tax-types", false};

const ListFacts kList201A = {Sales201AQuery,
                             false,
                             false,
                             true,
                             kVatSizeSteps,
                             {"VAT_RET_201A_{size}_Monthly{new}.xls", "", 5, 0, "Sheet1", {}},
                             {"VAT_RET_201A_CSV_M.xls", "FORM201A", 8, 13, "Sheet1", kMacroHeader},
                             false,
                             "Form 201A Error"};
const ListFacts kList201B = {Purchase201BQuery,
                             false,
                             false,
                             true,
                             kVatSizeSteps,
                             {"VAT_RET_201B_{size}_Monthly{new}.xls", "", 5, 0, "Sheet1", {}},
                             {"VAT_RET_201B_CSV_M.xls", "FORM201B", 8, 13, "Sheet1", kMacroHeader},
                             false,
                             "Form 201B Error"};
const ListFacts kList202A = {
    Purchase202AQuery,
    false,
    false,
    false,
    {},
    {"VAT_RET_202A_m.xls", "List_Showing_Purchase", 5, 10, "Sheet2", {1, 2, 4, false}},
    {"VAT_RET_202A_m.xls", "List_Showing_Purchase", 5, 10, "Sheet2", {1, 2, 3, false}},
    true,
    "Form 202A Error"};
const ListFacts kList202B = {
    Sales202BQuery,
    false,
    true,
    false,
    {},
    {"VAT_RET_202B_m.xls", "List of Sales", 7, 11, "Sheet2", {2, 3, 4, false}},
    {"VAT_RET_202B_m.xls", "List of Sales", 7, 11, "Sheet2", {2, 3, 4, true}},
    true,
    "Form 202B Error"};
const ListFacts kList3BSales = {
    CstSalesQuery,
    true,
    false,
    false,
    kCstSizeSteps,
    {"sales_details_{size}.xls", "", 3, 0, "Sheet1", {}},
    {"SALES_DETAILS_CSV_M.xls", "SALES DETAILS", 6, 11, "Sheet1", kMacroHeader},
    false,
    "Form 3B Sales Error"};
const ListFacts kList3BPurchase = {
    CstPurchaseQuery,
    true,
    false,
    false,
    kCstSizeSteps,
    {"purchase_details_{size}.xls", "", 3, 0, "Sheet1", {}},
    {"PURCHASE_DETAILS_CSV_M.xls", "PURCHASE DETAILS", 6, 11, "Sheet1", kMacroHeader},
    false,
    "Form 3B Purchase Error"};

std::vector<ReturnForm> MakeForms() {
  std::vector<ReturnForm> forms;
  ReturnForm f;

  f = {};
  f.code = "201";
  f.button = "cmd201";
  f.caption = f.name = "Form 201";
  f.return_types = kMonthlyQuarterlyHalfYearly;
  f.file_types = kXlsOnly;
  f.file_name_prefix = "Form 201 - ";
  f.all_items = false;
  f.builder = Form201;
  forms.push_back(f);

  f = {};
  f.code = "201A";
  f.button = "cmd201A";
  f.caption = f.name = "Form 201A";
  f.return_types = kMonthlyQuarterlyHalfYearly;
  f.file_types = kCsvOrXls;
  f.file_name_prefix = "Sales - 201A - ";
  f.list1 = kAccountsOf(kSalesAccounts, kSales);
  f.list1_shown = true;
  f.list2 = kTaxTypesWithSelection;
  f.list2.query = kAllTaxTypes;
  f.list2.only_with_tax_selection = true;
  f.first_item_selected = true;
  f.layout_choice = true;
  f.period_naming = PeriodNaming::kMacroLayoutOnly;
  f.list = &kList201A;
  f.builder = Form201A;
  forms.push_back(f);

  f = {};
  f.code = "201B";
  f.button = "cmd201B";
  f.caption = f.name = "Form 201B";
  f.return_types = kMonthlyQuarterlyHalfYearly;
  f.file_types = kCsvOrXls;
  f.file_name_prefix = "Purchase - 201B - ";
  f.list1 = kAccountsOf(kPurchaseAccounts, kPurchase);
  f.list1_shown = true;
  f.list2 = kTaxTypesWithSelection;
  f.first_item_selected = true;
  f.layout_choice = true;
  f.period_naming = PeriodNaming::kMacroLayoutOnly;
  f.list = &kList201B;
  f.builder = Form201B;
  forms.push_back(f);

  f = {};
  f.code = "201C";
  f.button = "cmd201C";
  f.caption = f.name = "Form 201C";
  f.return_types = kMonthlyQuarterlyHalfYearly;
  f.file_types = kCsvOrXls;
  f.file_name_prefix = "Stock - 201C - ";
  f.list1 = {kProducts, false, ":: Select Product Name ::", false, "products", true};
  f.list2 = {kBatches, false, ":: Sales BatchNo ::", false, "batches", false};
  forms.push_back(f);

  f = {};
  f.code = "202";
  f.button = "cmd202";
  f.caption = "Form 202 (Lumpsum)";
  f.name = "Form 202";
  f.return_types = kMonthlyQuarterlyAnnually;
  f.file_types = kXlsOnly;
  f.file_name_prefix = "Form - 202 - ";
  f.all_items = false;
  f.period_naming = PeriodNaming::kAlways;
  forms.push_back(f);

  f = {};
  f.code = "202A";
  f.button = "cmd202A";
  f.caption = f.name = "Form 202A";
  f.return_types = kMonthlyQuarterlyAnnually;
  f.file_types = kCsvOrXls;
  f.chosen_file_type = ".xls";
  f.file_name_prefix = "Purchase - 202A - ";
  f.list1 = kAccountsOf(kPurchaseAccounts, kPurchase);
  f.list1_shown = true;
  f.list2 = kTaxTypesWithSelection;
  f.first_item_selected = true;
  f.period_name_on_press = true;
  f.period_naming = PeriodNaming::kAlways;
  f.list = &kList202A;
  f.builder = Form202A;
  forms.push_back(f);

  f = {};
  f.code = "202B";
  f.button = "cmd202B";
  f.caption = f.name = "Form 202B";
  f.return_types = kMonthlyQuarterlyAnnually;
  f.file_types = kCsvOrXls;
  f.chosen_file_type = ".xls";
  f.file_name_prefix = "Sales - 202B - ";
  f.list1 = kAccountsOf(kSalesAccounts, kSales);
  f.list1_shown = true;
  f.list2.query = kAllTaxTypes;
  f.list2.only_with_tax_selection = true;
  f.first_item_selected = true;
  f.period_name_on_press = true;
  f.period_naming = PeriodNaming::kAlways;
  f.list = &kList202B;
  f.builder = Form202B;
  forms.push_back(f);

  f = {};
  f.code = "205";
  f.button = "cmd205";
  f.caption = f.name = "Form 205";
  f.return_types = {"Annually"};
  f.file_types = kXlsOnly;
  f.file_name_prefix = "Form 205 - ";
  f.all_items = false;
  forms.push_back(f);

  f = {};
  f.code = "3B";
  f.button = "cmd3B";
  f.caption = "CST Return (Form 3B)";
  f.name = "Form 3B";
  f.return_types = kMonthlyQuarterlyAnnually;
  f.file_types = kXlsOnly;
  f.file_name_prefix = "CST - 3B - ";
  forms.push_back(f);

  for (const bool sales : {true, false}) {
    f = {};
    f.code = sales ? "3BSALES" : "3BPURCHASE";
    f.button = sales ? "cmd3BSales" : "cmd3BPurchase";
    f.caption = sales ? "CST Sales" : "CST Purchase";
    f.name = sales ? "Form 3B Sales" : "Form 3B Purchase";
    f.return_types = kMonthlyQuarterlyHalfYearly;
    f.file_types = kCsvOrXls;
    f.file_name_prefix = sales ? "CST - Sales - " : "CST - Purchase - ";
    f.list1 = {sales ? kCstSalesTaxTypes : kCstPurchaseTaxTypes,
               false,
               kTaxType,
               false,
               "tax-types",
               false};
    f.layout_choice = true;
    f.cst_fields = true;
    f.list = sales ? &kList3BSales : &kList3BPurchase;
    f.builder = sales ? Form3BSales : Form3BPurchase;
    forms.push_back(f);
  }
  return forms;
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
