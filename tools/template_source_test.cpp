#include "tools/template_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace vatrix {
namespace {

namespace fs = std::filesystem;

std::string ErrorOf(std::string_view text) {
  try {
    ParseTemplateSource(text, "t.tpl");
  } catch (const TemplateSourceError& error) {
    return error.what();
  }
  return "(no error)";
}

const CellSource* FindCell(const SheetSource& sheet, int row, int column) {
  for (const CellSource& cell : sheet.cells) {
    if (cell.row == row && cell.column == column) return &cell;
  }
  return nullptr;
}

TEST(TemplateSourceTest, ExpandsVariantsListsAndPlaceholders) {
  std::vector<TemplateSource> templates = ParseTemplateSource(
      "# two kinds, two sizes\n"
      "template {kind}_{size}.xls\n"
      "vary kind,KIND sales,SALES purchase,PURCHASE\n"
      "vary size 3 7\n"
      "sheet {KIND} DETAILS\n"
      "cell A1 {kind} list\n"
      "list 4 {size}\n"
      "each A =ROW()-{first-1}\n"
      "each L =H{r}+I{r}\n"
      "cell H{last+2} =SUM(H{first}:H{last+1})\n"
      "template copy.xls\n"
      "copy sales_7.xls\n"
      "sheet Extra\n",
      "t.tpl");
  ASSERT_EQ(templates.size(), 5u);
  EXPECT_EQ(templates[0].file_name, "sales_3.xls");
  EXPECT_EQ(templates[3].file_name, "purchase_7.xls");
  const SheetSource& sheet = templates[3].sheets[0];
  EXPECT_EQ(sheet.name, "PURCHASE DETAILS");
  ASSERT_TRUE(sheet.list);
  EXPECT_EQ(sheet.list->first_row, 4);
  EXPECT_EQ(sheet.list->count, 7);
  EXPECT_EQ(sheet.list->each[0].value, "=ROW()-3");
  EXPECT_EQ(sheet.list->each[1].value, "=H{r}+I{r}");
  const CellSource* total = FindCell(sheet, 12, 8);
  ASSERT_NE(total, nullptr);
  EXPECT_EQ(total->value, "=SUM(H4:H11)");
  EXPECT_EQ(FindCell(sheet, 1, 1)->value, "purchase list");
  ASSERT_EQ(templates[4].sheets.size(), 2u);
  EXPECT_EQ(templates[4].sheets[0].name, "SALES DETAILS");
  EXPECT_EQ(templates[4].sheets[1].name, "Extra");
}

TEST(TemplateSourceTest, RejectsHostileSourcesWithFileAndLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"sheet A\n", "t.tpl:1: expected 'template'"},
      {"template a.xls\nfrobnicate\n", "t.tpl:2: unknown keyword"},
      {"template a.xls\ncell A1 x\n", "t.tpl:2: cell before a sheet"},
      {"template a.xls\nsheet S\ncell A0 x\n", "t.tpl:3: cell A0 lies outside"},
      {"template a.xls\nsheet S\ncell IW1 x\n", "t.tpl:3: cell IW1 lies outside"},
      {"template a.xls\nsheet S\ncell A1\n", "t.tpl:3: cell A1 has no value"},
      {"template a.xls\nsheet S\ncell A1 x\ncell A1 y\n", "t.tpl:4: cell A1 given twice"},
      {"template a.xls\nsheet S\nlist 5 3\ncell B6 x\n", "t.tpl:4: cell B6 lies in the list rows"},
      {"template a.xls\nsheet S\ncell B6 x\nlist 5 3\n", "t.tpl:4: list rows cover"},
      {"template a.xls\nsheet S\nlist 60000 10000\n", "t.tpl:3: list needs"},
      {"template a.xls\nsheet S\neach A 1\n", "t.tpl:3: each before"},
      {"template a.xls\nsheet S\nsheet s\n", "t.tpl:3: sheet 's' named twice"},
      {"template a.xls\nsheet A:B\n", "t.tpl:2: sheet name 'A:B'"},
      {"template ../evil.xls\nsheet S\n", "t.tpl:1: template name '../evil.xls'"},
      {"template a.xls\n", "t.tpl:1: template a.xls has no sheet"},
      {"template a.xls\nsheet S\ntemplate A.XLS\nsheet S\n",
       "t.tpl:3: template A.XLS defined twice"},
      {"template a.xls\nsheet S\ncell A1 {nope}\n", "t.tpl:3: unknown placeholder {nope}"},
      {"template a{n}.xls\nvary n a b\nsheet S\ncell A1 {n+1}\n", "needs a whole number"},
      {"template a.xls\nvary k,j 1 2,3\nsheet S\n", "t.tpl:2: value '1' does not match"},
      {"template a.xls\nvary r 1\nsheet S\n", "t.tpl:2: bad or reserved"},
      {"template a.xls\nsheet S\nvary k 1\n", "t.tpl:3: vary belongs"},
      {"template a.xls\ncopy b.xls\n", "t.tpl:2: copy names no earlier template"},
      {"template a.xls\nsheet S\ntemplate b.xls\ncopy a.xls\ncell A1 x\n",
       "t.tpl:5: cell before a sheet of this template"},
      {"template a.xls\nsheet S\ncell A1 =Other!A1\n", "t.tpl:3: formula names unknown sheet"},
      {"template a.xls\nsheet S\ncell A1 =SUM(A2:A3\x01)\n", "t.tpl:3: control character"},
      {"template a.xls\nsheet S\nlist 2 2\neach A =B{r}+[C2]\n",
       "t.tpl:4: unexpected character '['"},
  };
  for (const Case& c : cases) {
    EXPECT_NE(ErrorOf(c.text).find(c.message), std::string::npos)
        << "source:\n"
        << c.text << "gave: " << ErrorOf(c.text);
  }
  EXPECT_NE(ErrorOf("template a.xls\nsheet S\ncell A1 " + std::string(5000, 'x') + "\n")
                .find("t.tpl:3: line longer"),
            std::string::npos);
  std::string many = "template a{a}{b}{c}.xls\n";
  for (char name : std::string("abc")) {
    many += std::string("vary ") + name + " 0 1 2 3 4 5 6 7 8 9 10\n";
  }
  EXPECT_NE(ErrorOf(many + "sheet S\n").find("more than 1000 variants"), std::string::npos);
}

