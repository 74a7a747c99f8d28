#include "returns/special_characters.h"

#include <gtest/gtest.h>

namespace vatrix {
namespace {

TEST(SpecialCharsTest, CheckSpCharBlanksTheTablesCharacters) {
  const auto& table = SpecialCharsTable();
  const std::string all = "`~!$%^&*()@#;:,<>/?+=-_[]{}.";
  EXPECT_EQ(checkSpChar(all, table), std::string(all.size(), ' '));
  EXPECT_EQ(checkSpChar("A&B/C", table), "A B C");
  EXPECT_EQ(checkSpChar("", table), "");
  // A backslash, quotes and the bytes of accented letters are not in the table.
  EXPECT_EQ(checkSpChar("O'Neil \"Co\"\\ Caf\xC3\xA9.", table), "O'Neil \"Co\"\\ Caf\xC3\xA9 ");
}

TEST(SpecialCharsTest, RemoveTextBlanksOrDrops) {
  EXPECT_EQ(remove_text("a,b,,c", ",", false), "a b  c");
  EXPECT_EQ(remove_text("aAa", "a", true), "A");
  EXPECT_EQ(remove_text("abc", "", true), "abc");
}

}  // namespace
}  // namespace vatrix
