#include <gtest/gtest.h>

#include "orvex/gerrors.hpp"
#include "orvex/modules.hpp"
#include "orvex/types.hpp"
#include "support/recording_host.hpp"

namespace orvex {
namespace {

using testing::HostGuard;

TEST(ErrorSources, ChainGrowsAtItsFrontWithTheComputerNameOfTheMoment) {
  HostGuard host;
  host->computerName = "PC1";
  EXPECT_EQ(MErrors::BuildErrSource("ORVEX.CTextTable", "Show", ""), "ORVEX.CTextTable.Show::@PC1");
  EXPECT_EQ(MErrors::BuildErrSource("CLogEvent", "pLogToDB", "Provider"),
            "CLogEvent.pLogToDB::Provider@PC1");
  std::string once = MErrors::BuildErrSource("A", "p", "Provider");
  std::string twice = MErrors::BuildErrSource("B", "q", once);
  EXPECT_EQ(twice, "B.q@PC1 >> A.p::Provider@PC1");
  EXPECT_EQ(MErrors::BuildErrSource("C", "r", twice), "C.r@PC1 >> " + twice);
  // An at sign for another reason counts as already tagged.
  EXPECT_EQ(MErrors::BuildErrSource("X", "y", "mail@host"), "X.y@PC1 >> mail@host");
  // The computer name is asked for anew each time, and may be empty.
  host->computerName = "";
  EXPECT_EQ(MErrors::BuildErrSource("M", "p", "src"), "M.p::src@");
  EXPECT_EQ(MErrors::BuildErrSource("M", "p", "a@b"), "M.p@ >> a@b");
  host->computerName = "LATER";
  EXPECT_EQ(GErrors().SetErrSource("Mod", "Proc"), "Mod.Proc::@LATER");
}

TEST(ErrorNumbers, ClassBitsAddedAndRemoved) {
  EXPECT_EQ(MErrors::PlainErrNumber(static_cast<int32_t>(0x90004E20u)), 20000);
  EXPECT_EQ(MErrors::PlainErrNumber(static_cast<int32_t>(0xA00003E9u)), 1001);
  EXPECT_EQ(MErrors::PlainErrNumber(-2147467259), -2147467259);
  // The non-severe pattern is tested first: 0xB... and 0xF... count as non-severe.
  EXPECT_EQ(MErrors::PlainErrNumber(static_cast<int32_t>(0xB0000001u)), 0x20000001);
  EXPECT_EQ(MErrors::PlainErrNumber(static_cast<int32_t>(0xF0000005u)), 0x60000005);
  EXPECT_EQ(MErrors::PlainErrNumber(static_cast<int32_t>(0x80000000u)),
            static_cast<int32_t>(0x80000000u));
  EXPECT_EQ(MErrors::PlainErrNumber(0x10000000), 0x10000000);
  EXPECT_EQ(MErrors::NSError(20000), -1879028192);
  EXPECT_EQ(MErrors::NSError(20001), -1879028191);
  EXPECT_EQ(MErrors::NSError(MErrors::NSError(7)), MErrors::NSError(7));
  EXPECT_TRUE(MErrors::IsSevere(static_cast<int32_t>(0xB0000001u)));
  EXPECT_TRUE(MErrors::IsNonSevere(static_cast<int32_t>(0xB0000001u)));
  EXPECT_FALSE(MErrors::IsSevere(static_cast<int32_t>(0x90000001u)));
}

TEST(ErrorNumbers, COMErrorMapsIntoTheAutomationRange) {
  GErrors errors;
  EXPECT_EQ(errors.COMError(5), -2147221499);
  EXPECT_EQ(errors.COMError(-2147221499), -2147221499);
  EXPECT_EQ(errors.COMError(static_cast<int32_t>(0x90000001u)), static_cast<int32_t>(0x90040001u));
  EXPECT_EQ(errors.COMError(0), static_cast<int32_t>(0x80040000u));
}

TEST(HostQueries, MainCachesTheComputerNamePerThread) {
  HostGuard host;
  host->computerName = "FIRST";
  MMain::Main();
  host->computerName = "SECOND";
  EXPECT_EQ(MMain::gstrComputerName + " " + MErrors::ComputerName(), "FIRST SECOND");
  MMain::Main();
  EXPECT_EQ(MMain::gstrComputerName, "SECOND");
  host->isNT = true;
  EXPECT_TRUE(MUtility::IsNT());
  host->isNT = false;
  EXPECT_FALSE(MUtility::IsNT());
}

TEST(ElementCount, CountsTheFirstDimensionOrNothing) {
  EXPECT_EQ(MUtility::ElementCount(Variant()), 0);
  EXPECT_EQ(MUtility::ElementCount(Variant("text")), 0);
  EXPECT_EQ(MUtility::ElementCount(Variant(SafeArray())), 0);
  EXPECT_EQ(MUtility::ElementCount(Variant(SafeArray(0, 0))), 0);
  EXPECT_EQ(MUtility::ElementCount(Variant(SafeArray(0, 7))), 7);
  EXPECT_EQ(MUtility::ElementCount(Variant(SafeArray(1, 6))), 6);
  EXPECT_EQ(MUtility::ElementCount(Variant(SafeArray(-3, 2))), 2);
  // Two dimensions: one index cannot address an element.
  SafeArray grid(std::vector<SafeArray::Bound>{{0, 3}, {0, 2}});
  EXPECT_EQ(MUtility::ElementCount(Variant(grid)), 0);
  EXPECT_EQ(MUtility::ElementCount(SafeArray(5, 1)), 1);
}

}  // namespace
}  // namespace orvex
