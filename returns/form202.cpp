#include "returns/form202.h"

#include <optional>

#include "hostdata/query_helpers.h"
#include "hostdata/text.h"
#include "returns/builder_run.h"

namespace vatrix {
namespace {

constexpr char kSales[] = "SELECT Sum(Bill_amt) AS Amount From SP WHERE (SP.VTYPE='SA') and ";
constexpr char kPurchases[] = "SELECT Sum(Bill_amt) AS Amount From SP WHERE (SP.VTYPE='PU') and ";
constexpr char kClass5Purchases[] =
    "SELECT Sum([Bill_amt]) AS Amount FROM SP LEFT JOIN STAX ON SP.ST_TYPE = STAX.CODE WHERE "
    "SP.VTYPE='PU' AND STAX.VATTYPE=5 And ";

// The rows of the named rates on "PartC"; every other rate goes to row 12.
constexpr struct {
  double rate;
  int row;
} kRateRows[] = {{1, 9}, {5, 10}, {15, 11}};
constexpr int kOtherRatesRow = 12;

// Makes the sheet called `name` current and active.
Sheet MakeCurrent(Spreadsheet& sheets, TemplateSession* workbook, const std::string& name) {
  workbook->CurrentSheet = sheets.SheetNamed(name);
  sheets.Activate(workbook->CurrentSheet);
  return workbook->CurrentSheet;
}

}  // namespace

Form202Queries Form202AggregateQueries(std::string_view day_before_period,
                                       std::string_view period_range, std::string_view period_end) {
  const std::string up_to_before = "SP.DATE<=" + std::string(day_before_period);
  const std::string in_period = "SP.DATE" + std::string(period_range);
  const std::string up_to_end = "SP.DATE<=" + std::string(period_end);
  return {kSales + up_to_before,       kPurchases + up_to_before, kSales + in_period,
          kPurchases + in_period,      kSales + up_to_end,        kPurchases + up_to_end,
          kClass5Purchases + in_period};
}

Form202Figures ReadForm202Figures(const Connection& connection, const Session& session,
                                  UserInterface& ui) {
  const Form202Queries q =
      Form202AggregateQueries(session.DayBeforePeriod, session.PeriodRange, session.PeriodEnd);
  Form202Figures figures;
  figures.sales_open = getAmount(connection, q.sales_open, ui);
  figures.purchases_open = getAmount(connection, q.purchases_open, ui);
  figures.sales_period = getAmount(connection, q.sales_period, ui);
  figures.purchases_period = getAmount(connection, q.purchases_period, ui);
  figures.sales_close = getAmount(connection, q.sales_close, ui);
  figures.purchases_close = getAmount(connection, q.purchases_close, ui);
  figures.class5_purchases = getAmount(connection, q.class5_purchases, ui);
  figures.input_tax = ReadRateRows(connection, InputTaxByRateQuery(session.PeriodRange));
  return figures;
}

std::vector<PartCRow> PartCRows(const std::vector<RateRow>& input_tax) {
  // Rows 9 to 11 hold one rate each and add up its records (the item-wise and the bill-wise
  // half of the query can both give it); row 12 gathers every other rate under one rate text,
  // so the last record written there stays, as the lump-sum return always had it.
  std::optional<RateRow> rows[std::size(kRateRows) + 1];
  for (const RateRow& record : input_tax) {
    size_t slot = std::size(kRateRows);
    for (size_t i = 0; i < std::size(kRateRows); ++i) {
      if (record.rate == kRateRows[i].rate) slot = i;
    }
    std::optional<RateRow>& row = rows[slot];
    if (slot == std::size(kRateRows) || !row) {
      row = record;
    } else {
      row->taxable = RoundHalfEven(row->taxable + record.taxable, 2);
      row->vat = RoundHalfEven(row->vat + record.vat, 2);
      row->additional = RoundHalfEven(row->additional + record.additional, 2);
    }
  }
  std::vector<PartCRow> result;
  for (size_t i = 0; i < std::size(rows); ++i) {
    if (!rows[i]) continue;
    result.push_back({i < std::size(kRateRows) ? kRateRows[i].row : kOtherRatesRow, *rows[i]});
  }
  return result;
}

void FillForm202(Spreadsheet& sheets, TemplateSession* workbook, const Form202Figures& f,
                 const Form202Header& header) {
  const Sheet basic = MakeCurrent(sheets, workbook, "Basic Info");
  sheets.Write(basic, 2, 2, header.registration_number);
  sheets.Write(basic, 3, 2, header.period_name);
  sheets.Write(basic, 4, 2, static_cast<double>(header.year));

  const Sheet turnover = MakeCurrent(sheets, workbook, "PartA");
  sheets.Write(turnover, 3, 2, f.sales_open);
  sheets.Write(turnover, 3, 3, f.purchases_open);
  sheets.Write(turnover, 4, 2, f.sales_period);
  sheets.Write(turnover, 4, 3, f.purchases_period);
  sheets.Write(turnover, 5, 2, f.sales_close);
  sheets.Write(turnover, 5, 3, f.purchases_close);

  const Sheet tax = MakeCurrent(sheets, workbook, "PartB");
  sheets.Write(tax, 2, 2, 0.0);
  sheets.Write(tax, 5, 2, f.sales_period);
  sheets.Write(tax, 6, 2, f.sales_period * kLumpSumRate);
  sheets.Write(tax, 7, 2, 0.0);
  sheets.Write(tax, 8, 2, 0.0);

  const Sheet purchases = MakeCurrent(sheets, workbook, "PartC");
  sheets.Write(purchases, 2, 2, f.purchases_period);
  sheets.Write(purchases, 4, 2, f.class5_purchases);
  for (const PartCRow& row : PartCRows(f.input_tax)) {
    sheets.Write(purchases, row.row, 2, RateText(row.rate.rate) + "%");
    sheets.Write(purchases, row.row, 4, row.rate.taxable);
    sheets.Write(purchases, row.row, 5, row.rate.vat);
    sheets.Write(purchases, row.row, 6, row.rate.additional);
  }
}

void Form202(BuildContext& context) {
  Session& session = context.session;
  const std::optional<int> year = AgeTest(context);
  if (!year) return;
  if (context.SetPeriodName) context.SetPeriodName();
  const std::optional<std::string> path = CheckReturnTemplate(context, kForm202Template);
  if (!path) return;
  RunBuilder(context, FailureReport::kDatabaseThenEnd, "Form 202 - Error", [&](BuilderRun& run) {
    run.OpenAhead(*path);
    const Form202Figures figures =
        ReadForm202Figures(context.lists.connection, session, context.ui);
    const Form202Header header = {std::string(Trim(session.CompanyStNo)), session.PeriodName,
                                  *year};
    FillForm202(run.Open(*path), &context.workbook, figures, header);
    run.Save();
  });
}

}  // namespace vatrix
