#include <gtest/gtest.h>

#include "platform/scripting/dictionary.hpp"
#include "support/automation_matchers.hpp"

namespace orvex::scripting {
namespace {

TEST(Dictionary, KeysAreExactAndASecondAddIsRefused) {
  Dictionary glossary;
  glossary.Add("7", "Yes");
  glossary.Add("07", "Leading zero");
  glossary.Add("key", "lower");
  glossary.Add("Key", "upper");
  EXPECT_EQ(glossary.Count(), 4);
  EXPECT_AUTOMATION_ERROR(glossary.Add("7", "Again"), 457, "",
                          "This key is already associated with an element of this collection");
  EXPECT_EQ(CStr(glossary.Item("7")), "Yes");
  EXPECT_EQ(CStr(glossary.Item("Key")), "upper");
  EXPECT_FALSE(glossary.Exists("KEY"));
  EXPECT_FALSE(glossary.Exists("7 "));
  EXPECT_EQ(glossary.Keys(), (std::vector<std::string>{"7", "07", "key", "Key"}));
}

TEST(Dictionary, ItemAddsAbsentKeysAndRemoveRefusesThem) {
  Dictionary values;
  EXPECT_TRUE(values.Item("absent").IsEmpty());  // reading an absent item adds it
  EXPECT_TRUE(values.Exists("absent"));
  values.Item("absent", int32_t{3});
  EXPECT_EQ(values.Item("absent").I4(), 3);

  auto inner = std::make_shared<Dictionary>();
  values.Add("English", inner);
  inner->Add("1", "One");
  EXPECT_EQ(values.Item("English").AsObjectOf<Dictionary>()->Count(), 1);

  values.Remove("absent");
  EXPECT_FALSE(values.Exists("absent"));
  EXPECT_AUTOMATION_ERROR(values.Remove("absent"), kElementNotFound, "", "Element not found");
  values.RemoveAll();
  EXPECT_EQ(values.Count(), 0);
  values.Add("absent", "again");  // a removed key can be added anew
  EXPECT_EQ(values.Items().size(), 1u);
}

}  // namespace
}  // namespace orvex::scripting
