#include "returns/list_export.h"

#include <array>
#include <charconv>
#include <memory>
#include <utility>
#include <vector>

#include "app/output_naming.h"
#include "app/text.h"
#include "hostdata/host_error.h"
#include "hostdata/query_helpers.h"
#include "workbook/template_session.h"

namespace vatrix {

namespace {

// Every this many bills the current-record label follows the loop (and at the last bill).
constexpr std::int32_t kProgressStep = 100;
// The rows the macro-driven templates hold before their macro inserts the rest.
constexpr int kMacroPreparedRows = 5;

struct DayMonthYear {
  int day = 0;
  int month = 0;
  int year = 0;
};

std::optional<DayMonthYear> ParseDayMonthYear(std::string_view text) {
  text = Trim(text);
  DayMonthYear date;
  int* parts[] = {&date.day, &date.month, &date.year};
  for (int i = 0; i < 3; ++i) {
    const size_t end = i < 2 ? text.find('/') : text.size();
    if (end == std::string_view::npos || end == 0) return std::nullopt;
    const auto [rest, error] = std::from_chars(text.data(), text.data() + end, *parts[i]);
    if (error != std::errc() || rest != text.data() + end) return std::nullopt;
    text.remove_prefix(i < 2 ? end + 1 : end);
  }
  return date;
}

bool IsCst(std::string_view code) { return code == "3BSALES" || code == "3BPURCHASE"; }

// The size step of a list of `count` bills: the prepared rows of the "Old Type" template.
int SizeStep(bool cst, std::int32_t count) {
  static constexpr std::array<int, 5> kVatSteps = {500, 1000, 5000, 20000, 40000};
  static constexpr std::array<int, 4> kCstSteps = {500, 2000, 20000, 40000};
  const auto pick = [count](const auto& steps) {
    for (int step : steps) {
      if (count <= step) return step;
    }
    return steps.back();
  };
  return cst ? pick(kCstSteps) : pick(kVatSteps);
}

// Where a form's list goes in its template.
struct ListLayout {
  std::string sheet_name;  // "" for the first sheet
  int first_row = 0;
  int trigger_row = 0;  // 0: the template has no macro and no trigger row
  const char* macro_module = "Sheet1";
};

ListLayout LayoutOf(std::string_view code, bool old_type) {
  if (code == "202A") return {"List_Showing_Purchase", 5, 10, "Sheet2"};
  if (code == "202B") return {"List of Sales", 7, 11, "Sheet2"};
  if (old_type) return {"", IsCst(code) ? 3 : 5, 0};
  if (code == "201A") return {"FORM201A", 8, 13};
  if (code == "201B") return {"FORM201B", 8, 13};
  if (code == "3BSALES") return {"SALES DETAILS", 6, 11};
  return {"PURCHASE DETAILS", 6, 11};
}

struct HeaderCell {
  int row;
  int column;
  CellValue value;
};

std::vector<HeaderCell> HeaderCells(std::string_view code, bool old_type, const Session& s) {
  const auto from = ParseDayMonthYear(s.YearFrom).value_or(DayMonthYear{});
  const auto to = ParseDayMonthYear(s.YearTo).value_or(DayMonthYear{});
  const double year = from.year;
  const double month_rule_year = from.month >= 1 && from.month <= 3 ? to.year : from.year;
  const std::string tin(Trim(s.CompanyStNo));
  if (code == "202A") {
    return {{1, 3, tin}, {2, 3, s.PeriodName}, {old_type ? 4 : 3, 3, year}};
  }
  if (code == "202B") {
    return {{2, 3, tin}, {3, 3, s.PeriodName}, {4, 3, old_type ? year : month_rule_year}};
  }
  if (old_type) return {};
  const std::string number = IsCst(code) ? std::string(Trim(s.CompanyCstNo)) : tin;
  return {{2, 3, number}, {3, 3, s.PeriodName}, {4, 3, month_rule_year}};
}

// What decides the cells of a row.
struct RowChoice {
  bool cst = false;
  bool sales_list = false;  // 202B
  bool old_type = true;
  bool from_2008 = true;
  bool bill_amount = false;
  std::string state_field;
  const Session* session = nullptr;
};

// An amount cell: the number, or an empty cell for a null.
CellValue Amount(const Value& value) {
  if (value.kind() == Value::Kind::kNumber) return value.number();
  return value.ToDisplayText();
}

double NumberOrZero(const Value& value) {
  return value.kind() == Value::Kind::kNumber ? value.number() : 0;
}

// A bill date as the text "dd/MM/yyyy".
CellValue DateCell(const Value& value) {
  if (value.kind() == Value::Kind::kText) {
    if (const auto iso = ParseIsoDate(value.text())) return FormatDisplayDate(*iso);
  }
  return value.ToDisplayText();
}

// The first `count` characters of UTF-8 `text`.
std::string Utf8Prefix(const std::string& text, int count) {
  size_t end = 0;
  for (int seen = 0; end < text.size(); ++end) {
    const bool starts_character = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
    if (starts_character && seen++ == count) break;
  }
  return text.substr(0, end);
}

std::string Party(const RecordSet& bill, const Session& session) {
  const Value& party = bill.field("party");
  return party.is_null() ? "Cash A/c" : checkSpChar(party.ToDisplayText(), session.SpecialChars);
}

// The row's cells by column.
std::vector<std::pair<int, CellValue>> RowCells(const RecordSet& bill, const RowChoice& c) {
  const Session& s = *c.session;
  std::vector<std::pair<int, CellValue>> cells = {
      {2, checkSpChar(bill.field("Docno").ToDisplayText(), s.SpecialChars)},
      {3, DateCell(bill.field(c.cst ? "spDate" : "Date"))}};
  if (c.cst) {
    const double tax = NumberOrZero(bill.field("Tax_amt"));
    const double st = NumberOrZero(bill.field("st_amt"));
    cells.insert(cells.end(), {{4, bill.field("cstno").ToDisplayText()},
                               {5, Party(bill, s)},
                               {8, Amount(bill.field("Tax_amt"))},
                               {9, Amount(bill.field("st_amt"))},
                               {10, c.bill_amount ? Amount(bill.field("Bill_amt")) : tax + st}});
    std::string matched;
    const auto state = bill.FieldIndex(c.state_field);
    const std::string state_text(state ? Trim(bill.field(*state).ToDisplayText()) : "");
    if (SearchMyArray(state_text, s.StateNames, &matched)) cells.push_back({6, matched});
    const std::string form(Trim(bill.field("Fname").ToDisplayText()));
    if (SearchMyArray(form, s.DeclarationForms, &matched)) cells.push_back({11, matched});
    return cells;
  }
  std::string tin = bill.field("stno").ToDisplayText();
  if (c.old_type) tin = std::string(Trim(Utf8Prefix(tin, 12)));
  cells.insert(cells.end(), {{4, Party(bill, s)}, {5, tin}});
  if (c.sales_list) {
    cells.push_back({7, Amount(bill.field("Bill_amt"))});
    return cells;
  }
  const double tax = NumberOrZero(bill.field("Tax_amt"));
  const double vat = NumberOrZero(bill.field("Vat_amt"));
  const double atx = NumberOrZero(bill.field("Atx_amt"));
  const CellValue total = c.bill_amount ? Amount(bill.field("Bill_amt"))
                                        : CellValue(c.from_2008 ? tax + atx + vat : tax + vat);
  cells.insert(cells.end(),
               {{7, Amount(bill.field("Tax_amt"))}, {8, Amount(bill.field("Vat_amt"))}});
  if (c.from_2008) {
    cells.insert(cells.end(), {{9, Amount(bill.field("Atx_amt"))}, {10, total}});
  } else {
    cells.push_back({9, total});
  }
  return cells;
}

// True when the bill's key (account, or tax type in the CST lists) is in List1Records. Codes
// of the list are whole numbers, so a key holding a quote cannot be among them.
bool InSelection(BuildContext& context, const Value& key) {
  std::optional<RecordSet>& list = context.lists.list1_records;
  const std::string text = key.ToDisplayText();
  if (!list || text.find('\'') != std::string::npos) return false;
  return rec_found(*list, "Code", text, context.ui);
}

const std::string& AppTitle(const Session& session) {
  static const std::string kDefault = kAppTitle;
  return session.AppTitle.empty() ? kDefault : session.AppTitle;
}

void ReportExportFailure(BuildContext& context, const HostError& error) {
  if (error.number() == kTableUnavailable) {
    context.ui.ShowMessage({AppTitle(context.session),
                            "Necessary DBF File is Open / Unavailable / Used by another "
                            "User.....\r\n\r\nSORRY...We can't proceed further...",
                            MessageIcon::kCritical});
    return;
  }
  context.ui.ShowMessage(
      {"Import Into Excel",
       "Error Number : " + std::to_string(error.number()) + "\r\nError Source : " + error.source() +
           "\r\nError Description : " + error.description() + " " + error.source(),
       MessageIcon::kCritical});
}

// One export run on an open workbook; returns the saved path.
class ListWriter {
 public:
  ListWriter(BuildContext& context, Spreadsheet& book, std::int32_t count)
      : context_(context),
        book_(book),
        count_(count),
        code_(context.session.ReturnCode),
        layout_(LayoutOf(code_, context.panel.old_type)) {}

