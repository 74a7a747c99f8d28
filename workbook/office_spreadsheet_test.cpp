// Runs the engine against the real office: templates are written at test time as flat
// spreadsheet files (one carries a Basic macro) and turned into .xls files by the engine.
#include "workbook/office_spreadsheet.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "hostdata/host_error.h"

namespace vatrix {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

bool ProcessGone(pid_t pid) { return pid > 0 && kill(pid, 0) != 0 && errno == ESRCH; }

// A flat spreadsheet file: "=..." cells are formulas, cells that parse as numbers are numbers.
std::string Fods(
    const std::vector<std::pair<std::string, std::vector<std::vector<std::string>>>>& sheets,
    const std::string& basic_module = "") {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document "
      "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
      "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
      "xmlns:script=\"urn:oasis:names:tc:opendocument:xmlns:script:1.0\" "
      "xmlns:ooo=\"http://openoffice.org/2004/office\" "
      "xmlns:of=\"urn:oasis:names:tc:opendocument:xmlns:of:1.2\" office:version=\"1.2\" "
      "office:mimetype=\"application/vnd.oasis.opendocument.spreadsheet\">\n";
  if (!basic_module.empty()) {
    xml +=
        "<office:scripts><office:script script:language=\"ooo:Basic\"><ooo:libraries>"
        "<ooo:library-embedded ooo:name=\"Standard\"><ooo:module ooo:name=\"Sheet1\">"
        "<ooo:source-code>" +
        basic_module +
        "</ooo:source-code></ooo:module></ooo:library-embedded></ooo:libraries>"
        "</office:script></office:scripts>\n";
  }
  xml += "<office:body><office:spreadsheet>\n";
  for (const auto& [name, rows] : sheets) {
    xml += "<table:table table:name=\"" + name + "\">\n";
    for (const auto& row : rows) {
      xml += "<table:table-row>";
      for (const std::string& cell : row) {
        char* end = nullptr;
        std::strtod(cell.c_str(), &end);
        if (cell.empty()) {
          xml += "<table:table-cell/>";
        } else if (cell[0] == '=') {
          xml += "<table:table-cell table:formula=\"of:" + cell + "\"/>";
        } else if (*end == '\0') {
          xml += "<table:table-cell office:value-type=\"float\" office:value=\"" + cell + "\"/>";
        } else {
          xml += "<table:table-cell office:value-type=\"string\"><text:p>" + cell +
                 "</text:p></table:table-cell>";
        }
      }
      xml += "</table:table-row>\n";
    }
    xml += "</table:table>\n";
  }
  return xml + "</office:spreadsheet></office:body></office:document>\n";
}

// A list sheet: title, a header cell with a value, prepared rows 8-12 (serial number in A,
// a check total in L) and a totals row 13; a second sheet reads the list total.
std::string ListTemplate(const std::string& basic_module = "") {
  std::vector<std::vector<std::string>> list = {{"Invoice list"}, {"", "TIN", "5"}};
  list.resize(7);
  for (int row = 8; row <= 12; ++row) {
    const std::string r = std::to_string(row);
    list.push_back(
        {"=ROW()-7", "", "", "", "", "", "", "", "", "", "", "=[.G" + r + "]+[.H" + r + "]"});
  }
  list.push_back(
      {"", "", "", "", "", "Total", "=SUM([.G8:.G12])", "", "", "", "", "=SUM([.L8:.L12])"});
  return Fods({{"FORM201A", list}, {"Totals", {{"List total", "=[FORM201A.L13]", "=1/[.D1]"}}}},
              basic_module);
}

// The version recorded in a fresh profile, so that the office skips its first-start self-tests.
TEST(OfficeVersionTest, ComesFromTheOfficeConfiguration) {
  std::ifstream in(DefaultOfficeOptions().program_dir + "/../share/registry/main.xcd");
  const std::string installed((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
  const std::optional<std::string> version = OfficeVersionOf(installed);
  ASSERT_TRUE(version);
  EXPECT_NE(version->find('.'), std::string::npos) << *version;

  // The declaration of the property carries no value; the product's setting does.
  EXPECT_EQ(OfficeVersionOf("<prop oor:name=\"ooSetupVersion\" oor:type=\"xs:string\"><value/>"
                            "</prop><prop oor:name=\"ooSetupVersion\"><value>24.8</value>"),
            "24.8");
  EXPECT_EQ(OfficeVersionOf("<prop oor:name=\"ooSetupVersion\">\n <value>7.4</value>"), "7.4");
  EXPECT_EQ(OfficeVersionOf("<prop oor:name=\"ooSetupVersion\"><value>7.4<x/></value>"),
            std::nullopt);
  EXPECT_EQ(OfficeVersionOf("<prop oor:name=\"ooSetupVersion\"><value>"), std::nullopt);
  EXPECT_EQ(OfficeVersionOf(""), std::nullopt);
}

class OfficeSpreadsheetTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { office_ = new Office(); }
  static void TearDownTestSuite() {
    const pid_t pid = office_->pid();
    delete office_;
    office_ = nullptr;
    EXPECT_TRUE(pid == -1 || ProcessGone(pid)) << "the office outlived its Office";
  }

  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vatrix-office-test-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "Master");
    fs::create_directories(dir_ / "out");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The list template as an .xls file, written by the engine from its flat form.
  std::string XlsTemplate(const std::string& name = "VAT_RET_201A_CSV_M.xls") {
    const fs::path flat = dir_ / "list.fods";
    WriteFile(flat, ListTemplate());
    const std::string xls = (dir_ / "Master" / name).string();
    OfficeSpreadsheet book(*office_);
    book.Open(flat.string());
    book.SaveAs(xls, kFormatExcel97);
    book.Close();
    return xls;
  }

  std::string Out(const std::string& name) const { return (dir_ / "out" / name).string(); }

  static Office* office_;
  fs::path dir_;
};

Office* OfficeSpreadsheetTest::office_ = nullptr;

TEST_F(OfficeSpreadsheetTest, WritesReadFormulasAndSaveBothFormats) {
  const std::string xls = XlsTemplate();
  const std::string template_bytes = ReadFile(xls);
  const auto template_time = fs::last_write_time(xls);

  OfficeSpreadsheet book(*office_);
  book.Open(xls);
  const Sheet list = book.SheetAt(1);
  EXPECT_EQ(list.name, "FORM201A");
  EXPECT_EQ(book.SheetNamed("totals").position, 2);
  book.Activate(list);
  book.Write(list, 2, 3, std::string());  // blank over the template's 5
  book.Write(list, 8, 2, std::string("INV/1"));
  book.Write(list, 8, 3, std::string("01/04/2015"));
  book.Write(list, 8, 4, std::string("Shah, Sons"));
  book.Write(list, 8, 7, 1000.0);
  book.Write(list, 8, 8, 50.5);
  EXPECT_EQ(book.Read(list, 8, 12), CellValue(1050.5));
  book.Write(list, 9, 2, std::string("He said \"x\"\nlater"));
  book.Write(list, 9, 7, 2.0);
  book.Write(list, 10, 2, std::string("\xE2\x82\xAC 5 \xC3\xBC \xE2\x9C\x93"));  // € ü ✓
  EXPECT_EQ(book.Read(list, 2, 3), CellValue(std::string()));
  EXPECT_EQ(book.Read(list, 8, 3), CellValue(std::string("01/04/2015")));
  EXPECT_EQ(book.Read(book.SheetAt(2), 1, 2), CellValue(1052.5));
  book.Write(list, 9, 8, 10.0);  // a read after a later write sees it
  EXPECT_EQ(book.Read(book.SheetAt(2), 1, 2), CellValue(1062.5));
  EXPECT_EQ(book.Read(book.SheetAt(2), 1, 3), CellValue(std::string("#DIV/0!")));

  book.SaveAs(Out("APR2017.xls"), kFormatExcel97);
  book.SaveAs(Out("APR2017.csv"), kFormatCsv);
  book.Close();

  EXPECT_EQ(ReadFile(Out("APR2017.csv")),
            "Invoice list,,,,,,,,,,,\r\n"
            ",TIN,,,,,,,,,,\r\n"
            ",,,,,,,,,,,\r\n,,,,,,,,,,,\r\n,,,,,,,,,,,\r\n,,,,,,,,,,,\r\n,,,,,,,,,,,\r\n"
            "1,INV/1,01/04/2015,\"Shah, Sons\",,,1000,50.5,,,,1050.5\r\n"
            "2,\"He said \"\"x\"\"\nlater\",,,,,2,10,,,,12\r\n"
            "3,\x80 5 \xFC ?,,,,,,,,,,0\r\n"
            "4,,,,,,,,,,,0\r\n5,,,,,,,,,,,0\r\n"
            ",,,,,Total,1002,,,,,1062.5\r\n");

  OfficeSpreadsheet saved(*office_);
  saved.Open(Out("APR2017.xls"));
  EXPECT_EQ(saved.Read(saved.SheetAt(1), 8, 4), CellValue(std::string("Shah, Sons")));
  EXPECT_EQ(saved.Read(saved.SheetAt(1), 2, 3), CellValue(std::string()));
  EXPECT_EQ(saved.Read(saved.SheetNamed("Totals"), 1, 2), CellValue(1062.5));
  saved.Quit();

  EXPECT_EQ(ReadFile(xls), template_bytes);
  EXPECT_EQ(fs::last_write_time(xls), template_time);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "Master"), fs::directory_iterator()), 1)
      << "nothing but the template in the template folder";
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "out"), fs::directory_iterator()), 2)
      << "no temporary file beside the outputs";
}