TEST(TemplateSourceTest, TranslatesFormulasToOdf) {
  std::vector<std::string> sheets = {"Tax Rates", "Balance", "O'Brien"};
  EXPECT_EQ(ToOdfFormula("=SUM(B3:B23)", sheets), "of:=SUM([.B3:.B23])");
  EXPECT_EQ(ToOdfFormula("=ROW()-4", sheets), "of:=ROW()-4");
  EXPECT_EQ(ToOdfFormula("=SUM('Tax Rates'!F3:G32767)+Balance!$B$3", sheets),
            "of:=SUM([$'Tax Rates'.F3:.G32767])+[$'Balance'.$B$3]");
  EXPECT_EQ(ToOdfFormula("='O''Brien'!A1", sheets), "of:=[$'O''Brien'.A1]");
  EXPECT_EQ(ToOdfFormula("=IF(A1>0,\"a,b\"\"c\",1.5E3)", sheets),
            "of:=IF([.A1]>0;\"a,b\"\"c\";1.5E3)");
  EXPECT_EQ(ToOdfFormula("=LOG10(100)*ln(2)", sheets), "of:=LOG10(100)*LN(2)");
  const char* bad[] = {"SUM(A1)", "=A1:",           "=NAME+1",        "=Missing!A1",
                       "=IW1",    "=A1:B0",         "=\"open",        "='Tax Rates'A1",
                       "=A1;B1",  "=SUM(A1",        "=SUM(A1))",      "= ",
                       "={1}",    "='Tax Rates!A1", "=Balance!SUM(1)"};
  for (const char* formula : bad) {
    EXPECT_THROW(ToOdfFormula(formula, sheets), std::invalid_argument) << formula;
  }
}

