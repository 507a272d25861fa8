#include <gtest/gtest.h>

#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "support/fake_text_table.hpp"
#include "support/recording_host.hpp"

namespace orvex {
namespace {

using testing::FakeTextTable;
using testing::HostGuard;

constexpr int32_t kNonSevere = static_cast<int32_t>(0x90000000u);

// Records each event as "source|number|description|date".
struct RecordingErrorSink : CLogErrorEvents {
  std::vector<std::string> calls;
  bool raises = false;
  void ShowError(const std::string& errSource, int32_t ErrNumber, const std::string& ErrDescription,
                 Date ErrDate) override {
    calls.push_back(errSource + "|" + std::to_string(ErrNumber) + "|" + ErrDescription + "|" +
                    CStr(Variant(ErrDate)));
    if (raises) throw AutomationError(5, "client", "handler failed");
  }
};

class LogErrorTest : public ::testing::Test {
 protected:
  LogErrorTest() {
    host->computerName = "PC7";
    MMain::Main();
    logger = std::make_shared<CLogError>();
    messages->texts = {{0, "Zero"}, {3, "Disk nearly full"}};
    errors->texts = {{3, "Disk failed"}};
  }

  TErrorObject Error(int32_t number, std::string description = "desc", std::string source = "") {
    return {number, std::move(description), 11, "client.hlp", 0, std::move(source)};
  }