// The CSV of an office started under a decimal-comma locale, from a template in a folder whose
// name is not ASCII.
TEST_F(OfficeSpreadsheetTest, CsvTextIsTheSameWhateverTheUsersLocale) {
  const fs::path folder = dir_ / "Vorlagen f\xC3\xBCr 2017";
  fs::create_directories(folder);
  fs::copy_file(XlsTemplate(), folder / "list.xls");
  const char* saved = std::getenv("LC_ALL");
  const std::string previous = saved != nullptr ? saved : "";
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  Office office;
  OfficeSpreadsheet book(office);
  book.Open((folder / "list.xls").string());
  saved != nullptr ? setenv("LC_ALL", previous.c_str(), 1) : unsetenv("LC_ALL");
  const Sheet list = book.SheetAt(1);
  book.Write(list, 8, 2, 1234.5);
  book.Write(list, 8, 3, 0.1 + 0.2);
  book.Write(list, 8, 4, std::string("007"));
  book.Write(list, 8, 5, std::string("   "));
  book.Write(list, 8, 6, -0.25);
  book.Write(list, 8, 7, 1000.0);
  book.Write(list, 8, 8, 0.5);
  book.SaveAs(Out("APR2017.csv"), kFormatCsv);
  const std::string csv = ReadFile(Out("APR2017.csv"));
  EXPECT_NE(csv.find("\r\n1,1234.5,0.3,007,   ,-0.25,1000,0.5,,,,1000.5\r\n"), std::string::npos)
      << csv;
}

