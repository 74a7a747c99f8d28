#include "app/output_naming.h"

#include <gtest/gtest.h>

namespace vatrix {
namespace {

TEST(DefaultFileNameTest, NamesEveryReturnForm) {
  const std::pair<const char*, const char*> prefixes[] = {{"201", "Form 201 - "},
                                                          {"201A", "Sales - 201A - "},
                                                          {"201B", "Purchase - 201B - "},
                                                          {"201C", "Stock - 201C - "},
                                                          {"202", "Form - 202 - "},
                                                          {"202A", "Purchase - 202A - "},
                                                          {"202B", "Sales - 202B - "},
                                                          {"205", "Form 205 - "},
                                                          {"3B", "CST - 3B - "},
                                                          {"3BSALES", "CST - Sales - "},
                                                          {"3BPURCHASE", "CST - Purchase - "}};
  for (const auto& [code, prefix] : prefixes) {
    EXPECT_EQ(DefaultFileName(code, "Monthly", "04.April"),
              std::string(prefix) + "Monthly - April");
  }
  EXPECT_EQ(DefaultFileName("201A", "Quaterly", "02.Quarter"),
            "Sales - 201A - Quaterly - Quarter - 02");
  EXPECT_EQ(DefaultFileName("205", "Annually", "01.Annually"),
            "Form 205 - Annually - Annually - 01");
  EXPECT_FALSE(DefaultFileName("201a", "Monthly", "04.April"));  // the name stays
  EXPECT_FALSE(DefaultFileName("", "Monthly", "04.April"));
}

TEST(SpecialCharsTest, CheckSpCharBlanksTheTablesCharacters) {
  const auto& table = SpecialCharsTable();
  ASSERT_EQ(table.size(), 29u);
  const std::string all = "`~!$%^&*()@#;:,<>/?+=-_[]{}.";
  EXPECT_EQ(checkSpChar(all, table), std::string(all.size(), ' '));
  EXPECT_EQ(checkSpChar("A&B/C", table), "A B C");
  EXPECT_EQ(checkSpChar("SAMPLE TRADERS 12", table), "SAMPLE TRADERS 12");
  EXPECT_EQ(checkSpChar("", table), "");
  // A backslash, quotes and the bytes of accented letters are not in the table.
  EXPECT_EQ(checkSpChar("O'Neil \"Co\"\\ Caf\xC3\xA9.", table), "O'Neil \"Co\"\\ Caf\xC3\xA9 ");
}

TEST(SpecialCharsTest, RemoveTextBlanksOrDrops) {
  EXPECT_EQ(remove_text("a,b,,c", ",", false), "a b  c");
  EXPECT_EQ(remove_text("aAa", "a", true), "A");
  EXPECT_EQ(remove_text("abc", "", true), "abc");
}

TEST(OutputPathTest, JoinsTrimmedPartsAndRefusesTheRoot) {
  EXPECT_EQ(OutputPath(" /home/u/RETURNS/ ", " Form 201 - Monthly - April ", " .xls"),
            "/home/u/RETURNS/Form 201 - Monthly - April.xls");
#ifdef _WIN32
  EXPECT_TRUE(IsRefusedRoot("c:\\ "));
  EXPECT_FALSE(IsRefusedRoot("D:\\"));
#else
  EXPECT_TRUE(IsRefusedRoot("/"));
  EXPECT_TRUE(IsRefusedRoot(" / "));
  EXPECT_FALSE(IsRefusedRoot("/home"));
#endif
  EXPECT_FALSE(IsRefusedRoot(""));
}

}  // namespace
}  // namespace vatrix
