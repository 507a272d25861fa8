// The library as clients bind to it: its coclasses with their interfaces and GUIDs, each
// member's dispatch identifier in call-table order (early-bound clients rely on the order,
// late-bound ones on the identifiers; tests/dispatch invokes every member), and the lookups a
// dispatcher makes.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "orvex/type_library.hpp"

namespace orvex {
namespace {

TEST(TypeLibrary, CoClassesInOrderWithTheirInterfacesAndDistinctGuids) {
  const TypeLibrary& library = OrvexTypeLibrary();
  EXPECT_EQ(library.lcid, 0x409u);
  std::vector<std::string> names;
  std::set<std::string> guids = {library.guid};
  for (const CoClassInfo& coclass : library.coclasses) {
    SCOPED_TRACE(coclass.name);
    names.push_back(coclass.name);
    guids.insert(coclass.guid);
    EXPECT_EQ(coclass.progID, "ORVEX." + coclass.name);
    EXPECT_EQ(coclass.isGlobal, coclass.name[0] == 'G');
    EXPECT_EQ(coclass.defaultInterface, "_" + coclass.name);
    EXPECT_EQ(coclass.eventInterface.value_or(""),
              coclass.name.starts_with("CLog") ? "__" + coclass.name : "");
  }
  EXPECT_EQ(names, (std::vector<std::string>{"CTextTable", "GMessage", "CTextTable2", "CTextTable3",
                                             "CLogError", "CLogEvent", "CLogXaction", "GErrors"}));
  for (const InterfaceInfo& iface : library.interfaces) {
    guids.insert(iface.guid);
    EXPECT_EQ(iface.isEventInterface, iface.name.starts_with("__")) << iface.name;
  }
  EXPECT_EQ(guids.size(), 1 + library.coclasses.size() + library.interfaces.size());
  const std::regex shape("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
  for (const std::string& guid : guids) EXPECT_TRUE(std::regex_match(guid, shape)) << guid;
}

TEST(TypeLibrary, EveryMembersDispatchIdentifierInCallTableOrder) {
  const std::pair<const char*, const char*> interfaces[] = {
      {"_CTextTable",
       "Helpfile 40030000, HelpContext 40030001, ConnectingString 68030001, LoadStringsRS "
       "60030003, TextE 68030000, Text 0, AddNew 60030004, Show 60030005"},
      {"_GMessage", "ShowText 60030000"},
      {"_CTextTable2",
       "Helpfile 40030000, HelpContext 40030001, ConnectingString 68030000, LoadStringsRS "
       "60030002, Text 0, Show 60030003"},
      {"_CTextTable3",
       "Helpfile 40030000, HelpContext 40030001, ConnectingString 68030001, LoadStringsRS "
       "60030003, Text 68030000, AddNew 60030004, Show 60030005, Save 60030006"},
      {"_CLogError",
       "gttErrors 40030000, gttMessages 40030001, glERROR_B 40030002, glERROR_E 40030003, "
       "gstrHelpFile 40030004, glHelpContext 40030005, gbDateStamp 40030006, madocmdInsertError "
       "40030007, Clone 60030002, LogError 60030003, pLogFile 68030001, pConnect 60030007, "
       "pLogXML 68030000, SaveXMLLog 6003000C, ClearXMLLog 6003000D, CloseXMLLog 6003000E"},
      {"_CLogEvent",
       "gttEvents 40030000, gstrHelpFile 40030001, glHelpContext 40030002, gstrLogFile 40030003, "
       "gstrLogDBFile 40030004, gstrTableName 40030005, gbDateStamp 40030006, LogEvent 60030002, "
       "pLogFile 68030001, pConnect 60030006, pLogXML 68030000, SaveXMLLog 6003000C, "
       "ClearXMLLog 6003000D, CloseXMLLog 6003000E"},
      {"_CLogXaction",
       "gttEvents 40030000, gstrHelpFile 40030001, glHelpContext 40030002, gstrLogFile 40030003, "
       "gstrLogDBFile 40030004, gstrTableName 40030005, gbDateStamp 40030006, LogXaction "
       "60030002, pLogFile 68030001, pLogXML 68030000, SaveXMLLog 60030003, CloseXMLLog "
       "60030004, ClearXMLLog 60030005, pConnect 6003000A"},
      {"_GErrors", "SetErrSource 60030000, COMError 60030001"},
      {"__CLogError", "ShowError 1, ShowEvent 2"},
      {"__CLogEvent", "ShowEvent 1"},
      {"__CLogXaction", "ShowEvent 1"},
  };
  EXPECT_EQ(OrvexTypeLibrary().interfaces.size(), std::size(interfaces));
  for (const auto& [name, expected] : interfaces) {
    const InterfaceInfo* iface = FindInterface(name);
    ASSERT_NE(iface, nullptr) << name;
    std::string members;
    for (const MemberInfo& member : iface->members) {
      char id[12];
      std::snprintf(id, sizeof id, "%X", static_cast<unsigned>(member.dispId));
      members += (members.empty() ? "" : ", ") + member.name + " " + id;
    }
    EXPECT_EQ(members, expected) << name;
  }
  // Only the default members carry a help string.
  EXPECT_EQ(FindMember(*FindInterface("_CTextTable2"), "Text")->helpString,
            "The default property of Strings");
  EXPECT_EQ(FindMember(*FindInterface("_CTextTable3"), "Text")->helpString, "");
}

TEST(TypeLibrary, LookupsIgnoreCaseAndMatchTheWayAMemberIsInvoked) {
  EXPECT_EQ(FindCoClass("orvex.clogerror"), FindCoClass("CLogError"));
  EXPECT_EQ(FindCoClass("ORVEX.CXMLExtractor"), nullptr);  // internal, not creatable
  EXPECT_EQ(FindCoClass("ORVEX."), nullptr);
  const InterfaceInfo& table = *FindInterface("_ctexttable");
  const MemberInfo* text = FindMember(table, "tEXT");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(FindMember(table, 0, MemberKind::PropertyGet), text);
  EXPECT_EQ(FindMember(table, 0, MemberKind::PropertyLet), text);
  EXPECT_EQ(FindMember(table, 0, MemberKind::Method), nullptr);
  EXPECT_EQ(FindMember(table, 0x68030001, MemberKind::PropertyGet), nullptr);  // write only
  EXPECT_EQ(FindMember(*FindInterface("_CTextTable2"), 0, MemberKind::PropertyLet), nullptr);
  const InterfaceInfo& logger = *FindInterface("_CLogError");
  EXPECT_EQ(FindMember(logger, 0x40030000, MemberKind::PropertySet)->name, "gttErrors");
  EXPECT_EQ(FindMember(logger, 0x40030000, MemberKind::PropertyLet), nullptr);
  EXPECT_EQ(FindMember(logger, "LOGERROR")->RequiredCount(), 3u);
  EXPECT_EQ(FindMember(*FindInterface("__CLogError"), 2, MemberKind::Event)->name, "ShowEvent");
}

}  // namespace
}  // namespace orvex
