// A text table held in memory, for tests of the loggers: Text answers from a map; Show records
// its arguments and can be made to raise.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "orvex/automation_error.hpp"
#include "orvex/text_table.hpp"

namespace orvex::testing {

class FakeTextTable : public CTextTable {
 public:
  std::map<int32_t, std::string> texts;
  std::vector<int32_t> lookups;
  // Each Show as "messageID|buttons|source|helpFile|helpContext" ("<missing>" for no source).
  std::vector<std::string> shows;
  bool textRaises = false;
  bool showRaises = false;
  int32_t showAnswer = 1;

  std::string Text(int32_t ID) override {
    lookups.push_back(ID);
    if (textRaises) Raise(errTypeMismatch, "FakeTextTable");
    auto it = texts.find(ID);
    return it == texts.end() ? std::string() : it->second;
  }
  int32_t Show(int16_t MessageID, int32_t Buttons, const Variant& Source,
               const std::string& Helpfile, int32_t HelpContext) override {
    if (showRaises) Raise(errOverflow, "FakeTextTable");
    shows.push_back(std::to_string(MessageID) + "|" + std::to_string(Buttons) + "|" +
                    (Source.IsMissing() ? "<missing>" : CStr(Source)) + "|" + Helpfile + "|" +
                    std::to_string(HelpContext));
    return showAnswer;
  }
};

}  // namespace orvex::testing
