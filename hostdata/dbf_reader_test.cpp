#include "hostdata/dbf_reader.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "hostdata/code_page.h"
#include "hostdata/host_error.h"
#include "hostdata/test_memos.h"
#include "hostdata/test_tables.h"

namespace vatrix {
namespace {

using testing::DbfBytes;
using testing::MemoBytes;
using testing::TestTable;

std::string LittleEndian(std::uint64_t value, int size) {
  std::string out(size, '\0');
  for (int i = 0; i < size; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

struct FoxField {
  std::string name;
  char type;
  int width;
  unsigned char flags = 0;  // 0x02 nullable, 0x04 binary
};

// A Visual FoxPro table: `fields` with their flags, the 263-byte backlink after the header,
// and `records` as the bytes after each deletion flag.
std::string FoxProBytes(const std::vector<FoxField>& fields,
                        const std::vector<std::string>& records) {
  const size_t header_length = 32 + 32 * fields.size() + 1 + 263;
  size_t record_length = 1;
  for (const auto& field : fields) record_length += field.width;
  std::string bytes(header_length, '\0');
  bytes[0] = 0x32;
  bytes.replace(4, 8,
                LittleEndian(records.size(), 4) + LittleEndian(header_length, 2) +
                    LittleEndian(record_length, 2));
  bytes[29] = 0x03;  // Windows ANSI
  for (size_t i = 0; i < fields.size(); ++i) {
    const size_t pos = 32 + 32 * i;
    bytes.replace(pos, fields[i].name.size(), fields[i].name);
    bytes[pos + 11] = fields[i].type;
    bytes[pos + 16] = static_cast<char>(fields[i].width);
    bytes[pos + 18] = static_cast<char>(fields[i].flags);
  }
  bytes[32 + 32 * fields.size()] = 0x0D;
  for (const auto& record : records) bytes += " " + record;
  return bytes + "\x1A";
}

class DbfReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { folder_ = testing::MakeTempFolder(); }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = folder_ + "/" + name;
    testing::WriteFile(path, bytes);
    return path;
  }

  std::vector<std::vector<Value>> ReadAll(const std::string& path) {
    DbfReader reader(path);
    std::vector<std::vector<Value>> rows;
    std::vector<Value> row;
    while (reader.ReadRow(&row)) rows.push_back(row);
    return rows;
  }

  // Expects reading `path` to fail with `number`, the message naming the file and `detail`.
  void ExpectFailure(const std::string& path, long number, const std::string& detail) {
    try {
      ReadAll(path);
      FAIL() << "reading " << path << " did not fail";
    } catch (const HostError& error) {
      EXPECT_EQ(error.number(), number);
      EXPECT_NE(error.source().find(path), std::string::npos) << error.source();
      EXPECT_NE(error.description().find(detail), std::string::npos) << error.description();
    }
  }

  std::string folder_;
};

TestTable Bills() {
  TestTable table;
  table.fields = {{"DOCNO", 'C', 8}, {"AMT", 'N', 10, 2}, {"DATE", 'D', 8}, {"PAID", 'L', 1}};
  table.rows = {{"  A1", "125.50", "20160229", "T"},
                {"", "", "", "?"},
                {std::string("B2\0\0", 4), "-3", "00000000", "f"},
                {"DEL", "999", "20150401", "T"},
                {"C3", "**********", "        ", " "}};
  table.deleted = {3};
  return table;
}

TEST_F(DbfReaderTest, ReadsEachFieldTypeAndSkipsDeletedRecords) {
  const auto rows = ReadAll(Write("BILLS.DBF", DbfBytes(Bills())));
  ASSERT_EQ(rows.size(), 4u);
  // Character values keep leading blanks, lose trailing ones; a blank one is null.
  EXPECT_EQ(rows[0][0], Value::Text("  A1"));
  EXPECT_EQ(rows[0][1], Value::Number(125.5));
  EXPECT_EQ(rows[0][2], Value::FromDate({2016, 2, 29}));
  EXPECT_EQ(rows[0][3], Value::Bool(true));
  for (const Value& value : rows[1]) EXPECT_TRUE(value.is_null());
  EXPECT_EQ(rows[2][0], Value::Text("B2"));  // NUL bytes pad a text as blanks do
  EXPECT_EQ(rows[2][1], Value::Number(-3));
  EXPECT_TRUE(rows[2][2].is_null());  // all-zero date
  EXPECT_EQ(rows[2][3], Value::Bool(false));
  EXPECT_EQ(rows[3][0], Value::Text("C3"));  // the deleted "DEL" row is not there
  EXPECT_TRUE(rows[3][1].is_null());         // asterisks: a null number
  EXPECT_TRUE(rows[3][3].is_null());
}

TEST_F(DbfReaderTest, DecodesTextFromTheFilesCodePage) {
  TestTable table;
  table.fields = {{"NAME", 'C', 12}};
  table.rows = {{"Caf\xE9 & Sam's"}};
  EXPECT_EQ(ReadAll(Write("a.dbf", DbfBytes(table)))[0][0], Value::Text("Café & Sam's"));
  table.language_driver = 0;  // none named: Windows ANSI
  EXPECT_EQ(ReadAll(Write("b.dbf", DbfBytes(table)))[0][0], Value::Text("Café & Sam's"));
  table.language_driver = 0x65;  // Russian DOS, code page 866
  table.rows = {{"\x8F\xE0\xA8\xA2\xA5\xE2"}};
  EXPECT_EQ(ReadAll(Write("c.dbf", DbfBytes(table)))[0][0], Value::Text("Привет"));
  table.language_driver = 0x57;
  table.rows = {{"x\x81y"}};  // a byte Windows ANSI leaves undefined
  EXPECT_EQ(ReadAll(Write("d.dbf", DbfBytes(table)))[0][0], Value::Text("x\xEF\xBF\xBDy"));
  table.language_driver = 0x69;  // Polish DOS (Mazovia), which glibc lacks
  table.rows = {{"\x98\xD7\x88\x89\xE7\xF5\x9E"}};
  EXPECT_EQ(ReadAll(Write("e.dbf", DbfBytes(table)))[0][0], Value::Text("Ś╫êëτ⌡ś"));
  table.language_driver = 0x64;  // Central European DOS, 852
  table.rows = {{"\xA5\x86"}};
  EXPECT_EQ(ReadAll(Write("f.dbf", DbfBytes(table)))[0][0], Value::Text("ąć"));
}

TEST_F(DbfReaderTest, TextOfAnUnnamedCodePageIsUtf8WhenItAllReadsSoElseTheUsersPage) {
  TestTable table;
  table.fields = {{"NAME", 'C', 12}};
  table.language_driver = 0;
  table.rows = {{"\xD0\x9D\xD0\xBE\xD0\xBC\xD0\xB5\xD1\x80"}, {"plain"}};
  const std::string utf8 = Write("utf8.dbf", DbfBytes(table));
  EXPECT_EQ(ReadAll(utf8)[0][0], Value::Text("Номер"));
  // One value that is not UTF-8 makes the whole table Windows ANSI.
  table.rows.push_back({"Caf\xE9"});
  const std::string mixed = Write("mixed.dbf", DbfBytes(table));
  EXPECT_EQ(ReadAll(mixed)[0][0], Value::Text("Ð�Ð¾Ð¼ÐµÑ€"));
  EXPECT_EQ(ReadAll(mixed)[2][0], Value::Text("Café"));
  // A page the user names holds for files that name none, and only for them.
  SetUnnamedCodePage("850");
  table.rows = {{"Caf\x82"}};
  const std::string dos = Write("dos.dbf", DbfBytes(table));
  table.language_driver = 0x57;
  const std::string ansi = Write("ansi.dbf", DbfBytes(table));
  EXPECT_EQ(DbfReader(dos).code_page(), "CP850");
  EXPECT_EQ(ReadAll(dos)[0][0], Value::Text("Café"));
  EXPECT_EQ(ReadAll(ansi)[0][0], Value::Text("Caf‚"));
  EXPECT_THROW(SetUnnamedCodePage("Klingon"), HostError);
  EXPECT_THROW(SetUnnamedCodePage("UTF-16"), HostError);  // not a page table text can be in
  EXPECT_EQ(UnnamedCodePage(), "CP850");
  SetUnnamedCodePage("");
  EXPECT_EQ(DbfReader(dos).code_page(), "CP1252");
}

TEST_F(DbfReaderTest, ReadsMemoTextsFromTheMemoFileBesideTheTable) {
  struct Case {
    char version;
    MemoFormat format;
    const char* memo_name;
  };
  const Case cases[] = {{'\x83', MemoFormat::kDbase3, "NOTES.DBT"},
                        {'\x8B', MemoFormat::kDbase4, "notes.dbt"},
                        {'\xF5', MemoFormat::kFoxPro, "Notes.Fpt"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.memo_name);
    const auto memo = MemoBytes(c.format, {"\x8F\xE0\xA8\xA2\xA5\xE2\r\n", "x"}, 64);
    TestTable table;
    table.fields = {{"DOCNO", 'C', 4}, {"NARR", 'M', 10}};
    table.rows = {{"1", std::to_string(memo.blocks[0])}, {"2", ""}, {"3", "0"}};
    table.language_driver = 0x65;  // memo text is in the table's code page, 866 here
    std::string bytes = DbfBytes(table);
    bytes[0] = c.version;
    const std::string path = Write("NOTES.dbf", bytes);
    Write(c.memo_name, memo.bytes);
    const auto rows = ReadAll(path);
    EXPECT_EQ(rows[0][1], Value::Text("Привет\r\n"));
    EXPECT_TRUE(rows[1][1].is_null());
    EXPECT_TRUE(rows[2][1].is_null());
    EXPECT_TRUE(DbfReader(path).unreadable_fields().empty());

    // A block past the memo file's end: the field cannot be read; the rest of the table can.
    table.rows[1][1] = "99";
    bytes = DbfBytes(table);
    bytes[0] = c.version;
    Write("NOTES.dbf", bytes);
    DbfReader damaged(path);
    std::vector<Value> row;
    while (damaged.ReadRow(&row)) EXPECT_EQ(row[0].kind(), Value::Kind::kText);
    ASSERT_EQ(damaged.unreadable_fields().size(), 1u);
    const UnreadableField& field = damaged.unreadable_fields()[0];
    EXPECT_EQ(field.field, "NARR");
    EXPECT_NE(field.description.find("block 99 lies outside"), std::string::npos);
    EXPECT_EQ(field.source,
              "table file " + path + ", memo file " + folder_ + "/" + c.memo_name + ", field NARR");
    std::filesystem::remove(folder_ + "/" + c.memo_name);
  }
  // Without its memo file the table is read, the memo field is not.
  DbfReader missing(folder_ + "/NOTES.dbf");
  ASSERT_EQ(missing.unreadable_fields().size(), 1u);
  EXPECT_EQ(missing.unreadable_fields()[0].description,
            "The memo file is missing, so the field NARR cannot be read");
  EXPECT_NE(missing.unreadable_fields()[0].source.find("memo file " + folder_ + "/NOTES.fpt"),
            std::string::npos);
}

TEST_F(DbfReaderTest, ReadsDbase7TablesWithTheirLongDescriptors) {
  struct Field {
    std::string name;
    char type;
    int width;
  };
  const std::vector<Field> fields = {
      {"A_LONG_FIELD_NAME", 'C', 6}, {"COUNT", 'I', 4}, {"AMOUNT", 'N', 8}, {"RATIO", 'O', 8}};
  const size_t header_length = 68 + 48 * fields.size() + 1;
  std::string bytes(header_length, '\0');
  bytes[0] = 0x04;
  bytes.replace(
      4, 8,
      LittleEndian(2, 4) + LittleEndian(header_length, 2) + LittleEndian(1 + 6 + 4 + 8 + 8, 2));
  bytes[29] = 0x57;
  bytes.replace(32, 8, "DBWINUS0");  // the language driver's name
  for (size_t i = 0; i < fields.size(); ++i) {
    const size_t pos = 68 + 48 * i;
    bytes.replace(pos, fields[i].name.size(), fields[i].name);
    bytes[pos + 32] = fields[i].type;
    bytes[pos + 33] = static_cast<char>(fields[i].width);
  }
  bytes[header_length - 1] = 0x0D;
  // Integers are big-endian with the sign bit inverted.
  bytes += std::string(" Caf\xE9  ") + "\x7F\xFF\xFF\xF9" + "  125.50" + std::string(8, '\0');
  bytes += std::string(" x     ") + std::string("\x80\x00\x00\x2A", 4) + "       1" +
           std::string(8, '\0');
  const std::string path = Write("level7.dbf", bytes + "\x1A");
  const auto rows = ReadAll(path);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(DbfReader(path).fields()[0].name, "A_LONG_FIELD_NAME");
  EXPECT_EQ(rows[0], (std::vector<Value>{Value::Text("Café"), Value::Number(-7),
                                         Value::Number(125.5), Value()}));
  EXPECT_EQ(rows[1][1], Value::Number(42));
  EXPECT_EQ(DbfReader(path).unreadable_fields()[0].description,
            "The field RATIO has type 'O' (dBase double), which is not read");
}

TEST_F(DbfReaderTest, ReadsVisualFoxProFieldsAndTheirNulls) {
  const std::vector<FoxField> fields = {{"ID", 'I', 4},          {"PRICE", 'Y', 8},
                                        {"WHEN", 'T', 8, 0x02},  {"RATE", 'B', 8},
                                        {"NAME", 'V', 10, 0x02}, {"QTY", 'N', 6, 0x02},
                                        {"NOTES", 'M', 4},       {"PHOTO", 'G', 4},
                                        {"CODE", 'C', 4, 0x04},  {"_NullFlags", '0', 1, 0x05}};
  const std::string rate = LittleEndian(std::bit_cast<std::uint64_t>(2.5), 8);
  const auto memo = MemoBytes(MemoFormat::kFoxPro, {"Caf\xE9"}, 64);
  // _NullFlags bits: WHEN null 0, NAME varlength 1 and null 2, QTY null 3.
  const std::vector<std::string> records = {
      LittleEndian(static_cast<std::uint32_t>(-7), 4) + LittleEndian(12345678, 8) +
          LittleEndian(2457480, 4) + LittleEndian(49530250, 4) + rate +
          std::string("Abc\0\0\0\0\0\0\x03", 10) + "    42" + LittleEndian(memo.blocks[0], 4) +
          LittleEndian(0, 4) + "AB\x01\x02" + "\x02",
      LittleEndian(0, 4) + LittleEndian(static_cast<std::uint64_t>(-1), 8) + LittleEndian(0, 8) +
          rate + std::string(10, ' ') + "    42" + LittleEndian(0, 4) + LittleEndian(0, 4) +
          "    " + "\x0D",
      LittleEndian(1, 4) + LittleEndian(0, 8) + LittleEndian(0, 8) + rate + "0123456789" +
          "      " + "    " + LittleEndian(0, 4) + "    " + std::string(1, '\0')};
  const std::string path = Write("fox.dbf", FoxProBytes(fields, records));
  Write("FOX.FPT", memo.bytes);
  DbfReader reader(path);
  ASSERT_EQ(reader.fields().size(), 9u);  // _NullFlags is not a field of the table
  std::vector<std::vector<Value>> rows(1);
  while (reader.ReadRow(&rows.back())) rows.emplace_back();
  rows.pop_back();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0][0], Value::Number(-7));
  EXPECT_EQ(rows[0][1], Value::Number(1234.5678));
  EXPECT_EQ(rows[0][2], Value::Text("2016-04-01 13:45:30.250"));
  EXPECT_EQ(rows[0][3], Value::Number(2.5));
  EXPECT_EQ(rows[0][4], Value::Text("Abc"));  // its length in the last byte
  EXPECT_EQ(rows[0][5], Value::Number(42));
  EXPECT_EQ(rows[0][6], Value::Text("Café"));
  EXPECT_TRUE(rows[0][7].is_null());
  EXPECT_EQ(rows[1][1], Value::Number(-0.0001));
  for (int null_field : {2, 4, 5, 6}) EXPECT_TRUE(rows[1][null_field].is_null()) << null_field;
  EXPECT_TRUE(rows[2][2].is_null());                 // an empty date-time
  EXPECT_EQ(rows[2][4], Value::Text("0123456789"));  // full: no length byte
  EXPECT_TRUE(rows[2][5].is_null());
  EXPECT_TRUE(rows[2][6].is_null());  // a memo pointer left blank

