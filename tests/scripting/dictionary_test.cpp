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

TEST(Dictionary, ManyKeysKeepTheirItemsAndOrderThroughGrowthAndRemoval) {
  Dictionary glossary;
  glossary.Add("first", "stays put");
  Variant& first = glossary.Item("first");
  constexpr int kKeys = 20000;
  for (int i = 0; i < kKeys; ++i) glossary.Add(std::to_string(i), int32_t{i});
  EXPECT_EQ(CStr(first), "stays put");  // appending never moves an item
  EXPECT_EQ(glossary.Count(), kKeys + 1);
  for (int i = 0; i < kKeys; i += 7) {
    ASSERT_TRUE(glossary.Exists(std::to_string(i))) << i;
    ASSERT_EQ(glossary.Item(std::to_string(i)).I4(), i);
  }
  EXPECT_FALSE(glossary.Exists(std::to_string(kKeys)));
  EXPECT_FALSE(glossary.Exists("-1"));
  EXPECT_FALSE(glossary.Exists(""));

  glossary.Remove("first");
  glossary.Remove("10000");
  EXPECT_FALSE(glossary.Exists("10000"));
  EXPECT_EQ(glossary.Item("10001").I4(), 10001);
  EXPECT_EQ(glossary.Item("19999").I4(), 19999);
  std::vector<std::string> keys = glossary.Keys();
  ASSERT_EQ(keys.size(), static_cast<size_t>(kKeys - 1));
  EXPECT_EQ(keys.front(), "0");
  EXPECT_EQ(keys[9999], "9999");
  EXPECT_EQ(keys[10000], "10001");
  glossary.Add("first", "back, last");
  EXPECT_EQ(glossary.Keys().back(), "first");
  EXPECT_EQ(CStr(glossary.Items().back()), "back, last");
  EXPECT_AUTOMATION_ERROR(glossary.Add("19999", "again"), 457, "",
                          "This key is already associated with an element of this collection");
}

}  // namespace
}  // namespace orvex::scripting
