#include "workbook/csv_text.h"

#include <gtest/gtest.h>

namespace vatrix {
namespace {

TEST(CsvTextTest, QuotesOnlyWhatMustBeQuotedAndPadsRowsToTheUsedWidth) {
  const TextGrid rows = {{"Invoice", "Date", "Name", "Amount"},
                         {"INV/1", "01/04/2015", "Shah, Sons", "1,234.50"},
                         {"He said \"no\"", "two\nlines", "cr\r", " spaced "},
                         {},
                         {"last"}};
  EXPECT_EQ(CsvBytes(rows),
            "Invoice,Date,Name,Amount\r\n"
            "INV/1,01/04/2015,\"Shah, Sons\",\"1,234.50\"\r\n"
            "\"He said \"\"no\"\"\",\"two\nlines\",\"cr\r\", spaced \r\n"
            ",,,\r\n"
            "last,,,\r\n");
  EXPECT_EQ(CsvBytes({}), "");
  // Other control characters of the data are blanks.
  EXPECT_EQ(CsvBytes({{"A\x1b[2J\tB\x7f", "x,\x07"}}), "A [2J B ,\"x, \"\r\n");
}

TEST(CsvTextTest, Windows1252KeepsWhatItCanAndMarksTheRest) {
  EXPECT_EQ(ToWindows1252("plain ASCII, 123"), "plain ASCII, 123");
  EXPECT_EQ(ToWindows1252("\xE2\x82\xAC \xC3\xBC \xC2\xA0 \xE2\x80\x9C"), "\x80 \xFC \xA0 \x93");
  EXPECT_EQ(ToWindows1252("\xE2\x9C\x93 \xE0\xA4\x85 \xF0\x9F\x98\x80"), "? ? ?");
  // Malformed input: a stray continuation byte, a cut sequence, an overlong quote.
  EXPECT_EQ(ToWindows1252("a\x80"
                          "b\xE2\x82"),
            "a?b?");
  EXPECT_EQ(ToWindows1252("\xC0\xA2\xE0\x80\xA2"), "???");
}

TEST(CsvTextTest, ParsesTheOfficesTextBackIntoCells) {
  const TextGrid rows = ParseCsv("a,\"b,c\",\"say \"\"hi\"\"\"\n\"two\nlines\",,\r\nlast");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"two\nlines", "", ""}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"last"}));
  EXPECT_EQ(ParseCsv("\"never closed,\n"), (TextGrid{{"never closed,\n"}}));
  EXPECT_TRUE(ParseCsv("").empty());
  // Round trip: what CsvBytes writes reads back as the same cells.
  const TextGrid cells = {{"x,y", "\"q\"", ""}, {"1", "line\r\nbreak", "z"}};
  EXPECT_EQ(ParseCsv(CsvBytes(cells)), cells);
}

}  // namespace
}  // namespace vatrix