  // Types not read are named in words, never taken for damage.
  ASSERT_EQ(reader.unreadable_fields().size(), 2u);
  EXPECT_EQ(reader.unreadable_fields()[0].description,
            "The field PHOTO has type 'G' (FoxPro general/OLE), which is not read");
  EXPECT_EQ(reader.unreadable_fields()[0].source, "table file " + path + ", field PHOTO");
  EXPECT_EQ(reader.unreadable_fields()[1].description,
            "The field CODE has type 'C' (FoxPro binary character), which is not read");

  // A nullable field needs its bit in _NullFlags.
  auto no_flags = fields;
  no_flags.pop_back();
  ExpectFailure(Write("noflags.dbf", FoxProBytes(no_flags, {})), kCorruptTable,
                "_NullFlags field is missing or too short");
}

TEST_F(DbfReaderTest, DamagedFilesFailNamingFileAndPlace) {
  const std::string good = DbfBytes(Bills());
  ExpectFailure(Write("short.dbf", good.substr(0, 20)), kCorruptTable, "too short");
  ExpectFailure(Write("trunc.dbf", good.substr(0, good.size() - 30)), kCorruptTable, "truncated");
  std::string bad_header = good;
  bad_header[8] = 0x10;  // header length 16
  bad_header[9] = 0;
  ExpectFailure(Write("header.dbf", bad_header), kCorruptTable, "header length");
  std::string huge_count = good;
  huge_count[4] = huge_count[5] = huge_count[6] = huge_count[7] = '\xFF';
  ExpectFailure(Write("count.dbf", huge_count), kCorruptTable, "too short for them");
  std::string bad_type = good;
  bad_type[32 + 11] = 'X';
  ExpectFailure(Write("type.dbf", bad_type), kCorruptTable, "field descriptor 1");
  TestTable twice = Bills();
  twice.fields[1].name = "docno";
  ExpectFailure(Write("twice.dbf", DbfBytes(twice)), kCorruptTable, "two fields named docno");

  TestTable table = Bills();
  table.rows[1][1] = "12,50";
  ExpectFailure(Write("number.dbf", DbfBytes(table)), kCorruptTable,
                "record 2, field AMT holds \"     12,50\", which is not a number");
  table = Bills();
  table.rows[2][2] = "20150230";
  ExpectFailure(Write("date.dbf", DbfBytes(table)), kCorruptTable,
                "record 3, field DATE holds \"20150230\", which is not a date");
  table = Bills();
  table.rows[0][3] = "X";
  ExpectFailure(Write("logical.dbf", DbfBytes(table)), kCorruptTable, "not a logical value");
}

