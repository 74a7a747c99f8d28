#include "app/cli_options.h"

#include <gtest/gtest.h>

#include "app/export_options.h"

namespace vatrix {
namespace {

TEST(CliOptionsTest, SplitsBothOptionFormsFlagsAndHelp) {
  const CommandArguments split =
      SplitArguments({"--host=/srv/a=b", "--company", "7", "--bill-amount", "plain", "-h",
                      "--name=", "--", "--not-an-option"},
                     {"bill-amount"});
  EXPECT_EQ(split.options,
            (std::map<std::string, std::string>{
                {"host", "/srv/a=b"}, {"company", "7"}, {"bill-amount", ""}, {"name", ""}}));
  EXPECT_EQ(split.plain, (std::vector<std::string>{"plain", "--not-an-option"}));
  EXPECT_TRUE(split.help);

  const std::pair<std::vector<std::string>, std::string> faults[] = {
      {{"--host"}, "--host lacks its value"},
      {{"--host", "--company", "7"}, "--host lacks its value"},
      {{"--bill-amount=yes"}, "--bill-amount takes no value"},
      {{"--out", "a", "--out=b"}, "--out is given twice"}};
  for (const auto& [arguments, problem] : faults) {
    try {
      SplitArguments(arguments, {"bill-amount"});
      ADD_FAILURE() << problem;
    } catch (const BadArguments& error) {
      EXPECT_EQ(error.what(), problem);
    }
  }
}

TEST(CliOptionsTest, ReturnTypesInAnyCaseAndTheUsualSpelling) {
  for (const char* text : {"Quarterly", "quaterly", "QUARTERLY", "Quaterly"}) {
    EXPECT_EQ(CanonicalReturnType(text), "Quaterly") << text;
  }
  EXPECT_EQ(CanonicalReturnType("half-yearly"), "HalfYearly");
  EXPECT_EQ(CanonicalReturnType("yearly"), "Annually");
  EXPECT_EQ(CanonicalReturnType("Fortnightly"), "Fortnightly");
  EXPECT_EQ(WithCanonicalValues({{"form", "3bsales"}, {"type", "monthly"}}),
            (ExportOptions{{"form", "3BSALES"}, {"type", "Monthly"}}));
}

}  // namespace
}  // namespace vatrix
