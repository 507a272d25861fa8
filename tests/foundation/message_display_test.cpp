#include <gtest/gtest.h>

#include <map>

#include "foundation/show_rule.hpp"
#include "orvex/gmessage.hpp"
#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"

namespace orvex {
namespace {

using testing::HostGuard;

TEST(ShowText, ArabicAddsRightToLeftFlagsWithCarryAndOverflowCheck) {
  HostGuard host;
  GMessage message;
  const std::tuple<int32_t, const char*, int32_t> cases[] = {
      // buttons, language, style
      {0, "Arabic", 0x00180000},
      {0, "arabic", 0},
      {0, "English", 0},
      {0, "", 0},
      {64, "Arabic", 0x00180040},
      {0x00080000, "Arabic", 0x00200000},  // added, not ORed: the carry reaches the next bit
      {2145910783, "Arabic", 2147483647},  // the last style that does not overflow
      {2145910784, "Arabic", 2145910784},  // overflow: the style stays as given
  };
  for (const auto& [buttons, language, style] : cases) {
    host->boxes.clear();
    EXPECT_EQ(message.ShowText("text", buttons, "title", language), 1);
    EXPECT_EQ(host->BoxesText(), "text|" + std::to_string(style) + "|title||0\n") << language;
  }
}

TEST(ShowText, PassesEverythingThroughAndNeverRaises) {
  HostGuard host;
  GMessage message;
  host->answers = {7};
  EXPECT_EQ(message.ShowText("Delete?", 4, "Question", "English", "help.chm", 42), 7);
  EXPECT_EQ(message.ShowText("all omitted"), 1);
  EXPECT_EQ(host->BoxesText(), "Delete?|4|Question|help.chm|42\nall omitted|0|||0\n");
  host->failBoxes = true;
  EXPECT_EQ(message.ShowText("no desktop"), 0);
}

class ShowRule : public ::testing::Test {
 protected:
  std::map<int32_t, std::string> texts{{5, "Five"}, {7, "Seven"}};
  std::function<std::string(int32_t)> lookup = [this](int32_t id) {
    auto it = texts.find(id);
    return it == texts.end() ? std::string() : it->second;
  };
  HostGuard host;
};

TEST_F(ShowRule, SourceChoosesTheTitle) {
  using foundation::ShowFromTable;
  ShowFromTable(lookup, "English", 5, 0, Variant::Missing(), "", 0);
  ShowFromTable(lookup, "English", 5, 0, Variant(int32_t{7}), "", 0);
  ShowFromTable(lookup, "English", 5, 0, Variant("7"), "", 0);
  ShowFromTable(lookup, "English", 5, 0, Variant("Warning"), "", 0);
  ShowFromTable(lookup, "English", 5, 0, Variant(6.5), "", 0);         // rounds half to even: 6
  ShowFromTable(lookup, "English", 9, 0, Variant::Missing(), "h", 3);  // an absent ID: no prompt
  EXPECT_EQ(host->BoxesText(),
            "Five|0|||0\nFive|0|Seven||0\nFive|0|Seven||0\nFive|0|Warning||0\n"
            "Five|0|||0\n|0||h|3\n");
}

TEST_F(ShowRule, OverflowsRaiseInsteadOfShowing) {
  using foundation::ShowFromTable;
  EXPECT_AUTOMATION_ERROR(ShowFromTable(lookup, "Arabic", 5, 2145910784, Variant::Missing(), "", 0),
                          6, "", "");
  EXPECT_AUTOMATION_ERROR(ShowFromTable(lookup, "English", 5, 0, Variant(3e10), "", 0), 6, "", "");
  EXPECT_TRUE(host->boxes.empty());
  EXPECT_EQ(ShowFromTable(lookup, "Arabic", 5, 2145910783, Variant::Missing(), "", 0), 1);
  EXPECT_EQ(host->boxes.back().style, 2147483647);
  host->failBoxes = true;
  EXPECT_AUTOMATION_ERROR(ShowFromTable(lookup, "English", 5, 0, Variant::Missing(), "", 0),
                          kNoInteractiveDesktop, "", "");
}

}  // namespace
}  // namespace orvex