TEST_F(OfficeSpreadsheetTest, RefusesWhatItCannotDoWithoutLosingFiles) {
  const std::string xls = XlsTemplate();
  OfficeSpreadsheet book(*office_);
  EXPECT_THROW(book.Open((dir_ / "Master" / "missing.xls").string()), HostError);
  book.Open(xls);
  const Sheet list = book.SheetAt(1);
  try {
    book.SheetNamed("List of Sales");
    FAIL();
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kSubscriptOutOfRange);
    EXPECT_NE(error.source().find("List of Sales"), std::string::npos);
  }
  EXPECT_THROW(book.SheetAt(3), HostError);
  EXPECT_THROW(book.Write(list, 0, 1, 1.0), HostError);
  EXPECT_THROW(book.Write(list, 1, kMaxColumn + 1, 1.0), HostError);
  EXPECT_THROW(book.Write(list, 8, 7, std::nan("")), HostError);

  WriteFile(Out("taken.xls"), "the user's file");
  book.Write(list, 8, 2, std::string("x"));
  try {
    book.SaveAs(Out("taken.xls"), kFormatExcel97);
    FAIL();
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kSpreadsheetError);
    EXPECT_EQ(error.source(), Out("taken.xls"));
  }
  EXPECT_EQ(ReadFile(Out("taken.xls")), "the user's file");
  EXPECT_THROW(book.SaveAs(Out("odd.txt"), 51), HostError);
  EXPECT_THROW(book.SaveAs(Out("no/such/folder.xls"), kFormatExcel97), HostError);
  EXPECT_FALSE(book.RunMacro("VAT_RET_201A_CSV_M.xls!Sheet1.InsertRowsAndFillFormula1", 3));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "out"), fs::directory_iterator()), 1);
}

