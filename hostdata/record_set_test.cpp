#include "hostdata/record_set.h"

#include <gtest/gtest.h>

#include "hostdata/host_error.h"

namespace vatrix {
namespace {

RecordSet Steps() {
  return RecordSet({"YearMonth", "VatClosing", "Day", "Name"},
                   {{Value::Text("04"), Value::Number(-1500), Value::FromDate({2015, 4, 1}),
                     Value::Text("Sam's")},
                    {Value::Text("05"), Value::Number(800), Value(), Value::Text("GUJARAT")},
                    {Value::Text("06"), Value::Number(200), Value(), Value::Text("Gujarat")}},
                   "query: steps");
}

TEST(RecordSetTest, CursorMovesLikeAStaticCursor) {
  RecordSet records = Steps();
  EXPECT_EQ(records.record_count(), 3);
  EXPECT_FALSE(records.bof());
  EXPECT_EQ(records.absolute_position(), 1);
  records.MoveNext();
  records.MoveNext();
  records.MoveNext();
  EXPECT_TRUE(records.eof());
  EXPECT_EQ(records.absolute_position(), 0);
  EXPECT_THROW(records.MoveNext(), HostError);
  EXPECT_THROW(records.field(0), HostError);
  records.MoveLast();
  EXPECT_EQ(records.field("yearmonth").text(), "06");  // names ignore case
  records.set_absolute_position(2);
  EXPECT_EQ(records.field("VATCLOSING").number(), 800);
  EXPECT_THROW(records.set_absolute_position(4), HostError);
  EXPECT_THROW(records.field("Missing"), HostError);

  RecordSet empty({"A"}, {}, "query: none");
  EXPECT_TRUE(empty.bof());
  EXPECT_TRUE(empty.eof());
}

TEST(RecordSetTest, FindSearchesForwardFromTheCurrentRow) {
  RecordSet records = Steps();
  records.Find("YearMonth = '05'");
  EXPECT_EQ(records.absolute_position(), 2);
  records.Find("VatClosing = -1500");  // already past it
  EXPECT_TRUE(records.eof());
  records.MoveFirst();
  records.Find("Name = 'gujarat'");  // text compares ignore case
  EXPECT_EQ(records.absolute_position(), 2);
  records.MoveFirst();
  records.Find("Day = #4/1/2015#");
  EXPECT_EQ(records.absolute_position(), 1);
  records.MoveFirst();
  records.Find("Name = 'Sam''s'");
  EXPECT_EQ(records.absolute_position(), 1);
  EXPECT_THROW(records.Find("Nonsense"), HostError);
  EXPECT_THROW(records.Find("Missing = 1"), HostError);
}

TEST(RecordSetTest, FilterShowsOnlyMatchingRows) {
  RecordSet records = Steps();
  records.SetFilter("Name = 'Gujarat'");
  EXPECT_EQ(records.record_count(), 2);
  EXPECT_EQ(records.field("YearMonth").text(), "05");
  records.SetFilter("YearMonth = '09'");
  EXPECT_EQ(records.record_count(), 0);
  EXPECT_TRUE(records.eof());
  EXPECT_THROW(records.SetFilter("Missing = 1"), HostError);
  EXPECT_EQ(records.record_count(), 0);  // a rejected filter leaves the last one in force
  records.SetFilter("");
  EXPECT_EQ(records.record_count(), 3);
}

}  // namespace
}  // namespace vatrix
