#include "app/record_csv.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vatrix {
namespace {

TEST(RecordCsvTest, QuotesOnlyWhatMustBeQuoted) {
  EXPECT_EQ(CsvField("Sam's Traders"), "Sam's Traders");
  EXPECT_EQ(CsvField("A, B"), "\"A, B\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(CsvField(" "), "\" \"");
  EXPECT_EQ(CsvField(""), "");
}

TEST(RecordCsvTest, WritesHeaderAndRowsInDisplayForm) {
  RecordSet records({"DATE", "AMT", "NAME", "PAID"},
                    {{Value::FromDate({2016, 2, 29}), Value::Number(1250.5), Value::Text("Café"),
                      Value::Bool(true)},
                     {Value(), Value::Number(100000), Value::Text("x,y"), Value()}},
                    "query: test");
  std::ostringstream out;
  WriteCsv(records, out);
  EXPECT_EQ(out.str(),
            "DATE,AMT,NAME,PAID\n"
            "29/02/2016,1250.5,Café,True\n"
            ",100000,\"x,y\",\n");
}

TEST(RecordCsvTest, ControlCharactersOfTheDataAreBlanks) {
  RecordSet records({"DOC\x1b[2J"}, {{Value::Text(std::string("A\0B\x1b]0;x\x07\r\nC", 12))}},
                    "query: test");
  std::ostringstream out;
  WriteCsv(records, out);
  EXPECT_EQ(out.str(), "DOC [2J\nA B ]0;x   C\n");
}

TEST(RecordCsvTest, ReadsQuotedFieldsLineEndsAndSaysWhereItFails) {
  std::string problem;
  const auto records = ReadCsv(
      "\xEF\xBB\xBF"
      "company,name\r\n7,\"A, \"\"B\"\"\r\nC\"\n\n,\r\n\"\"\n",
      &problem);
  EXPECT_EQ(problem, "");
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].fields, (std::vector<std::string>{"company", "name"}));
  EXPECT_EQ(records[1].line, 2);
  EXPECT_EQ(records[1].fields, (std::vector<std::string>{"7", "A, \"B\"\r\nC"}));
  EXPECT_EQ(records[2].line, 5);  // after the empty line
  EXPECT_EQ(records[2].fields, (std::vector<std::string>{"", ""}));
  EXPECT_EQ(records[3].fields, (std::vector<std::string>{""}));

  // What CsvField writes reads back as it was.
  const std::string field = " a,\"b\"\nc ";
  EXPECT_EQ(ReadCsv(CsvField(field) + "," + CsvField("x"), &problem)[0].fields,
            (std::vector<std::string>{field, "x"}));

  ReadCsv("a\n\"b\nc", &problem);
  EXPECT_EQ(problem, "line 2: a quoted field is not closed");
  EXPECT_EQ(ReadCsv("a\nb\n\"c\"d,e\n", &problem).size(), 2u);
  EXPECT_EQ(problem, "line 3: text after the closing quote of a field");
}

}  // namespace
}  // namespace vatrix