// What is no workbook fails to open with a reason, at once, and leaves the engine serving.
TEST_F(OfficeSpreadsheetTest, OpensOnlyWorkbooksAndSaysWhyNot) {
  const fs::path master = dir_ / "Master";
  const std::string xls = XlsTemplate();
  OfficeSpreadsheet book(*office_);
  WriteFile(master / "empty.xls", "");
  WriteFile(master / "junk.xls", "not a workbook at all\r\nsecond line");
  WriteFile(master / "letter.fodt",
            "<?xml version=\"1.0\"?><office:document "
            "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
            "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.2\" "
            "office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:body>"
            "<office:text><text:p>Dear dealer</text:p></office:text></office:body>"
            "</office:document>");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"empty.xls", "empty"}, {"junk.xls", "plain text"}, {"letter.fodt", "kind"}};
  for (const auto& [name, reason] : cases) {
    SCOPED_TRACE(name);
    const auto start = std::chrono::steady_clock::now();
    try {
      book.Open((master / name).string());
      ADD_FAILURE() << "opened as a workbook";
      book.Close();
    } catch (const HostError& error) {
      EXPECT_EQ(error.number(), kSpreadsheetError);
      EXPECT_NE(error.description().find(reason), std::string::npos) << error.description();
      EXPECT_EQ(error.source(), (master / name).string());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_THROW(book.SheetAt(1), HostError) << "no workbook stays open";
  }
  book.Open(xls);
  EXPECT_EQ(book.SheetAt(1).name, "FORM201A");
}

TEST_F(OfficeSpreadsheetTest, RunsTheTemplateMacro) {
  const fs::path flat = dir_ / "Master" / "macro.fods";
  WriteFile(flat, ListTemplate("Sub InsertRowsAndFillFormula1(n)\n"
                               "  Dim sheet As Object\n"
                               "  sheet = ThisComponent.Sheets.getByIndex(0)\n"
                               "  sheet.Rows.insertByIndex(11, n)\n"
                               "  sheet.getCellByPosition(13, 0).setValue(n)\n"
                               "  sheet.getCellByPosition(14, 0).setValue("
                               "sheet.getCellByPosition(11, 7).getValue())\n"
                               "  sheet.getCellByPosition(7, 8).setValue(5)\n"
                               "  sheet.getCellByPosition(15, 0).setValue("
                               "sheet.getCellByPosition(11, 8).getValue())\n"
                               "End Sub\n"));
  OfficeSpreadsheet book(*office_);
  book.Open(flat.string());
  const Sheet list = book.SheetAt(1);
  book.Write(list, 8, 7, 4.0);
  EXPECT_TRUE(book.RunMacro("macro.fods!Sheet1.InsertRowsAndFillFormula1", 3));
  EXPECT_EQ(book.Read(list, 1, 14), CellValue(3.0));
  // The macro read a check formula over the write before it, and one over its own write.
  EXPECT_EQ(book.Read(list, 1, 15), CellValue(4.0));
  EXPECT_EQ(book.Read(list, 1, 16), CellValue(5.0));
  EXPECT_EQ(book.Read(list, 16, 7), CellValue(4.0));  // the total moved down by three rows
  EXPECT_FALSE(book.RunMacro("macro.fods!Sheet1.NoSuchMacro", 1));
  EXPECT_FALSE(book.RunMacro("Sheet2.InsertRowsAndFillFormula1", 1));
  EXPECT_THROW(book.RunMacro("InsertRowsAndFillFormula1", 1), HostError);
}

