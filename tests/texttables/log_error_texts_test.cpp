// The error logger with its component-error texts taken from real text tables on SQLite.
#include <gtest/gtest.h>

#include "orvex/log_error.hpp"
#include "orvex/modules.hpp"
#include "orvex/text_table.hpp"
#include "support/db_providers.hpp"
#include "support/recording_host.hpp"
#include "texttables/sample_texts.hpp"

namespace orvex::testing {
namespace {

class DescriptionSink : public CLogErrorEvents {
 public:
  std::vector<std::string> descriptions;
  void ShowError(const std::string&, int32_t, const std::string& ErrDescription, Date) override {
    descriptions.push_back(ErrDescription);
  }
};

TEST(LogErrorWithTextTables, ComponentErrorsTakeTheirTextsFromTheTables) {
  HostGuard host;
  ScratchDatabase db(kSqlite);
  db.RunScript(SampleTextsScript(false));

  auto messages = std::make_shared<CTextTable>();
  messages->ConnectingString(db.ConnectionString());
  messages->LoadStringsRS("tt_Messages", "Arabic");
  auto errors = std::make_shared<CTextTable>();
  errors->ConnectingString(db.ConnectionString());
  errors->LoadStringsRS("tt_Messages");

  auto logger = std::make_shared<CLogError>();
  logger->gttMessages = messages;
  logger->gttErrors = errors;
  logger->glERROR_B = 1000;
  logger->glERROR_E = 1999;
  auto sink = std::make_shared<DescriptionSink>();
  logger->Advise(sink);

  // Non-severe 1004: message 4 of the Arabic table, shown right to left by the table itself.
  TErrorObject nonSevere{MErrors::NSError(1004), "caller's text", 0, "", 0, "Client"};
  int32_t result = logger->LogError("Module", "Proc", nonSevere, ltRAISEEVENT | ltMSGBOX);
  EXPECT_EQ(result, etwelrNSERROR);
  EXPECT_EQ(host->BoxesText(),
            "نعم|" + std::to_string(64 + 0x180000) + "|Non Severe Component Error||0\n");

  // Severe 1001: message 1 of the English table; an ID the table lacks gives an empty text.
  TErrorObject severe{static_cast<int32_t>(etwcSERRORS | 1001), "caller's text", 0, "", 0, ""};
  logger->LogError("Module", "Proc", severe, ltRAISEEVENT);
  TErrorObject unknown{static_cast<int32_t>(etwcSERRORS | 1042), "caller's text", 0, "", 0, ""};
  logger->LogError("Module", "Proc", unknown, ltRAISEEVENT);
  // Outside the range: the caller's own description.
  TErrorObject system{71, "Disk not ready", 0, "", 0, "VBA"};
  logger->LogError("Module", "Proc", system, ltRAISEEVENT);

  EXPECT_EQ(sink->descriptions,
            (std::vector<std::string>{"نعم", "File not found", "", "Disk not ready"}));
}

}  // namespace
}  // namespace orvex::testing
