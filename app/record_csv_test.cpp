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

}  // namespace
}  // namespace vatrix