  std::string Run(std::optional<RecordSet>* records) {
    const Sheet sheet =
        layout_.sheet_name.empty() ? book_.SheetAt(1) : book_.SheetNamed(layout_.sheet_name);
    book_.Activate(sheet);
    context_.workbook.CurrentSheet = sheet;
    if (count_ >= 1) {
      for (const HeaderCell& cell : HeaderCells(code_, context_.panel.old_type, context_.session)) {
        book_.Write(sheet, cell.row, cell.column, cell.value);
      }
      WriteRows(sheet, **records);
    }
    DatabaseClosed(context_, records);
    return CloseExcelApplication(book_, context_.panel.output(), context_.session.FileFormat);
  }

 private:
  void WriteRows(const Sheet& sheet, RecordSet& bills) {
    const RowChoice choice = Choice();
    if (layout_.trigger_row == 0) MakeRoomInOldTemplate(sheet);
    int next_row = layout_.first_row;
    bool macro_ran = false;
    std::int32_t shown = 0;
    std::int32_t last_written = 0;
    for (std::int32_t i = 1; i <= count_ && !bills.eof(); ++i) {
      if (next_row == layout_.trigger_row && !macro_ran) {
        RunInsertMacro(sheet);
        macro_ran = true;
      }
      if (InSelection(context_, bills.field(choice.cst ? "Code" : "Pscode"))) {
        for (const auto& [column, value] : RowCells(bills, choice)) {
          book_.Write(sheet, next_row, column, value);
        }
        ++next_row;
        last_written = i;
        if (shown == 0 || i - shown >= kProgressStep) context_.wait.SetCurrent(shown = i);
      }
      bills.MoveNext();
    }
    if (last_written != shown) context_.wait.SetCurrent(last_written);
  }