TEST_F(OfficeSpreadsheetTest, InsertsRowsFilledLikeTheLastPreparedRow) {
  OfficeSpreadsheet book(*office_);
  book.Open(XlsTemplate());
  const Sheet list = book.SheetAt(1);
  book.Write(list, 12, 7, 1.0);
  book.InsertRowsBelow(list, 12, 7);
  for (int row = 13; row <= 19; ++row) {
    book.Write(list, row, 7, 10.0);
    book.Write(list, row, 8, 1.0);
  }
  EXPECT_EQ(book.Read(list, 19, 1), CellValue(12.0));   // serial number
  EXPECT_EQ(book.Read(list, 19, 12), CellValue(11.0));  // the row's own check total
  EXPECT_EQ(book.Read(list, 20, 7), CellValue(71.0));   // the list total takes in the new rows
  EXPECT_EQ(book.Read(book.SheetAt(2), 1, 2), CellValue(78.0));
  EXPECT_THROW(book.InsertRowsBelow(list, 20, kMaxRow), HostError);
}

// Opening ahead never starts an office (one started on that thread would end with it), and
// works from another thread than the one that goes on with the workbook.
TEST_F(OfficeSpreadsheetTest, OpensAheadOnlyWhileTheOfficeRuns) {
  const std::string xls = XlsTemplate();
  Office idle;
  OfficeSpreadsheet early(idle);
  EXPECT_FALSE(early.OpenIfRunning(xls));
  EXPECT_EQ(idle.pid(), -1);
  EXPECT_THROW(early.SheetAt(1), HostError);

  OfficeSpreadsheet book(*office_);
  bool opened = false;
  std::thread([&] { opened = book.OpenIfRunning(xls); }).join();
  ASSERT_TRUE(opened);
  book.Write(book.SheetAt(1), 8, 7, 1.0);
  book.SaveAs(Out("APR2017.xls"), kFormatExcel97);
  EXPECT_TRUE(fs::exists(Out("APR2017.xls")));
}

TEST_F(OfficeSpreadsheetTest, AnOfficeKilledMidRunFailsTheRunAndLeavesNoFile) {
  OfficeSpreadsheet book(*office_);
  book.Open(XlsTemplate());
  const Sheet list = book.SheetAt(1);
  book.Write(list, 8, 7, 1.0);
  book.Read(list, 8, 12);
  const pid_t pid = office_->pid();
  ASSERT_GT(pid, 0);
  const std::vector<std::string> sockets = PipeSocketsOf(pid);
  kill(pid, SIGKILL);
  try {
    for (int row = 8; row < 2000; ++row) book.Write(list, row, 2, std::string("bill"));
    book.SaveAs(Out("APR2017.xls"), kFormatExcel97);
    FAIL() << "a save without the office succeeded";
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kEngineUnavailable);
    EXPECT_NE(error.description().find("ended unexpectedly"), std::string::npos);
  }
  EXPECT_TRUE(ProcessGone(pid));
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
  EXPECT_FALSE(sockets.empty());
  for (const std::string& socket : sockets) EXPECT_FALSE(fs::exists(socket)) << socket;

  // The next run starts a fresh office while the failed run's workbook is still held; that
  // workbook fails at once and letting it go leaves the new office alone.
  OfficeSpreadsheet next(*office_);
  next.Open(XlsTemplate("second.xls"));
  EXPECT_NE(office_->pid(), pid);
  try {
    book.Write(list, 8, 7, 1.0);
    FAIL() << "a write into the ended office's workbook succeeded";
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kEngineUnavailable);
  }
  book.Quit();
  EXPECT_EQ(next.Read(next.SheetAt(1), 9, 1), CellValue(2.0));
}

