#include "returns/form201.h"

#include <iterator>
#include <optional>

#include "hostdata/query_helpers.h"
#include "returns/builder_run.h"
#include "returns/form201_queries.h"
#include "returns/vat_credit.h"

namespace vatrix {
namespace {

// Sheets 1 and 6 from Q1..Q30.
TurnoverCells TurnoverCellsOf(const Form201Figures& f) {
  TurnoverCells c;
  c.sales = f.Q(1);
  c.purchases = f.Q(2);
  c.class4_sales = f.Q(5);
  c.class5_purchases = f.Q(6);
  c.class9_sales = f.Q(7);
  c.class8_purchases = f.Q(8);
  c.class7_purchases = f.Q(9);
  c.untaxed_sales = f.Q(12) + f.Q(14);
  c.untaxed_purchases = f.Q(13) + f.Q(15);
  c.sale_returns = f.Q(21);
  c.sale_return_tax = f.Q(22);
  c.vat_account_debits = f.Q(27);
  c.returns_and_vat_credits = f.Q(23) + f.Q(29);
  c.vat_account_credit_tax = f.Q(30) + f.Q(24);
  c.vat_account_debit_tax = f.Q(28);
  c.class11_sales = f.Q(3);
  c.class10_purchases = f.Q(4);
  c.central_sales = f.Q(16) + f.Q(18);
  c.central_purchases = f.Q(17) + f.Q(19);
  return c;
}

}  // namespace

Form201Figures ReadForm201Figures(const Connection& connection, const std::string& period_range,
                                  UserInterface& ui) {
  Form201Figures figures;
  for (const std::string& query : Form201AggregateQueries(period_range)) {
    figures.q.push_back(getAmount(connection, query, ui));
  }
  static_cast<RateWiseRows&>(figures) = ReadRateWiseRows(connection, period_range);
  return figures;
}

std::vector<std::string> Form201Queries(const Session& session, const std::string& return_type) {
  std::vector<std::string> queries = VatCreditQueries(session, return_type);
  for (std::vector<std::string> more :
       {Form201AggregateQueries(session.PeriodRange), RateWiseQueries(session.PeriodRange)}) {
    std::move(more.begin(), more.end(), std::back_inserter(queries));
  }
  return queries;
}

void FillForm201(Spreadsheet& sheets, TemplateSession* workbook, const Form201Figures& figures,
                 double vat_credit) {
  workbook->CurrentSheet = sheets.SheetAt(kTurnoverSheet);
  workbook->SecondSheet = sheets.SheetAt(kDeductionsSheet);
  const Sheet deductions = workbook->SecondSheet;
  WriteTurnoverAndDeductions(sheets, workbook->CurrentSheet, deductions, TurnoverCellsOf(figures));
  WriteTaxRateSheet(sheets, workbook, figures.output_tax, figures.purchase_tax);
  workbook->CurrentSheet = sheets.SheetAt(kInputTaxSheet);
  WriteInputTaxSheet(sheets, workbook->CurrentSheet, figures.Q(11), figures.Q(20), figures.Q(10),
                     figures.input_tax);
  workbook->CurrentSheet = sheets.SheetAt(kBalanceSheet);
  WriteBalance(sheets, workbook->CurrentSheet, deductions,
               {.credit_brought_forward = vat_credit > 0 ? vat_credit : 0,
                .sale_return_tax = figures.Q(22),
                .class18_tax = figures.Q(26) - figures.Q(25),
                .unadjusted_blank_if_zero = true});
}

void Form201(BuildContext& context) {
  Session& session = context.session;
  if (!AgeTest(context)) return;
  const std::optional<std::string> path = CheckReturnTemplate(context, kForm201Template);
  if (!path) return;
  RunBuilder(context, FailureReport::kDatabase, "Form 201 - Error", [&](BuilderRun& run) {
    run.OpenAhead(*path);
    const Connection& connection = context.lists.connection;
    connection.Preload(Form201Queries(session, context.panel.return_type));
    VatCreditCheck(&session, connection, context.panel.return_type, context.ui);
    const Form201Figures figures = ReadForm201Figures(connection, session.PeriodRange, context.ui);
    FillForm201(run.Open(*path), &context.workbook, figures, session.VatCredit);
    run.Save();
  });
}

}  // namespace vatrix
