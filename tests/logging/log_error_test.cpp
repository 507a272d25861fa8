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

struct RecordingErrorSink : CLogErrorEvents {
  struct Call {
    std::string source;
    int32_t number;
    std::string description;
    Date date;
    std::string Text() const { return source + "|" + std::to_string(number) + "|" + description; }
  };
  std::vector<Call> calls;
  bool raises = false;
  void ShowError(const std::string& errSource, int32_t ErrNumber, const std::string& ErrDescription,
                 Date ErrDate) override {
    calls.push_back({errSource, ErrNumber, ErrDescription, ErrDate});
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
    TErrorObject e;
    e.lNumber = number;
    e.strDescription = std::move(description);
    e.strSource = std::move(source);
    e.strHelpFile = "client.hlp";
    e.lHelpContext = 11;
    return e;
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
    int32_t number;
    int32_t expected;
  };
  const Case cases[] = {
      {kNonSevere | 1003, etwelrNSERROR},
      {etwcSERRORS | 1003, etwelrSERROR},
      {kNonSevere | 1011, etwelrSERROR},  // out of range: reported as severe
      {kNonSevere | 999, etwelrSERROR},
      {etwcSERRORS | 1000, etwelrSERROR},
      {53, etwelrSERROR},
      {-2147467259, etwelrSERROR},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    TErrorObject e = Error(c.number);
    TErrorObject before = e;
    EXPECT_EQ(logger->LogError("Mod", "Proc", e), c.expected);
    EXPECT_EQ(e, before);  // nothing selected: the caller's error stays as it was
  }
  EXPECT_TRUE(host->boxes.empty());
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

  TErrorObject system = Error(53, "File not found", "");
  EXPECT_EQ(logger->LogError("Mod", "Proc", system, ltRAISEEVENT), etwelrSERROR);
  TErrorObject chained = Error(53, "File not found", "X.y@OTHER >> Z");
  logger->LogError("Mod", "Proc", chained, ltFORMATERROR);  // selects the event by its low bit
  TErrorObject component = Error(kNonSevere | 1003, "ignored", "Lib");
  EXPECT_EQ(logger->LogError("Mod", "Proc", component, ltRAISEEVENT), etwelrNSERROR);

  ASSERT_EQ(second->calls.size(), 3u);
  EXPECT_EQ(sink->calls.size(), 3u);
  EXPECT_EQ(second->calls[0].Text(), "@PC7 in Mod.Proc-|53|File not found");
  EXPECT_EQ(second->calls[0].date, host->now);
  EXPECT_EQ(second->calls[1].source, "@PC7 in Mod.Proc >> X.y@OTHER >> Z");
  EXPECT_EQ(second->calls[2].Text(),
            "@PC7 in Mod.Proc-Lib|" + std::to_string(kNonSevere | 1003) + "|Disk nearly full");
  EXPECT_EQ(messages->lookups, std::vector<int32_t>{3});

  logger->Unadvise(cookie);
  TErrorObject again = Error(53);
  logger->LogError("Mod", "Proc", again, ltRAISEEVENT);
  EXPECT_EQ(second->calls.size(), 3u);
  EXPECT_EQ(sink->calls.size(), 4u);
}

