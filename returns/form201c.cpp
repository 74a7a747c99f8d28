#include "returns/form201c.h"

#include <optional>

#include "hostdata/failure_report.h"
#include "hostdata/host_error.h"
#include "hostdata/text.h"
#include "returns/builder_run.h"
#include "returns/field_cells.h"
#include "returns/special_characters.h"

namespace vatrix {
namespace {

constexpr char kTitle[] = "Form 201C";
constexpr std::int32_t kProgressStep = 100;

ListChoice ChoiceOf(bool all) { return all ? ListChoice::kAll : ListChoice::kSelected; }

// The success message's last line when rows were left out.
std::string LeftOutLine(std::int32_t left_out) {
  return std::to_string(left_out) + (left_out == 1 ? " row" : " rows") +
         " of the stock did not fit into the template (sheet rows " +
         std::to_string(kForm201CFirstRow) + " to " + std::to_string(kForm201CLastRow) + ") and " +
         (left_out == 1 ? "was" : "were") + " left out.";
}

void WriteRow(Spreadsheet& sheets, const Sheet& sheet, int row, const RecordSet& stock,
              const std::vector<std::string>& special_chars) {
  const std::string name(Trim(stock.field("Name").ToDisplayText()));
  const std::string batch(Trim(stock.field("BatchNo").ToDisplayText()));
  sheets.Write(sheet, row, 2, checkSpChar(name + " " + batch, special_chars));
  int column = 4;
  for (const char* field : {"OpQty", "Received", "Issued", "Balance", "ClosingValue"}) {
    sheets.Write(sheet, row, column++, CellAsRead(stock.field(field)));
  }
}

// Opens the stock query; a failure is reported and gives nullopt.
std::optional<RecordSet> OpenStock(BuildContext& context, ListChoice products, ListChoice batches) {
  const Session& session = context.session;
  const SelectionLists& lists = context.lists;
  try {
    const std::string query =
        StockStatementQuery(session.PeriodStart, session.PeriodRange,
                            ProductCondition(products, lists.list1, context.panel.list1_selected),
                            BatchCondition(batches, lists.list2, context.panel.list2_selected));
    return lists.connection.Execute(query);
  } catch (const HostError& error) {
    ReportDatabaseFailure(context.ui, AppTitleOf(session), kTitle, error);
    return std::nullopt;
  }
}

}  // namespace

std::int32_t FillForm201C(Spreadsheet& sheets, TemplateSession* workbook, RecordSet& stock,
                          const std::vector<std::string>& special_chars, WaitPanel& wait) {
  workbook->CurrentSheet = sheets.SheetAt(1);
  const Sheet& sheet = workbook->CurrentSheet;
  const std::int32_t count = stock.record_count();
  std::int32_t written = 0;
  stock.MoveFirst();
  for (int row = kForm201CFirstRow; row <= kForm201CLastRow && !stock.eof(); ++row) {
    WriteRow(sheets, sheet, row, stock, special_chars);
    ++written;
    if (written == 1 || written % kProgressStep == 0) wait.SetCurrent(written);
    stock.MoveNext();
  }
  wait.SetCurrent(written);
  return count - written;
}

void Form201C(BuildContext& context) {
  Form201CWithLists(context, ChoiceOf(context.panel.all_list1), ChoiceOf(context.panel.all_list2));
}

void Form201CWithLists(BuildContext& context, ListChoice products, ListChoice batches) {
  context.workbook.TemplateName = kForm201CTemplate;
  std::optional<RecordSet> stock = OpenStock(context, products, batches);
  if (!stock) return;
  if (stock->record_count() == 0) {
    context.ui.ShowMessage({AppTitleOf(context.session), "No Record Found for Vatrix.....",
                            MessageIcon::kCritical, MessageButtons::kOk});
    DatabaseClosed(context, &stock);
    return;
  }
  const std::optional<std::string> path =
      CheckTemplate(context.master_folder, context.workbook, context.ui);
  if (!path) {
    DatabaseClosed(context, &stock);
    return;
  }
  RunBuilder(context, FailureReport::kDatabase, kTitle, [&](BuilderRun& run) {
    const std::int32_t left_out = FillForm201C(run.Open(*path), &context.workbook, *stock,
                                               context.session.SpecialChars, context.wait);
    DatabaseClosed(context, &stock);
    run.Save({.last_line = left_out > 0 ? LeftOutLine(left_out) : ""});
  });
}

}  // namespace vatrix
