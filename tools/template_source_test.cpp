#include "tools/template_source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

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

std::vector<TemplateSource> MasterTemplates() {
  std::vector<TemplateSource> all;
  for (const fs::directory_entry& entry : fs::directory_iterator(VATRIX_MASTER_SOURCES)) {
    if (entry.path().extension() != ".tpl") continue;
    for (TemplateSource& source :
         ParseTemplateSource(Slurp(entry.path()), entry.path().filename().string())) {
      all.push_back(std::move(source));
    }
  }
  return all;
}

const TemplateSource& Named(const std::vector<TemplateSource>& all, const std::string& name) {
  for (const TemplateSource& source : all) {
    if (source.file_name == name) return source;
  }
  throw std::runtime_error("no template " + name);
}

bool IsFormula(const SheetSource& sheet, int row, int column) {
  const CellSource* cell = FindCell(sheet, row, column);
  return cell != nullptr && cell->value.front() == '=';
}

// The names the builders open, the prepared rows of each list and the cells they read back.
TEST(MasterTemplatesTest, CoverEveryNameSheetListAndReadBackCell) {
  std::vector<TemplateSource> all = MasterTemplates();
  std::set<std::string> expected = {
      "VAT_RET_201_Monthly_new.xls", "VAT_RET_201C_Monthly.xls", "VAT_RET_202_m_Monthly.xls",
      "VAT_RET_205_Yearly_new.xls",  "CST_RET_FORM_3B_NEW.xls",  "VAT_RET_202A_m.xls",
      "VAT_RET_202B_m.xls",          "SALES_DETAILS_CSV_M.xls",  "PURCHASE_DETAILS_CSV_M.xls"};
  std::map<std::string, std::pair<int, int>> lists;  // name -> first row, rows
  for (const char* form : {"201A", "201B"}) {
    expected.insert(std::string("VAT_RET_") + form + "_CSV_M.xls");
    lists[std::string("VAT_RET_") + form + "_CSV_M.xls"] = {8, 5};
    for (int size : {500, 1000, 5000, 20000, 40000}) {
      std::string base = std::string("VAT_RET_") + form + "_" + std::to_string(size) + "_Monthly";
      for (const std::string& name : {base + ".xls", base + "_New.xls"}) {
        expected.insert(name);
        lists[name] = {5, size};
      }
    }
  }
  for (const char* kind : {"sales", "purchase"}) {
    for (int size : {500, 2000, 20000, 40000}) {
      std::string name = std::string(kind) + "_details_" + std::to_string(size) + ".xls";
      expected.insert(name);
      lists[name] = {3, size};
    }
  }
  lists["SALES_DETAILS_CSV_M.xls"] = lists["PURCHASE_DETAILS_CSV_M.xls"] = {6, 5};
  lists["VAT_RET_202A_m.xls"] = {5, 5};
  lists["VAT_RET_202B_m.xls"] = {7, 5};
  lists["VAT_RET_201C_Monthly.xls"] = {3, 4996};
  std::set<std::string> names;
  for (const TemplateSource& source : all) names.insert(source.file_name);
  EXPECT_EQ(names, expected);
  for (const auto& [name, list] : lists) {
    const SheetSource& sheet = Named(all, name).sheets.at(0);
    ASSERT_TRUE(sheet.list) << name;
    EXPECT_EQ(sheet.list->first_row, list.first) << name;
    EXPECT_EQ(sheet.list->count, list.second) << name;
    for (const CellSource& cell : sheet.list->each) {
      EXPECT_TRUE(cell.column < 2 || cell.column > 11) << name << ": builders write columns 2-11";
    }
  }
  EXPECT_EQ(Named(all, "VAT_RET_201A_CSV_M.xls").sheets[0].name, "FORM201A");
  EXPECT_EQ(Named(all, "VAT_RET_201B_CSV_M.xls").sheets[0].name, "FORM201B");
  EXPECT_EQ(Named(all, "PURCHASE_DETAILS_CSV_M.xls").sheets[0].name, "PURCHASE DETAILS");
  EXPECT_EQ(Named(all, "VAT_RET_202A_m.xls").sheets[0].name, "List_Showing_Purchase");
  EXPECT_EQ(Named(all, "VAT_RET_202B_m.xls").sheets[0].name, "List of Sales");
  std::vector<std::string> form202;
  for (const SheetSource& sheet : Named(all, "VAT_RET_202_m_Monthly.xls").sheets) {
    form202.push_back(sheet.name);
  }
  EXPECT_EQ(form202, (std::vector<std::string>{"Basic Info", "PartA", "PartB", "PartC"}));
  for (const char* name : {"VAT_RET_201_Monthly_new.xls", "VAT_RET_205_Yearly_new.xls"}) {
    const TemplateSource& source = Named(all, name);
    ASSERT_GE(source.sheets.size(), 6u) << name;
    EXPECT_TRUE(IsFormula(source.sheets[5], 24, 2) && IsFormula(source.sheets[5], 24, 3)) << name;
    for (int row : {5, 20, 27}) EXPECT_TRUE(IsFormula(source.sheets[3], row, 2)) << name << row;
    for (int row : {3, 6, 7, 22, 26, 28, 29, 30, 32}) {
      EXPECT_EQ(FindCell(source.sheets[3], row, 2), nullptr) << name << ": builder writes " << row;
    }
  }
  EXPECT_EQ(Named(all, "VAT_RET_205_Yearly_new.xls").sheets.size(), 7u);
  EXPECT_TRUE(IsFormula(Named(all, "CST_RET_FORM_3B_NEW.xls").sheets.at(5), 2, 2));
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
