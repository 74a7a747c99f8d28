// The text sources of the sample department templates (Master/*.tpl): parsing, expansion of
// the placeholder variants and rendering of one template as a flat ODF spreadsheet (.fods).
// The line format is described in Master/README.md.
#ifndef VATRIX_TOOLS_TEMPLATE_SOURCE_H_
#define VATRIX_TOOLS_TEMPLATE_SOURCE_H_

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vatrix {

// A fault in a template source; what() reads "FILE:LINE: message".
class TemplateSourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One cell: a text, a number ("12.5") or a formula ("=SUM(B3:B23)"), Excel style. A leading
// apostrophe forces a text. `line` is the source line, for messages.
struct CellSource {
  int row = 0;     // 1-based; 0 in a list's per-row cells
  int column = 0;  // 1-based
  std::string value;
  int line = 0;
};

// Prepared list rows: `count` rows from `first_row`, each holding the `each` cells, whose
// values may still contain the row placeholder {r}.
struct ListSource {
  int first_row = 0;
  int count = 0;
  std::vector<CellSource> each;
};

struct SheetSource {
  std::string name;
  std::vector<CellSource> cells;
  std::optional<ListSource> list;
};

struct TemplateSource {
  std::string file_name;  // e.g. "VAT_RET_201_Monthly_new.xls"
  std::vector<SheetSource> sheets;
};

// Parses one source file's text into its templates, every variant expanded and every formula
// checked. `source_name` names the file in messages. Throws TemplateSourceError.
std::vector<TemplateSource> ParseTemplateSource(std::string_view text,
                                                std::string_view source_name);

// Replaces the placeholders {name}, {name+N} and {name-N} of `text` by their values from
// `values` (arithmetic needs an integer value). Throws std::invalid_argument naming the fault.
std::string Substitute(std::string_view text, const std::map<std::string, std::string>& values);

// Translates an Excel-style formula ("=SUM(G5:G9)", "='Tax Rates'!F3*2") into the ODF form
// ("of:=SUM([.G5:.G9])"); `sheets` are the sheet names a reference may name.
// Throws std::invalid_argument naming the fault.
std::string ToOdfFormula(std::string_view formula, const std::vector<std::string>& sheets);

// The whole flat ODF spreadsheet of `source`, list rows expanded; a fixed cell within the list
// rows (as a test fills one) takes the place of that row's own cell of the same column.
std::string RenderFlatOds(const TemplateSource& source);

}  // namespace vatrix

#endif  // VATRIX_TOOLS_TEMPLATE_SOURCE_H_