TEST_F(LogErrorTest, AnErrorLoggedFromInsideTheEventKeepsEachCallsOwnSource) {
  // The client's handler logs an error of its own through the same logger, as a handler may;
  // the outer call then goes on to its box with its own source, and a third call finds the
  // logger as before.
  struct ReenteringSink : CLogErrorEvents {
    CLogError* logger = nullptr;
    void ShowError(const std::string&, int32_t, const std::string&, Date) override {
      TErrorObject inner;
      inner.lNumber = 7;
      inner.strDescription = "Out of memory";
      inner.strSource = "a much longer source than the outer call's, from the client's handler";
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

TEST_F(LogErrorTest, PlainBoxPromptTitleAndHexNumberText) {
  TErrorObject unspecified = Error(-2147467259, "Unspecified error", "");
  EXPECT_EQ(logger->LogError("Mod", "Proc", unspecified, ltMSGBOX, 16), etwelrSERROR | 1);
  ASSERT_EQ(host->boxes.size(), 1u);
  EXPECT_EQ(host->boxes[0].Text(),
            "@PC7 in Mod.Proc-  *** Error #80004005 Description:  {Unspecified error}|16|"
            "System Error at Mod::Proc|client.hlp|11");

  TErrorObject notFound = Error(53, "", "");
  logger->LogError("Mod", "Proc", notFound, ltMSGBOX, 0, "My title");
  EXPECT_EQ(host->boxes[1].Text(),
            "@PC7 in Mod.Proc-  *** Error #53 Description:  {}|0|My title|client.hlp|11");

  // With the date stamp the prompt starts with the general date text and a blank.
  logger->gbDateStamp = true;
  TErrorObject stamped = Error(53, "x", "");
  logger->LogError("Mod", "Proc", stamped, ltMSGBOX);
  EXPECT_EQ(host->boxes[2].prompt,
            "12/5/2026 7:29:54 PM @PC7 in Mod.Proc-  *** Error #53 Description:  {x}");
  host->now = Date(2026, 12, 5);  // exactly midnight: the time is left out
  logger->LogError("Mod", "Proc", stamped, ltMSGBOX);
  EXPECT_EQ(host->boxes[3].prompt.rfind("12/5/2026 @PC7", 0), 0u);
}

TEST_F(LogErrorTest, BothBoxesFullFirstAnswersOred) {
  host->answers = {1, 2};
  TErrorObject e = Error(53, "Missing", "");
  EXPECT_EQ(logger->LogError("Mod", "Proc", e, ltMSGBOX | ltMSG_ONLY, 1), etwelrSERROR | 3);
  ASSERT_EQ(host->boxes.size(), 2u);
  EXPECT_NE(host->boxes[0].prompt.find("*** Error #53"), std::string::npos);
  EXPECT_EQ(host->boxes[1].Text(), "Missing|1|System Error at Mod::Proc|client.hlp|11");
}

TEST_F(LogErrorTest, ComponentErrorsAreShownByTheirTableWithTheIconAndAnswerDiscarded) {
  logger->glERROR_B = 1000;
  logger->glERROR_E = 1010;
  logger->gstrHelpFile = "app.hlp";
  logger->glHelpContext = 99;
  logger->gttMessages = messages;
  logger->gttErrors = errors;
  messages->showAnswer = 2;

  TErrorObject nonSevere = Error(kNonSevere | 1003);
  EXPECT_EQ(logger->LogError("Mod", "Proc", nonSevere, ltMSGBOX | ltMSG_ONLY), etwelrNSERROR);
  ASSERT_EQ(messages->shows.size(), 2u);
  EXPECT_EQ(messages->shows[0].Text(), "3|64|Non Severe Component Error|app.hlp|99");

  TErrorObject severe = Error(etwcSERRORS | 1003);
  EXPECT_EQ(logger->LogError("Mod", "Proc", severe, ltMSGBOX, 0, "Custom"), etwelrSERROR);
  ASSERT_EQ(errors->shows.size(), 1u);
  EXPECT_EQ(errors->shows[0].Text(), "3|16|Custom|app.hlp|99");
  EXPECT_TRUE(host->boxes.empty());

  // Without a table the component error gets a plain box with the decimal plain number.
  logger->gttMessages = nullptr;
  TErrorObject plainBox = Error(kNonSevere | 1003, "own text", "");
  EXPECT_EQ(logger->LogError("Mod", "Proc", plainBox, ltMSGBOX), etwelrNSERROR | 1);
  ASSERT_EQ(host->boxes.size(), 1u);
  EXPECT_EQ(host->boxes[0].Text(),
            "@PC7 in Mod.Proc-  *** Error #1003 Description:  {own text}|0|"
            "Non Severe Component Error|app.hlp|99");

  // A component error outside the range shows no box at all.
  TErrorObject outside = Error(kNonSevere | 5000);
  EXPECT_EQ(logger->LogError("Mod", "Proc", outside, ltMSGBOX | ltMSG_ONLY), etwelrSERROR);
  EXPECT_EQ(host->boxes.size(), 1u);
}

TEST_F(LogErrorTest, RangeLeftAtZeroMakesComponentErrorsSystemErrors) {
  auto sink = std::make_shared<RecordingErrorSink>();
  logger->Advise(sink);
  TErrorObject e = Error(kNonSevere | 7, "theirs", "");
  EXPECT_EQ(logger->LogError("Mod", "Proc", e, ltMSG_ONLY | ltRAISEEVENT), etwelrSERROR);
  EXPECT_EQ(host->boxes.size(), 0u);  // a component error out of range: no box
  ASSERT_EQ(sink->calls.size(), 1u);
  EXPECT_EQ(sink->calls[0].description, "theirs");  // its own description, as a system error
  TErrorObject zero = Error(kNonSevere | 0, "zero", "");
  logger->gttMessages = messages;
  EXPECT_EQ(logger->LogError("Mod", "Proc", zero, ltRAISEEVENT), etwelrNSERROR);
  EXPECT_EQ(messages->lookups, std::vector<int32_t>{0});
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
  ASSERT_EQ(sink->calls.size(), 1u);
  EXPECT_EQ(sink->calls[0].description, "");  // a failed lookup leaves the description empty

  // A message number that does not fit 16 bits skips the table's box.
  messages->showRaises = false;
  logger->glERROR_B = 0;
  logger->glERROR_E = 100000;
  TErrorObject big = Error(kNonSevere | 70000);
  EXPECT_NO_THROW(logger->LogError("Mod", "Proc", big, ltMSGBOX));
  EXPECT_TRUE(messages->shows.empty());
}

TEST_F(LogErrorTest, RaiseErrorAndEmailSelectNothing) {
  TErrorObject e = Error(53);
  EXPECT_EQ(logger->LogError("Mod", "Proc", e, ltRAISEERROR | ltEMAIL), etwelrSERROR);
  EXPECT_TRUE(host->boxes.empty());
  EXPECT_EQ(e.lNumber, 53);
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
  EXPECT_TRUE(clone->gbDateStamp && clone->glHelpContext == 5 && clone->glERROR_B == 10 &&
              clone->glERROR_E == 20 && clone->gstrHelpFile == "h");
  EXPECT_TRUE(clone->gttErrors == errors && clone->gttMessages == messages);
  EXPECT_EQ(clone->madocmdInsertError, nullptr);
}

}  // namespace
}  // namespace orvex