  HostGuard host;
  std::shared_ptr<CLogError> logger;
  std::shared_ptr<FakeTextTable> messages = std::make_shared<FakeTextTable>();
  std::shared_ptr<FakeTextTable> errors = std::make_shared<FakeTextTable>();
};

TEST_F(LogErrorTest, ResultWordClassifiesByClassBitsAndRange) {
  logger->glERROR_B = 1000;
  logger->glERROR_E = 1010;
  struct Case {
    int32_t number, flags, expected;
  };
  const Case cases[] = {
      {kNonSevere | 1003, 0, etwelrNSERROR},
      {etwcSERRORS | 1003, 0, etwelrSERROR},
      {kNonSevere | 1011, 0, etwelrSERROR},  // out of range: reported as severe
      {kNonSevere | 999, 0, etwelrSERROR},
      {etwcSERRORS | 1000, 0, etwelrSERROR},
      {53, 0, etwelrSERROR},
      {-2147467259, 0, etwelrSERROR},
      {53, ltRAISEERROR | ltEMAIL, etwelrSERROR},  // these flags select nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    TErrorObject e = Error(c.number);
    TErrorObject before = e;
    EXPECT_EQ(logger->LogError("Mod", "Proc", e, c.flags), c.expected);
    EXPECT_EQ(e, before);  // nothing selected: the caller's error stays as it was
  }
  // A range left at zero holds the number 0 only.
  logger->glERROR_B = logger->glERROR_E = 0;
  TErrorObject zero = Error(kNonSevere | 0), seven = Error(kNonSevere | 7);
  EXPECT_EQ(logger->LogError("Mod", "Proc", zero, ltRAISEEVENT), etwelrNSERROR);
  EXPECT_EQ(logger->LogError("Mod", "Proc", seven, ltMSG_ONLY), etwelrSERROR);
  EXPECT_TRUE(host->boxes.empty());  // a component error out of range: no box
}

TEST_F(LogErrorTest, ComposedSourceAndDescriptionReachTheEvent) {
  auto sink = std::make_shared<RecordingErrorSink>();
  auto second = std::make_shared<RecordingErrorSink>();
  sink->raises = true;  // swallowed; the second sink still runs
  logger->Advise(sink);
  uint32_t cookie = logger->Advise(second);
  logger->glERROR_B = 1000;
  logger->glERROR_E = 1010;
  logger->gttMessages = messages;
  logger->gttErrors = errors;

  TErrorObject system = Error(53, "File not found", "");
  EXPECT_EQ(logger->LogError("Mod", "Proc", system, ltRAISEEVENT), etwelrSERROR);
  TErrorObject chained = Error(53, "File not found", "X.y@OTHER >> Z");
  logger->LogError("Mod", "Proc", chained, ltFORMATERROR);  // selects the event by its low bit
  TErrorObject component = Error(kNonSevere | 1003, "ignored", "Lib");
  EXPECT_EQ(logger->LogError("Mod", "Proc", component, ltRAISEEVENT), etwelrNSERROR);
  TErrorObject severe = Error(etwcSERRORS | 1003, "ignored", "");  // its text from the errors
  logger->LogError("Mod", "Proc", severe, ltRAISEEVENT);
  TErrorObject outside = Error(kNonSevere | 1011, "own", "");  // out of range: a system error
  logger->LogError("Mod", "Proc", outside, ltRAISEEVENT);

  const std::string now = "|12/5/2026 7:29:54 PM";
  const std::vector<std::string> calls = {
      "@PC7 in Mod.Proc-|53|File not found" + now,
      "@PC7 in Mod.Proc >> X.y@OTHER >> Z|53|File not found" + now,
      "@PC7 in Mod.Proc-Lib|" + std::to_string(kNonSevere | 1003) + "|Disk nearly full" + now,
      "@PC7 in Mod.Proc-|" + std::to_string(etwcSERRORS | 1003) + "|Disk failed" + now,
      "@PC7 in Mod.Proc-|" + std::to_string(kNonSevere | 1011) + "|own" + now};
  EXPECT_EQ(second->calls, calls);
  EXPECT_EQ(sink->calls, calls);
  EXPECT_EQ(messages->lookups, std::vector<int32_t>{3});

  logger->Unadvise(cookie);
  TErrorObject again = Error(53);
  logger->LogError("Mod", "Proc", again, ltRAISEEVENT);
  EXPECT_EQ(second->calls.size(), 5u);
  EXPECT_EQ(sink->calls.size(), 6u);
}

TEST_F(LogErrorTest, AnErrorLoggedFromInsideTheEventKeepsEachCallsOwnSource) {
  // The client's handler logs an error of its own through the same logger, as a handler may;
  // the outer call then goes on to its box with its own source, and a third call finds the
  // logger as before.
  struct ReenteringSink : CLogErrorEvents {
    CLogError* logger = nullptr;
    void ShowError(const std::string&, int32_t, const std::string&, Date) override {
      TErrorObject inner{
          7, "Out of memory",
          0, "",
          0, "a much longer source than the outer call's, from the client's handler"};
      logger->LogError("Handler", "OnError", inner, ltMSGBOX);
    }
  };
  auto sink = std::make_shared<ReenteringSink>();
  sink->logger = logger.get();
  uint32_t cookie = logger->Advise(sink);

  TErrorObject outer = Error(53, "File not found", "Lib");
  logger->LogError("Mod", "Proc", outer, ltRAISEEVENT | ltMSGBOX);
  logger->Unadvise(cookie);
  TErrorObject later = Error(5, "Invalid call", "");
  logger->LogError("Mod", "Next", later, ltMSGBOX);

  ASSERT_EQ(host->boxes.size(), 3u);
  EXPECT_EQ(host->boxes[0].prompt,
            "@PC7 in Handler.OnError-a much longer source than the outer call's, from the "
            "client's handler  *** Error #7 Description:  {Out of memory}");
  EXPECT_EQ(host->boxes[1].prompt,
            "@PC7 in Mod.Proc-Lib  *** Error #53 Description:  {File not found}");
  EXPECT_EQ(host->boxes[2].prompt, "@PC7 in Mod.Next-  *** Error #5 Description:  {Invalid call}");
}

// The boxes as "prompt|style|title|helpFile|helpContext" lines: the plain ones first, then
// those the tables showed ("M " from the messages, "E " from the errors).
TEST_F(LogErrorTest, MessageBoxesByErrorKindTablesAndFlags) {
  logger->glERROR_B = 1000;
  logger->glERROR_E = 1010;
  logger->gstrHelpFile = "app.hlp";
  logger->glHelpContext = 99;
  messages->showAnswer = 2;  // a table's answer is discarded
  const std::string system = "|System Error at Mod::Proc|client.hlp|11\n";
  const std::string nonSevere = "Non Severe Component Error|app.hlp|99\n";
  struct Case {
    int32_t number;
    const char *description, *title;
    int32_t flags, buttons;
    bool tables;
    int32_t result;
    std::string boxes;
  } cases[] = {
      {-2147467259, "", "My title", ltMSGBOX, 16, false, etwelrSERROR | 1,
       "@PC7 in Mod.Proc-  *** Error #80004005 Description:  {}|16|My title|client.hlp|11\n"},
      // Both boxes: the full one first, the answers ORed (1 | 2).
      {53, "Missing", "", ltMSGBOX | ltMSG_ONLY, 1, false, etwelrSERROR | 3,
       "@PC7 in Mod.Proc-  *** Error #53 Description:  {Missing}|1" + system + "Missing|1" +
           system},
      {kNonSevere | 1003, "desc", "", ltMSGBOX | ltMSG_ONLY, 0, true, etwelrNSERROR,
       "M 3|64|" + nonSevere + "M 3|64|" + nonSevere},
      {etwcSERRORS | 1003, "desc", "Custom", ltMSGBOX, 0, true, etwelrSERROR,
       "E 3|16|Custom|app.hlp|99\n"},
      // Without a table: a plain box with the decimal plain number.
      {kNonSevere | 1003, "own text", "", ltMSGBOX, 0, false, etwelrNSERROR | 1,
       "@PC7 in Mod.Proc-  *** Error #1003 Description:  {own text}|0|" + nonSevere},
      {kNonSevere | 5000, "desc", "", ltMSGBOX | ltMSG_ONLY, 0, true, etwelrSERROR, ""},  // range
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    host->boxes.clear(), messages->shows.clear(), errors->shows.clear();
    logger->gttMessages = c.tables ? messages : nullptr;
    logger->gttErrors = c.tables ? errors : nullptr;
    host->answers = {1, 2};
    TErrorObject e = Error(c.number, c.description, "");
    EXPECT_EQ(logger->LogError("Mod", "Proc", e, c.flags, c.buttons, c.title), c.result);
    std::string boxes = host->BoxesText();
    for (const auto& show : messages->shows) boxes += "M " + show + "\n";
    for (const auto& show : errors->shows) boxes += "E " + show + "\n";
    EXPECT_EQ(boxes, c.boxes);
  }

  // With the date stamp the prompt starts with the general date text and a blank; at exactly
  // midnight the time is left out.
  logger->gbDateStamp = true;
  host->boxes.clear();
  TErrorObject stamped = Error(53, "x", "");
  logger->LogError("Mod", "Proc", stamped, ltMSGBOX);
  host->now = Date(2026, 12, 5);
  logger->LogError("Mod", "Proc", stamped, ltMSGBOX);
  EXPECT_EQ(host->boxes[0].prompt,
            "12/5/2026 7:29:54 PM @PC7 in Mod.Proc-  *** Error #53 Description:  {x}");
  EXPECT_EQ(host->boxes[1].prompt, "12/5/2026 @PC7 in Mod.Proc-  *** Error #53 Description:  {x}");
}

TEST_F(LogErrorTest, NeverRaisesWhateverFailsInside) {
  logger->glERROR_B = 1000;
  logger->glERROR_E = 1010;
  messages->textRaises = true;
  messages->showRaises = true;
  logger->gttMessages = messages;
  auto sink = std::make_shared<RecordingErrorSink>();
  sink->raises = true;
  logger->Advise(sink);
  host->failBoxes = true;

  TErrorObject e = Error(kNonSevere | 1003, "original");
  int32_t result = 0;
  EXPECT_NO_THROW(result = logger->LogError("Mod", "Proc", e, 0x7FFFFFFF, 0x7FFFFFFF));
  EXPECT_EQ(result & etwelrNSERROR, etwelrNSERROR);
  ASSERT_EQ(sink->calls.size(), 1u);  // a failed lookup leaves the description empty
  EXPECT_NE(sink->calls[0].find("||12/5/2026"), std::string::npos) << sink->calls[0];

  // A message number that does not fit 16 bits skips the table's box.
  messages->showRaises = false;
  logger->glERROR_B = 0;
  logger->glERROR_E = 100000;
  TErrorObject big = Error(kNonSevere | 70000);
  EXPECT_NO_THROW(logger->LogError("Mod", "Proc", big, ltMSGBOX));
  EXPECT_TRUE(messages->shows.empty());
}

TEST_F(LogErrorTest, CloneSharesSettingsAndTablesButNoDestinations) {
  logger->gbDateStamp = true;
  logger->glHelpContext = 5;
  logger->glERROR_B = 10;
  logger->glERROR_E = 20;
  logger->gstrHelpFile = "h";
  logger->gttErrors = errors;
  logger->gttMessages = messages;
  std::shared_ptr<CLogError> clone = logger->Clone();
  EXPECT_NE(clone, logger);
  EXPECT_EQ(std::tuple(clone->gbDateStamp, clone->glHelpContext, clone->glERROR_B, clone->glERROR_E,
                       clone->gstrHelpFile, clone->gttErrors, clone->gttMessages,
                       clone->madocmdInsertError),
            std::tuple(true, 5, 10, 20, "h", errors, messages, nullptr));
}

}  // namespace
}  // namespace orvex
