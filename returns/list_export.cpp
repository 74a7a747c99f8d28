#include "returns/list_export.h"

#include <utility>
#include <vector>

#include "hostdata/host_error.h"
#include "hostdata/query_helpers.h"
#include "hostdata/text.h"
#include "returns/builder_run.h"
#include "returns/special_characters.h"
#include "workbook/template_session.h"

namespace vatrix {

namespace {

// Every this many bills the current-record label follows the loop (and at the last bill).
constexpr std::int32_t kProgressStep = 100;
// The rows the macro-driven templates hold before their macro inserts the rest.
constexpr int kMacroPreparedRows = 5;

// The size step of a list of `count` bills: the prepared rows of the "Old Type" template.
int SizeStep(const ListFacts& list, std::int32_t count) {
  if (list.size_steps.empty()) return 0;
  for (int step : list.size_steps) {
    if (count <= step) return step;
  }
  return list.size_steps.back();
}

const ListTemplate& TemplateOf(const ListFacts& list, bool old_type) {
  return old_type ? list.old_type : list.macro;
}

// Writes the template's header cells: registration number, period name and year.
void WriteHeaderCells(Spreadsheet& book, const Sheet& sheet, const ListFacts& list,
                      const ListHeader& header, const Session& s) {
  const Date from = ParseDisplayDate(s.YearFrom).value_or(Date{});
  const Date to = ParseDisplayDate(s.YearTo).value_or(Date{});
  const double year =
      header.calendar_year && from.month >= 1 && from.month <= 3 ? to.year : from.year;
  const std::string number(Trim(list.cst ? s.CompanyCstNo : s.CompanyStNo));
  if (header.number_row) book.Write(sheet, header.number_row, 3, number);
  if (header.period_row) book.Write(sheet, header.period_row, 3, s.PeriodName);
  if (header.year_row) book.Write(sheet, header.year_row, 3, year);
}

// What decides the cells of a row.
struct RowChoice {
  bool cst = false;
  bool sales_list = false;  // one amount column, the bill amount
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

// One export run on an open workbook: header cells and one row per selected bill.
class ListWriter {
 public:
  ListWriter(BuildContext& context, const ListFacts& list, Spreadsheet& book, std::int32_t count)
      : context_(context),
        book_(book),
        count_(count),
        list_(list),
        layout_(TemplateOf(list_, context.panel.old_type)) {}

  void Run(std::optional<RecordSet>* bills) {
    const Sheet sheet =
        layout_.sheet.empty() ? book_.SheetAt(1) : book_.SheetNamed(std::string(layout_.sheet));
    book_.Activate(sheet);
    context_.workbook.CurrentSheet = sheet;
    if (count_ < 1) return;
    WriteHeaderCells(book_, sheet, list_, layout_.header, context_.session);
    WriteRows(sheet, **bills);
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
    const auto from = ParseDisplayDate(s.YearFrom);
    return {list_.cst,
            list_.bill_amount,
            context_.panel.old_type,
            from && from->year >= 2008,
            context_.panel.bill_amount,
            context_.panel.state_field,
            &s};
  }

  // The template's macro inserts the rows beyond its prepared five; without one, the rows are
  // inserted below the last prepared row, filled like it.
  void RunInsertMacro(const Sheet& sheet) {
    const std::string macro = context_.workbook.TemplateName + "!" +
                              std::string(layout_.macro_module) + ".InsertRowsAndFillFormula1";
    const int more = count_ - kMacroPreparedRows;
    if (!book_.RunMacro(macro, more)) {
      book_.InsertRowsBelow(sheet, layout_.first_row + kMacroPreparedRows - 1, more);
    }
  }

  // A list longer than the largest "Old Type" template gets the missing rows inserted below
  // the last prepared one, so the blank and totals rows stay under the list.
  void MakeRoomInOldTemplate(const Sheet& sheet) {
    const int prepared = SizeStep(list_, count_);
    if (count_ <= prepared) return;
    book_.InsertRowsBelow(sheet, layout_.first_row + prepared - 1, count_ - prepared);
  }

  BuildContext& context_;
  Spreadsheet& book_;
  const std::int32_t count_;
  const ListFacts& list_;
  const ListTemplate& layout_;
};

}  // namespace

std::string ExcelFileName(const ListFacts& list, bool old_type, int first_year,
                          std::int32_t list_count) {
  if (old_type && list.old_type_from_2008_only && first_year < 2008) return "";
  std::string name(TemplateOf(list, old_type).file_name);
  const auto replace = [&name](std::string_view field, const std::string& value) {
    if (const size_t at = name.find(field); at != std::string::npos) {
      name.replace(at, field.size(), value);
    }
  };
  replace("{size}", std::to_string(SizeStep(list, list_count)));
  replace("{new}", first_year >= 2008 ? "_New" : "");
  return name;
}

void DBFToExcel(BuildContext& context, std::optional<RecordSet>* list_records,
                std::int32_t list_count) {
  context.wait.Show();
  context.wait.SetHourglass(true);
  context.wait.SetTotal(list_count);
  if (const auto path = CheckTemplate(context.master_folder, context.workbook, context.ui)) {
    RunBuilder(context, FailureReport::kListExport, "Import Into Excel", [&](BuilderRun& run) {
      const ReturnForm* form = FindReturnForm(context.session.ReturnCode);
      if (!form || !form->list) {
        throw HostError(kQueryRejected, "the return form has no bill list",
                        "return code \"" + context.session.ReturnCode + "\"");
      }
      // Only a layout whose template makes room by its own macro runs the template's macros.
      const bool macro = TemplateOf(*form->list, context.panel.old_type).trigger_row != 0;
      Spreadsheet& book = macro ? run.OpenWithMacros(*path) : run.Open(*path);
      ListWriter(context, *form->list, book, list_count).Run(list_records);
      DatabaseClosed(context, list_records);
      run.Save();
    });
  }
  // Closed on every way out: after a failure and when the template is missing too.
  DatabaseClosed(context, list_records);
}

}  // namespace vatrix
