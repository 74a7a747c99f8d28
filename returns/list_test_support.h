// Test support for the list builders: a build context over an in-memory workbook that the
// test keeps after the run.
#ifndef VATRIX_RETURNS_LIST_TEST_SUPPORT_H_
#define VATRIX_RETURNS_LIST_TEST_SUPPORT_H_

#include <map>

#include <cstdlib>

#include "returns/build_fixture.h"
#include "returns/return_forms.h"
#include "workbook/memory_spreadsheet.h"

namespace vatrix::testing {

// A list run: the builder's surroundings and an in-memory workbook whose sheets carry every
// list template's sheet name ("Sheet1" first), kept after the run.
struct ListRun : BuildFixture {
  ListRun()
      : book({"Sheet1", "FORM201A", "FORM201B", "SALES DETAILS", "PURCHASE DETAILS",
              "List_Showing_Purchase", "List of Sales"}) {
    panel.file_name = "List";
    spreadsheets = [this] { return Borrow(book); };
  }

  // Loads the form's selection lists of the sample company 007 (the installation ctest names
  // in VATRIX_SAMPLE), takes every account of List1 and sets the period. False without a sample.
  bool LoadSample(const std::string& code, const std::string& period_range) {
    const char* sample = std::getenv("VATRIX_SAMPLE");
    if (!sample) return false;
    FormwiseRecordSet(FormwiseChoiceOf(*FindReturnForm(code), sample, "007", false), &lists, ui);
    session.ReturnCode = code;
    session.PeriodRange = period_range;
    for (const ListItem& item : lists.list1) {
      session.AccountCodes +=
          (session.AccountCodes.empty() ? " '" : " , '") + std::to_string(item.code) + "'";
    }
    session.AccountCodes += " ";
    return true;
  }

  // Writes into `row` and below of the list sheet, by row: column → value.
  std::map<int, std::map<int, CellValue>> Rows(int sheet, int first_row) const {
    std::map<int, std::map<int, CellValue>> rows;
    for (const auto& write : book.writes) {
      if (write.sheet == sheet && write.row >= first_row)
        rows[write.row][write.column] = write.value;
    }
    return rows;
  }

  MemorySpreadsheet book;
};

}  // namespace vatrix::testing

#endif  // VATRIX_RETURNS_LIST_TEST_SUPPORT_H_
