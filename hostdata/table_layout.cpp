#include "hostdata/table_layout.h"

#include <cstring>

#include "hostdata/host_error.h"
#include "hostdata/text.h"

namespace vatrix {

namespace {

// What a column's field must be, as the field types that read it exactly.
enum class Kind { kText, kNumber, kDate, kLogical, kCode, kAny };

struct Column {
  std::string_view name;
  Kind kind;
};

struct Layout {
  TableLayout table;
  std::vector<Column> columns;
};

constexpr Kind T = Kind::kText, N = Kind::kNumber, D = Kind::kDate, L = Kind::kLogical,
               K = Kind::kCode, A = Kind::kAny;

const std::vector<Layout>& Layouts() {
  static const std::vector<Layout> layouts = {
      {{"SP", false, ""},
       {{"LINK", K},
        {"DOCNO", T},
        {"DATE", D},
        {"STOCKDT", D},
        {"VTYPE", T},
        {"CODE", K},
        {"CBR", T},
        {"PSCODE", K},
        {"ST_TYPE", K},
        {"BILL_AMT", N},
        {"TAX_AMT", N},
        {"ST_AMT", N},
        {"AT_AMT", N},
        {"FORM_REQ", L},
        {"FORM_TYPE", K}}},
      {{"ITVAT", false, ""}, {{"LINK", K}, {"VATCODE", K}, {"AMT", N}, {"VAT", N}}},
      {{"STAX", false, ""},
       {{"CODE", K},
        {"NAME", T},
        {"PCN", N},
        {"BC_TAX", N},
        {"VATTYPE", N},
        {"VATDET", T},
        {"TYPE", T},
        {"TAG", A}}},
      {{"ACT", false, ""},
       {{"CODE", K},
        {"NAME", T},
        {"STNO", T},
        {"CSTNO", T},
        {"ADD3", T},
        {"ITNO", T},
        {"LICNO", T},
        {"EMAIL", T},
        {"CATEGORY", T},
        {"STATE", T},
        {"GROUP", K},
        {"ACT_TYPE", N},
        {"OPBAL", N},
        {"FLAG", A},
        {"TAG", A}}},
      {{"CASHCUST", false, ""},
       {{"CODE", K},
        {"NAME", T},
        {"STNO", T},
        {"CSTNO", T},
        {"ADD3", T},
        {"ITNO", T},
        {"LICNO", T},
        {"EMAIL", T},
        {"CATEGORY", T}}},
      {{"LEDGER", false, ""},
       {{"CODE", K},
        {"DATE", D},
        {"VTYPE", T},
        {"DC", T},
        {"AMT", N},
        {"VATCODE", K},
        {"NARR1", T}}},
      {{"STOCK", false, ""},
       {{"CODE", K}, {"BATCHNO", K}, {"DATE", D}, {"QTY", N}, {"AL", T}, {"CHLNLINK", A}}},
      {{"PRODUCT", false, ""},
       {{"CODE", K},
        {"NAME", T},
        {"UNIT1", T},
        {"OP_QTY", N},
        {"TOTIN", N},
        {"TOTOUT", N},
        {"CL_QTY", N},
        {"CLRATE", N},
        {"BATCH", L},
        {"TAG", A}}},
      {{"BATCH", false, ""},
       {{"CODE", K}, {"BATCHNO", K}, {"OP_QTY", N}, {"CLRATE", N}, {"TAG", A}}},
      {{"FORMMAST", false, ""}, {{"CODE", K}, {"NAME", T}}},
      {{"COMPANY", true, "CODE"},
       {{"CODE", K}, {"NAME", T}, {"DFR", D}, {"DTO", D}, {"STNO", T}, {"CSTNO", T}}},
  };
  return layouts;
}

const Layout* FindLayout(std::string_view name) {
  for (const Layout& layout : Layouts()) {
    if (EqualsIgnoreCase(layout.table.table, name)) return &layout;
  }
  return nullptr;
}

// The field types that hold a column of `kind` exactly: text in character, memo and varchar
// fields, numbers in numeric, float, integer, currency and double ones. Fields of other types
// (binary, pictures) are not read, so no column may live in one.
const char* FitTypes(Kind kind) {
  switch (kind) {
    case Kind::kText:
      return "CMV";
    case Kind::kNumber:
      return "NFIYB";
    case Kind::kDate:
      return "D";
    case Kind::kLogical:
      return "L";
    case Kind::kCode:
      return "CNFIV";
    case Kind::kAny:
      break;
  }
  return "CNFDLMIYBTV";
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kText:
      return "character, memo or varchar (C, M or V)";
    case Kind::kNumber:
      return "numeric (N, F, I, Y or B)";
    case Kind::kDate:
      return "date (D)";
    case Kind::kLogical:
      return "logical (L)";
    case Kind::kCode:
      return "character or numeric (C, N, F, I or V)";
    case Kind::kAny:
      break;
  }
  return "character, numeric, date or logical";
}

}  // namespace

const TableLayout* FindTableLayout(std::string_view name) {
  const Layout* layout = FindLayout(name);
  return layout ? &layout->table : nullptr;
}

void CheckTableLayout(std::string_view name, const std::vector<DbfField>& fields,
                      const std::string& path) {
  const Layout* layout = FindLayout(name);
  if (layout == nullptr) return;
  for (const Column& column : layout->columns) {
    const DbfField* field = nullptr;
    for (const DbfField& candidate : fields) {
      if (EqualsIgnoreCase(candidate.name, column.name)) field = &candidate;
    }
    // A column the file lacks stops the first query that names it (Connection::Execute).
    if (field == nullptr) continue;
    const std::string where = "table file " + path + ", field " + field->name;
    if (std::strchr(FitTypes(column.kind), field->type) == nullptr) {
      throw HostError(kCorruptTable,
                      "The field " + field->name + " is of type " + std::string(1, field->type) +
                          " but must be " + KindName(column.kind) + " to be read exactly",
                      where);
    }
  }
}

bool LayoutReads(std::string_view name, std::string_view column) {
  const Layout* layout = FindLayout(name);
  if (layout == nullptr) return false;
  for (const Column& candidate : layout->columns) {
    if (EqualsIgnoreCase(candidate.name, column)) return true;
  }
  return false;
}

}  // namespace vatrix