TEST_F(DbfReaderTest, MissingOrUnreadableFileIsUnavailable) {
  ExpectFailure(folder_ + "/none.dbf", kTableUnavailable, "cannot be opened");
  const std::string path = Write("locked.dbf", DbfBytes(Bills()));
  std::filesystem::permissions(path, std::filesystem::perms::none);
  if (geteuid() != 0) ExpectFailure(path, kTableUnavailable, "cannot be opened");
}

// Large tables are read from their file a stretch at a time: records on either side of every
// stretch's end read as they do from the same bytes held whole.
TEST_F(DbfReaderTest, LargeFilesReadInStretchesAsFromMemory) {
  TestTable table;
  table.fields = {{"DOCNO", 'C', 7}, {"AMT", 'N', 9, 2}, {"DATE", 'D', 8}};
  for (int i = 0; i < 50000; ++i) {  // 25 bytes a record: 1.25 MB, not a multiple of it
    table.rows.push_back({"D" + std::to_string(i), i % 7 ? std::to_string(i % 1000) + ".25" : "",
                          i % 5 ? "2015" + std::string(i % 2 ? "0430" : "0401") : "        "});
    if (i % 3 == 0) table.deleted.push_back(i);
  }
  const std::string bytes = DbfBytes(table);
  const std::string path = Write("big.dbf", bytes);
  DbfReader held(path, bytes);
  std::vector<Value> expected;
  size_t count = 0;
  for (const auto& row : ReadAll(path)) {
    ASSERT_TRUE(held.ReadRow(&expected));
    ASSERT_EQ(row, expected) << "row " << count;
    ++count;
  }
  EXPECT_FALSE(held.ReadRow(&expected));
  EXPECT_EQ(count, 50000u - 16667u);

  // A file cut short after it was opened fails naming it, never reads past its end.
  DbfReader reader(path);
  std::filesystem::resize_file(path, bytes.size() / 2);
  try {
    while (reader.ReadRow(&expected)) {
    }
    FAIL() << "a file cut short while read was read to its end";
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kTableUnavailable);
    EXPECT_NE(error.source().find(path), std::string::npos) << error.source();
    EXPECT_NE(error.description().find("shorter than when it was opened"), std::string::npos)
        << error.description();
  }
}