TEST_F(OfficeSpreadsheetTest, AnEndedOfficeLeavesNoPipeSocketBehind) {
  const std::string xls = XlsTemplate();
  std::vector<std::string> sockets;
  {
    Office office;
    OfficeSpreadsheet book(office);
    book.Open(xls);
    sockets = PipeSocketsOf(office.pid());
    book.Close();
  }
  ASSERT_FALSE(sockets.empty()) << "the office serves its pipe from a socket file";
  for (const std::string& socket : sockets) EXPECT_FALSE(fs::exists(socket)) << socket;
}

TEST_F(OfficeSpreadsheetTest, TheWatchdogEndsAnOfficeThatStopsAnswering) {
  const std::string xls = XlsTemplate();
  OfficeOptions options = DefaultOfficeOptions();
  options.call_timeout = std::chrono::seconds(3);
  Office office(options);
  OfficeSpreadsheet book(office);
  book.Open(xls);
  const pid_t pid = office.pid();
  kill(pid, SIGSTOP);
  const auto start = std::chrono::steady_clock::now();
  try {
    book.Write(book.SheetAt(1), 8, 7, 1.0);
    book.SaveAs(Out("APR2017.xls"), kFormatExcel97);
    FAIL() << "a save in a stopped office succeeded";
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kEngineUnavailable);
    EXPECT_NE(error.description().find("stopped answering for 3 s"), std::string::npos);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_TRUE(ProcessGone(pid));
  EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

// The bridge writes to the office's pipe with plain socket writes. A write that finds the
// office ended fails the call; it does not end this program with SIGPIPE. The moment when that
// happens (the office gone, the bridge not yet aware) cannot be timed from here, so the test
// also writes to a socket whose reader has gone, as the bridge then does.
TEST_F(OfficeSpreadsheetTest, AWriteToAnEndedOfficeFailsTheRunNotTheProgram) {
  OfficeSpreadsheet book(*office_);
  book.Open(XlsTemplate());
  const Sheet list = book.SheetAt(1);
  kill(office_->pid(), SIGKILL);
  book.Write(list, 8, 7, 1.0);
  try {
    book.Read(list, 8, 12);
    FAIL() << "a read from an ended office succeeded";
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kEngineUnavailable);
  }
  int ends[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
  close(ends[1]);
  const ssize_t written = write(ends[0], "x", 1);
  const int error = errno;
  close(ends[0]);
  EXPECT_EQ(written, -1);
  EXPECT_EQ(error, EPIPE);
}

// Every .xls template of the build's Master folder opens, takes writes and saves both ways.
TEST_F(OfficeSpreadsheetTest, BuildTemplatesOpenWriteAndSave) {
  const fs::path master = fs::path(VATRIX_BINARY_DIR) / "Master";
  if (!fs::is_directory(master)) GTEST_SKIP() << "no generated templates in " << master;
  int count = 0;
  for (const auto& entry : fs::directory_iterator(master)) {
    if (entry.path().extension() != ".xls") continue;
    SCOPED_TRACE(entry.path().string());
    const std::string name = entry.path().stem().string();
    OfficeSpreadsheet book(*office_);
    book.Open(entry.path().string());
    const Sheet first = book.SheetAt(1);
    book.Write(first, 8, 2, std::string("INV/1"));
    book.Write(first, 8, 7, 123.25);
    EXPECT_EQ(book.Read(first, 8, 2), CellValue(std::string("INV/1")));
    EXPECT_EQ(book.Read(first, 8, 7), CellValue(123.25));
    book.SaveAs(Out(name + ".xls"), kFormatExcel97);
    book.SaveAs(Out(name + ".csv"), kFormatCsv);
    book.Quit();
    EXPECT_NE(ReadFile(Out(name + ".csv")).find("INV/1"), std::string::npos);
    ++count;
  }
  EXPECT_GT(count, 0);
}

}  // namespace
}  // namespace vatrix
