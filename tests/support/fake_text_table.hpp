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
  struct ShowCall {
    int16_t messageID;
    int32_t buttons;
    Variant source;
    std::string helpFile;
    int32_t helpContext;

    // "messageID|buttons|source|helpFile|helpContext" (a missing source reads "<missing>").
    std::string Text() const {
      return std::to_string(messageID) + "|" + std::to_string(buttons) + "|" +
             (source.IsMissing() ? "<missing>" : CStr(source)) + "|" + helpFile + "|" +
             std::to_string(helpContext);
    }
  };

  std::map<int32_t, std::string> texts;
  std::vector<int32_t> lookups;
  std::vector<ShowCall> shows;
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
    shows.push_back({MessageID, Buttons, Source, Helpfile, HelpContext});
    return showAnswer;
  }
};

}  // namespace orvex::testing