TEST_F(DbfReaderTest, FindsTableFilesWhateverTheirCase) {
  Write("SP.DBF", "");
  Write("Ledger.dbf", "");
  Write("stock.Dbf", "");
  EXPECT_EQ(FindTableFile(folder_, "sp"), folder_ + "/SP.DBF");
  EXPECT_EQ(FindTableFile(folder_, "LEDGER"), folder_ + "/Ledger.dbf");
  EXPECT_EQ(FindTableFile(folder_, "Stock"), folder_ + "/stock.Dbf");
  EXPECT_EQ(FindTableFile(folder_, "Batch"), std::nullopt);
  EXPECT_EQ(FindTableFile(folder_ + "/missing", "SP"), std::nullopt);
  Write("sp.dbf", "");  // two spellings: which one holds the table is unknown
  try {
    FindTableFile(folder_, "sp");
    FAIL() << "two files of one table were accepted";
  } catch (const HostError& error) {
    EXPECT_EQ(error.number(), kCorruptTable);
    EXPECT_NE(error.description().find(folder_ + "/SP.DBF and " + folder_ + "/sp.dbf"),
              std::string::npos)
        << error.description();
  }
}

TEST_F(DbfReaderTest, RecordsPastTheCountedOnesMakeTheFileDamaged) {
  std::string bytes = DbfBytes(Bills());
  bytes[4] = 2;  // the header counts 2 of the 5 records
  ExpectFailure(Write("stale.dbf", bytes), kCorruptTable, "counts 2 records but the file holds 5");
  // An end-of-file byte and padding shorter than a record after the counted ones are normal.
  bytes[4] = 5;
  EXPECT_EQ(ReadAll(Write("padded.dbf", bytes + std::string(20, ' '))).size(), 4u);
}

TEST_F(DbfReaderTest, NulBytesInTextAreBlanks) {
  TestTable table;
  table.fields = {{"DOCNO", 'C', 8}};
  table.rows = {{std::string("\0A\0B\0\0", 6)}, {std::string("\0\0", 2)}};
  const auto rows = ReadAll(Write("nul.dbf", DbfBytes(table)));
  EXPECT_EQ(rows[0][0], Value::Text(" A B"));
  EXPECT_TRUE(rows[1][0].is_null());
}

}  // namespace
}  // namespace vatrix
