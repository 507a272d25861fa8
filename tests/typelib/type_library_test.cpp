// The library as a whole: coclasses and their order, enumerations and records as the C++
// declarations have them, and the lookups a dispatcher uses.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "orvex/type_library.hpp"
#include "orvex/types.hpp"

namespace orvex {
namespace {

TEST(TypeLibrary, IdentityCoClassesAndTypeOrder) {
  const TypeLibrary& library = OrvexTypeLibrary();
  EXPECT_EQ(library.name, "ORVEX");
  EXPECT_EQ(library.lcid, 0x409u);
  EXPECT_FALSE(library.description.empty());

  const std::vector<std::string> coclassOrder = {"CTextTable",  "GMessage",  "CTextTable2",
                                                 "CTextTable3", "CLogError", "CLogEvent",
                                                 "CLogXaction", "GErrors"};
  ASSERT_EQ(library.coclasses.size(), coclassOrder.size());
  const std::set<std::string> withEvents = {"CLogError", "CLogEvent", "CLogXaction"};
  std::set<std::string> guids = {library.guid};
  const std::regex guidShape("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
  for (size_t i = 0; i < coclassOrder.size(); ++i) {
    const CoClassInfo& coclass = library.coclasses[i];
    SCOPED_TRACE(coclassOrder[i]);
    EXPECT_EQ(coclass.name, coclassOrder[i]);
    EXPECT_EQ(coclass.progID, "ORVEX." + coclassOrder[i]);
    EXPECT_EQ(coclass.isGlobal, coclass.name[0] == 'G');
    const InterfaceInfo* defaultInterface = FindInterface(coclass.defaultInterface);
    ASSERT_NE(defaultInterface, nullptr);
    EXPECT_EQ(defaultInterface->name, "_" + coclass.name);
    EXPECT_EQ(defaultInterface->className, coclass.name);
    EXPECT_FALSE(defaultInterface->isEventInterface);
    EXPECT_EQ(coclass.eventInterface.has_value(), withEvents.contains(coclass.name));
    if (coclass.eventInterface) {
      const InterfaceInfo* events = FindInterface(*coclass.eventInterface);
      ASSERT_NE(events, nullptr);
      EXPECT_EQ(events->name, "__" + coclass.name);
      EXPECT_TRUE(events->isEventInterface);
      EXPECT_TRUE(guids.insert(events->guid).second);
    }
    EXPECT_TRUE(guids.insert(coclass.guid).second);
    EXPECT_TRUE(guids.insert(defaultInterface->guid).second);
  }
  for (const std::string& guid : guids) EXPECT_TRUE(std::regex_match(guid, guidShape)) << guid;

  std::vector<std::string> expectedOrder = coclassOrder;
  for (const char* name : {"EReturnCodes", "EMessageType", "TDllErrorInfo", "ELogType",
                           "ETWErrorLogResult", "TErrorObject", "ETWConstants"}) {
    expectedOrder.push_back(name);
  }
  std::vector<std::string> order;
  for (const TypeEntry& entry : library.typeOrder) {
    order.push_back(entry.name);
    const bool found = entry.kind == TypeInfoKind::CoClass ? FindCoClass(entry.name) != nullptr
                       : entry.kind == TypeInfoKind::Enum  ? FindEnum(entry.name) != nullptr
                                                           : FindRecord(entry.name) != nullptr;
    EXPECT_TRUE(found) << entry.name;
  }
  EXPECT_EQ(order, expectedOrder);
}

TEST(TypeLibrary, RecordsHaveTheirFieldsInOrder) {
  auto fields = [](const RecordInfo& record) {
    std::vector<std::string> text;
    for (const RecordFieldInfo& field : record.fields)
      text.push_back(field.name + ":" + field.type.name);
    return text;
  };
  const auto& records = OrvexTypeLibrary().records;
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].name, "TDllErrorInfo");
  EXPECT_EQ(fields(records[0]),
            (std::vector<std::string>{"Number:Long", "Source:String", "Description:String"}));
  EXPECT_EQ(records[1].name, "TErrorObject");
  EXPECT_EQ(
      fields(records[1]),
      (std::vector<std::string>{"lNumber:Long", "strDescription:String", "lHelpContext:Long",
                                "strHelpFile:String", "lLastDllError:Long", "strSource:String"}));
}

TEST(TypeLibrary, LookupsByNameAndByIdentifier) {
  EXPECT_EQ(FindCoClass("orvex.clogerror"), FindCoClass("CLogError"));
  ASSERT_NE(FindCoClass("ORVEX.CTextTable3"), nullptr);
  EXPECT_EQ(FindCoClass("ORVEX.CTextTable3")->name, "CTextTable3");
  EXPECT_EQ(FindCoClass("ORVEX.CXMLExtractor"), nullptr);  // internal, not creatable
  EXPECT_EQ(FindCoClass("ORVEX."), nullptr);
  EXPECT_EQ(FindCoClass(""), nullptr);
  EXPECT_EQ(FindInterface("_Nothing"), nullptr);

  const InterfaceInfo& table = *FindInterface("_CTextTable");
  const MemberInfo* text = FindMember(table, "tEXT");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->dispId, 0);
  EXPECT_EQ(FindMember(table, 0, MemberKind::PropertyGet), text);
  EXPECT_EQ(FindMember(table, 0, MemberKind::PropertyLet), text);
  EXPECT_EQ(FindMember(table, 0, MemberKind::Method), nullptr);
  EXPECT_EQ(FindMember(table, "Textx"), nullptr);
  EXPECT_EQ(FindMember(table, 0x68030001, MemberKind::PropertyGet), nullptr);  // ConnectingString
  EXPECT_EQ(FindMember(table, 0x68030001, MemberKind::PropertyLet)->name, "ConnectingString");

  // The glossary table's default member reads only.
  EXPECT_EQ(FindMember(*FindInterface("_CTextTable2"), 0, MemberKind::PropertyLet), nullptr);

  const InterfaceInfo& logger = *FindInterface("_clogerror");
  EXPECT_EQ(FindMember(logger, 0x40030000, MemberKind::PropertySet)->name, "gttErrors");
  EXPECT_EQ(FindMember(logger, 0x40030000, MemberKind::PropertyLet), nullptr);
  const MemberInfo* logError = FindMember(logger, "LOGERROR");
  ASSERT_NE(logError, nullptr);
  EXPECT_EQ(logError->RequiredCount(), 3u);
  EXPECT_EQ(logError->params[2].type.vt, vbUserDefinedType);
  EXPECT_EQ(FindMember(*FindInterface("_CLogXaction"), "LogXaction")->params[0].type.vt,
            vbArray | vbVariant);
  EXPECT_EQ(FindMember(*FindInterface("__CLogError"), 2, MemberKind::Event)->name, "ShowEvent");
}

}  // namespace
}  // namespace orvex