TEST(TemplateSourceTest, RendersCellsRowsAndListRows) {
  std::vector<TemplateSource> templates = ParseTemplateSource(
      "template a.xls\n"
      "sheet A&B\n"
      "cell A1 <Total> & \"more\"\n"
      "cell C1 12.5\n"
      "cell D1 '2008\n"
      "cell B3 -7\n"
      "list 5 3\n"
      "each A =ROW()-4\n"
      "each C =A{r}*2\n"
      "cell B10 =SUM(C5:C8)\n",
      "t.tpl");
  std::string ods = RenderFlatOds(templates[0]);
  EXPECT_NE(ods.find("table:name=\"A&amp;B\""), std::string::npos);
  EXPECT_NE(ods.find("<text:p>&lt;Total&gt; &amp; &quot;more&quot;</text:p>"), std::string::npos);
  EXPECT_NE(ods.find("office:value-type=\"float\" office:value=\"12.5\""), std::string::npos);
  EXPECT_NE(ods.find("<text:p>2008</text:p>"), std::string::npos);
  EXPECT_NE(ods.find("office:value=\"-7\""), std::string::npos);
  // Row 1, one empty row, row 3, one empty row, list rows 5 to 7, two empty rows, row 10.
  std::string expected_rows[] = {
      "table:number-rows-repeated=\"1\"", "[.A5]*2",           "[.A6]*2", "[.A7]*2",
      "table:number-rows-repeated=\"2\"", "of:=SUM([.C5:.C8])"};
  size_t at = 0;
  for (const std::string& piece : expected_rows) {
    at = ods.find(piece, at);
    ASSERT_NE(at, std::string::npos) << piece;
  }
  templates[0].sheets[0].cells.push_back({6, 3, "99", 0});  // a value written over a list row
  ods = RenderFlatOds(templates[0]);
  EXPECT_NE(ods.find("office:value=\"99\""), std::string::npos);
  EXPECT_EQ(ods.find("[.A6]*2"), std::string::npos);
  EXPECT_NE(ods.find("[.A7]*2"), std::string::npos);
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<TemplateSource> Parse(const std::string& file) {
  return ParseTemplateSource(Slurp(fs::path(VATRIX_MASTER_SOURCES) / file), file);
}

// The largest all-digit part of `name` between underscores ("VAT_RET_201A_5000_Monthly.xls":
// 5000), the number of prepared rows the name promises; 0 when it has none.
int SizeInName(const std::string& name) {
  int size = 0;
  std::string stem = fs::path(name).stem().string();
  for (size_t begin = 0; begin <= stem.size();) {
    size_t end = std::min(stem.find('_', begin), stem.size());
    std::string part = stem.substr(begin, end - begin);
    if (!part.empty() && part.size() < 9 &&
        part.find_first_not_of("0123456789") == std::string::npos) {
      size = std::max(size, std::stoi(part));
    }
    begin = end + 1;
  }
  return size;
}

// Every template of the list sources has its list on the first sheet, at least as many rows
// as its name promises, and leaves the columns the export writes (2 to 11) to the export.
TEST(MasterTemplatesTest, ListTemplatesPrepareTheRowsTheirNamePromises) {
  int lists = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(VATRIX_MASTER_SOURCES)) {
    std::string file = entry.path().filename().string();
    if (file.rfind("lists_", 0) != 0 || entry.path().extension() != ".tpl") continue;
    for (const TemplateSource& source : Parse(file)) {
      const std::optional<ListSource>& list = source.sheets.at(0).list;
      ASSERT_TRUE(list) << source.file_name;
      EXPECT_GE(list->count, SizeInName(source.file_name)) << source.file_name;
      for (const CellSource& cell : list->each) {
        EXPECT_TRUE(cell.column < 2 || cell.column > 11) << source.file_name;
      }
      ++lists;
    }
  }
  EXPECT_GT(lists, 0);
}

// Form 205 is Form 201 with one more sheet, so Form 201's read-back cells hold for both.
TEST(MasterTemplatesTest, Form205StartsWithTheSheetsOfForm201) {
  std::vector<TemplateSource> returns = Parse("return_201_205.tpl");
  ASSERT_EQ(returns.size(), 2u);
  TemplateSource form205 = returns[1];
  ASSERT_EQ(form205.sheets.size(), returns[0].sheets.size() + 1);
  form205.sheets.pop_back();
  EXPECT_EQ(RenderFlatOds(form205), RenderFlatOds(returns[0]));
}

// Damaged copies of the real sources either parse or fail with a message; nothing crashes.
TEST(MasterTemplatesTest, DamagedSourcesNeverCrash) {
  std::string text = Slurp(fs::path(VATRIX_MASTER_SOURCES) / "return_201_205.tpl");
  std::mt19937 random(7);
  const std::string alphabet = "{}=!'\":,$+-AZ09 \n\t#\x01";
  for (int round = 0; round < 300; ++round) {
    std::string damaged = text;
    for (int edit = 0; edit < 5; ++edit) {
      size_t at = random() % damaged.size();
      if (random() % 2) {
        damaged[at] = alphabet[random() % alphabet.size()];
      } else {
        damaged.erase(at, random() % 20);
      }
    }
    try {
      for (const TemplateSource& source : ParseTemplateSource(damaged, "d.tpl")) {
        RenderFlatOds(source);
      }
    } catch (const TemplateSourceError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("d.tpl:", 0), 0u) << error.what();
    }
  }
}

}  // namespace
}  // namespace vatrix
