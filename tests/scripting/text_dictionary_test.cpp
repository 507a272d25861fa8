#include "platform/scripting/text_dictionary.hpp"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/automation_matchers.hpp"

namespace orvex::scripting {
namespace {

std::string TextOf(const TextDictionary& glossary, const std::string& key) {
  std::optional<std::string_view> text = glossary.Find(key);
  EXPECT_TRUE(text.has_value()) << "no entry " << key;
  return std::string(text.value_or(""));
}

TEST(TextDictionary, KeysAreExactAndASecondAddIsRefused) {
  TextDictionary glossary;
  EXPECT_FALSE(glossary.Find("7").has_value());
  const std::vector<std::string> keys = {"7", "07", "+7", "-7", "7 ", "key", "Key", "", "0"};
  for (const std::string& key : keys) glossary.Add(key, key == "0" ? "" : "text " + key);
  for (const char* key : {"7", "07", "-7", "Key", "", "0"}) {
    EXPECT_AUTOMATION_ERROR(glossary.Add(key, "Again"), 457, "",
                            "This key is already associated with an element of this collection");
  }
  // A refused Add changes nothing.
  std::string entries;
  for (const std::string& key : glossary.Keys()) entries += "[" + key + "]" + TextOf(glossary, key);
  EXPECT_EQ(entries,
            "[7]text 7[07]text 07[+7]text +7[-7]text -7[7 ]text 7 [key]text key"
            "[Key]text Key[]text [0]");
  for (const char* absent : {"KEY", "00", "8"}) EXPECT_FALSE(glossary.Exists(absent)) << absent;
}

// Numbered keys in any order, dense or sparse, beside other keys, against a std::map.
TEST(TextDictionary, ManyKeysInAnyOrderAreFoundAsAMapFindsThem) {
  std::mt19937 random(11);
  std::vector<std::string> keys;
  for (int i = 0; i < 30000; ++i) keys.push_back(std::to_string(i));
  for (int i = 0; i < 300; ++i) keys.push_back(std::to_string(1000000 + i * 7919));  // sparse
  keys.push_back("999999999");
  keys.push_back("1000000000");  // ten digits
  keys.push_back("4294967296");
  for (int i = 0; i < 300; ++i) keys.push_back(std::string("0").append(std::to_string(i)));
  for (int i = 0; i < 300; ++i) keys.push_back("id-" + std::to_string(i));
  std::shuffle(keys.begin() + 1, keys.end(), random);
  // A first key far above the rest: it cannot take the direct table, its neighbours later can.
  keys.insert(keys.begin(), "20000000");

  TextDictionary glossary;
  std::map<std::string, std::string> reference;
  for (const std::string& key : keys) {
    std::string text = "text of " + key + std::string(random() % 40, '.');
    glossary.Add(key, text);
    reference.emplace(key, text);
  }
  ASSERT_EQ(glossary.Count(), static_cast<int32_t>(reference.size()));
  EXPECT_EQ(glossary.Keys(), keys);
  for (const auto& [key, text] : reference) ASSERT_EQ(TextOf(glossary, key), text) << key;
  for (const auto& [key, text] : reference) {
    ASSERT_THROW(glossary.Add(key, "again"), AutomationError) << key;
  }
  for (const char* absent : {"30000", "30001", "1000001", "0030", "id-300", "-1", "x"}) {
    EXPECT_FALSE(glossary.Exists(absent)) << absent;
  }
}

TEST(TextDictionary, TextsStayWhereTheyAreWhileTheDictionaryGrows) {
  TextDictionary glossary;
  glossary.Add("1", "first");
  std::string_view first = *glossary.Find("1");
  const std::string large(5 * 1024 * 1024, 'L');  // more than any block holds
  glossary.Add("large", large);
  std::string_view stored = *glossary.Find("large");
  for (int i = 2; i < 200000; ++i) glossary.Add(std::to_string(i), "Message " + std::to_string(i));
  glossary.Add("after", "the large text");
  EXPECT_EQ(first, "first");
  EXPECT_EQ(stored, large);
  EXPECT_EQ(TextOf(glossary, "199999"), "Message 199999");
  EXPECT_EQ(TextOf(glossary, "after"), "the large text");
}

}  // namespace
}  // namespace orvex::scripting