  RowChoice Choice() const {
    const Session& s = context_.session;
    return {IsCst(code_),
            code_ == "202B",
            context_.panel.old_type,
            YearOfDate(s.YearFrom) >= 2008,
            context_.panel.bill_amount,
            context_.panel.state_field,
            &s};
  }

  // The template's macro inserts the rows beyond its prepared five; without one, the rows are
  // inserted below the last prepared row, filled like it.
  void RunInsertMacro(const Sheet& sheet) {
    const std::string macro =
        context_.workbook.TemplateName + "!" + layout_.macro_module + ".InsertRowsAndFillFormula1";
    const int more = count_ - kMacroPreparedRows;
    if (!book_.RunMacro(macro, more)) {
      book_.InsertRowsBelow(sheet, layout_.first_row + kMacroPreparedRows - 1, more);
    }
  }

  // A list longer than the largest "Old Type" template gets the missing rows inserted below
  // the last prepared one, so the blank and totals rows stay under the list.
  void MakeRoomInOldTemplate(const Sheet& sheet) {
    const int prepared = SizeStep(IsCst(code_), count_);
    if (count_ <= prepared) return;
    book_.InsertRowsBelow(sheet, layout_.first_row + prepared - 1, count_ - prepared);
  }

  BuildContext& context_;
  Spreadsheet& book_;
  const std::int32_t count_;
  const std::string code_;
  const ListLayout layout_;
};

}  // namespace

int YearOfDate(std::string_view date) {
  const auto parsed = ParseDayMonthYear(date);
  return parsed ? parsed->year : 0;
}

std::string ExcelFileName(std::string_view return_code, bool old_type, int first_year,
                          std::int32_t list_count) {
  const std::string code(return_code);
  const std::string size = std::to_string(SizeStep(IsCst(code), list_count));
  if (code == "201A" || code == "201B") {
    if (!old_type) return "VAT_RET_" + code + "_CSV_M.xls";
    return "VAT_RET_" + code + "_" + size + "_Monthly" + (first_year >= 2008 ? "_New" : "") +
           ".xls";
  }
  if (code == "3BSALES")
    return old_type ? "sales_details_" + size + ".xls" : "SALES_DETAILS_CSV_M.xls";
  if (code == "3BPURCHASE") {
    return old_type ? "purchase_details_" + size + ".xls" : "PURCHASE_DETAILS_CSV_M.xls";
  }
  if (code == "202A" || code == "202B") {
    return old_type && first_year < 2008 ? "" : "VAT_RET_" + code + "_m.xls";
  }
  return "";
}

void DBFToExcel(BuildContext& context, std::optional<RecordSet>* list_records,
                std::int32_t list_count) {
  context.wait.Show();
  context.wait.SetHourglass(true);
  context.wait.SetTotal(list_count);
  const auto path = CheckTemplate(context.master_folder, context.workbook, context.ui);
  if (!path) {
    DatabaseClosed(context, list_records);
    return;
  }
  std::unique_ptr<Spreadsheet> book;
  try {
    book = context.NewSpreadsheet();
    book->Open(*path);
    const std::string saved = ListWriter(context, *book, list_count).Run(list_records);
    book->Quit();
    context.ui.ShowMessage({AppTitle(context.session),
                            "Data Exported Successfully into File : " + saved +
                                "\r\nPlease Verify data of this file with actual data and then "
                                "submit it.",
                            MessageIcon::kInformation});
  } catch (const HostError& error) {
    DatabaseClosed(context, list_records);
    if (book) {
      try {
        book->Quit();
      } catch (const HostError&) {
        // The workbook is let go unsaved either way; the failure above is the one to report.
      }
    }
    ReportExportFailure(context, error);
  }
}

}  // namespace vatrix
