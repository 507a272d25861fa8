// Every member of every interface, in call-table order, with the identifier and signature that
// early- and late-bound clients rely on.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "orvex/type_library.hpp"

namespace orvex {
namespace {

std::string RenderDefault(const DefaultValue& value) {
  if (value.vt == vbString) return "\"" + value.text + "\"";
  if (value.vt == vbBoolean) return value.number == -1 ? "True" : value.number == 0 ? "False" : "?";
  return std::to_string(value.number);
}

std::string RenderParam(const ParamInfo& param) {
  std::string text = (param.byRef ? "ByRef " : "") + param.name + " As " + param.type.name;
  if (param.defaultValue) text += " = " + RenderDefault(*param.defaultValue);
  return param.optional ? "[" + text + "]" : text;
}

std::string RenderParams(const std::vector<ParamInfo>& params) {
  std::string text;
  for (const ParamInfo& param : params) text += (text.empty() ? "" : ", ") + RenderParam(param);
  return "(" + text + ")";
}

std::string RenderKinds(const MemberInfo& member) {
  std::string text;
  for (auto [kind, word] : {std::pair{MemberKind::PropertyGet, "Get"},
                            {MemberKind::PropertyLet, "Let"},
                            {MemberKind::PropertySet, "Set"}}) {
    if (member.Has(kind)) text += (text.empty() ? "" : "/") + std::string(word);
  }
  return text;
}

// A member as a line of basic-like text: "Field Get/Let Helpfile As String",
// "Property Let ConnectingString = ByRef String", "Function AddNew(New_Text As String) As Integer".
std::string Render(const MemberInfo& member) {
  if (member.Has(MemberKind::Event)) return "Event " + member.name + RenderParams(member.params);
  if (member.Has(MemberKind::Method)) {
    std::string head = member.type.IsNone() ? "Sub " : "Function ";
    std::string tail = member.type.IsNone() ? "" : " As " + member.type.name;
    return head + member.name + RenderParams(member.params) + tail;
  }
  std::string text = (member.isDataMember ? "Field " : "Property ") + RenderKinds(member) + " " +
                     member.name + (member.params.empty() ? "" : RenderParams(member.params));
  if (member.Has(MemberKind::PropertyGet)) text += " As " + member.type.name;
  if (member.newValue) {
    text +=
        " = " + std::string(member.newValue->byRef ? "ByRef " : "") + member.newValue->type.name;
  }
  return text;
}

struct Expected {
  int32_t dispId;
  std::string signature;
};

const std::string kShowParams =
    "(MessageID As Integer, [Buttons As VbMsgBoxStyle = 0], [Source As Variant], "
    "[ByRef Helpfile As String = \"\"], [HelpContext As Long = 0]) As VbMsgBoxResult";
const std::string kLoadStrings =
    "Sub LoadStringsRS(TableName As String, [Language As String = \"\"], "
    "[ReadOnly As Boolean = True])";

const std::vector<std::pair<std::string, std::vector<Expected>>>& ExpectedInterfaces() {
  static const std::vector<std::pair<std::string, std::vector<Expected>>> table = {
      {"_CTextTable",
       {{0x40030000, "Field Get/Let Helpfile As String = String"},
        {0x40030001, "Field Get/Let HelpContext As Long = Long"},
        {0x68030001, "Property Let ConnectingString = ByRef String"},
        {0x60030003, kLoadStrings},
        {0x68030000, "Property Get/Let TextE(Language As String, ID As Long) As String = String"},
        {0x0, "Property Get/Let Text(ID As Long) As String = String"},
        {0x60030004, "Function AddNew(New_Text As String) As Integer"},
        {0x60030005, "Function Show" + kShowParams}}},
      {"_GMessage",
       {{0x60030000,
         "Function ShowText(MessageText As String, [Buttons As VbMsgBoxStyle = 0], "
         "[Source As String = \"\"], [Language As String = \"\"], [ByRef Helpfile As String = "
         "\"\"], [HelpContext As Long = 0]) As VbMsgBoxResult"}}},
      {"_CTextTable2",
       {{0x40030000, "Field Get/Let Helpfile As String = String"},
        {0x40030001, "Field Get/Let HelpContext As Long = Long"},
        {0x68030000, "Property Let ConnectingString = ByRef String"},
        {0x60030002, kLoadStrings},
        {0x0, "Property Get Text(ID As Long) As String"},
        {0x60030003, "Function Show" + kShowParams}}},
      {"_CTextTable3",
       {{0x40030000, "Field Get/Let Helpfile As String = String"},
        {0x40030001, "Field Get/Let HelpContext As Long = Long"},
        {0x68030001, "Property Let ConnectingString = ByRef String"},
        {0x60030003, kLoadStrings},
        {0x68030000, "Property Get/Let Text(ID As Long) As String = String"},
        {0x60030004, "Function AddNew(New_Text As String) As Long"},
        {0x60030005, "Function Show" + kShowParams},
        {0x60030006, "Sub Save()"}}},
      {"_CLogError",
       {{0x40030000, "Field Get/Set gttErrors As CTextTable = CTextTable"},
        {0x40030001, "Field Get/Set gttMessages As CTextTable = CTextTable"},
        {0x40030002, "Field Get/Let glERROR_B As Long = Long"},
        {0x40030003, "Field Get/Let glERROR_E As Long = Long"},
        {0x40030004, "Field Get/Let gstrHelpFile As String = String"},
        {0x40030005, "Field Get/Let glHelpContext As Long = Long"},
        {0x40030006, "Field Get/Let gbDateStamp As Boolean = Boolean"},
        {0x40030007, "Field Get/Set madocmdInsertError As Command = Command"},
        {0x60030002, "Function Clone() As CLogError"},
        {0x60030003,
         "Function LogError(ModuleName As String, ProcedureName As String, ByRef objErr As "
         "TErrorObject, [elt As ELogType = 0], [embs As VbMsgBoxStyle = 0], [Title As String = "
         "\"\"]) As ETWErrorLogResult"},
        {0x68030001, "Property Let pLogFile = ByRef String"},
        {0x60030007,
         "Sub pConnect(ByRef strConnectingString As String, ByRef strTableName As String, ByRef "
         "le As CLogError)"},
        {0x68030000, "Property Let pLogXML = ByRef String"},
        {0x6003000C, "Sub SaveXMLLog()"},
        {0x6003000D, "Sub ClearXMLLog()"},
        {0x6003000E, "Sub CloseXMLLog()"}}},
      {"_CLogEvent",
       {{0x40030000, "Field Get/Set gttEvents As CTextTable = CTextTable"},
        {0x40030001, "Field Get/Let gstrHelpFile As String = String"},
        {0x40030002, "Field Get/Let glHelpContext As Long = Long"},
        {0x40030003, "Field Get/Let gstrLogFile As String = String"},
        {0x40030004, "Field Get/Let gstrLogDBFile As String = String"},
        {0x40030005, "Field Get/Let gstrTableName As String = String"},
        {0x40030006, "Field Get/Let gbDateStamp As Boolean = Boolean"},
        {0x60030002,
         "Function LogEvent(ByRef strEvent As String, [elt As ELogType = 0]) As Boolean"},
        {0x68030001, "Property Let pLogFile = ByRef String"},
        {0x60030006,
         "Sub pConnect(ByRef strConnectingString As String, ByRef strTableName As String)"},
        {0x68030000, "Property Let pLogXML = ByRef String"},
        {0x6003000C, "Sub SaveXMLLog()"},
        {0x6003000D, "Sub ClearXMLLog()"},
        {0x6003000E, "Sub CloseXMLLog()"}}},
      {"_CLogXaction",
       {{0x40030000, "Field Get/Set gttEvents As CTextTable = CTextTable"},
        {0x40030001, "Field Get/Let gstrHelpFile As String = String"},
        {0x40030002, "Field Get/Let glHelpContext As Long = Long"},
        {0x40030003, "Field Get/Let gstrLogFile As String = String"},
        {0x40030004, "Field Get/Let gstrLogDBFile As String = String"},
        {0x40030005, "Field Get/Let gstrTableName As String = String"},
        {0x40030006, "Field Get/Let gbDateStamp As Boolean = Boolean"},
        {0x60030002,
         "Function LogXaction(ByRef Data As Variant(), [elt As ELogType = 0]) As Boolean"},
        {0x68030001, "Property Let pLogFile = ByRef String"},
        {0x68030000, "Property Let pLogXML = ByRef String"},
        {0x60030003, "Sub SaveXMLLog()"},
        {0x60030004, "Sub CloseXMLLog()"},
        {0x60030005, "Sub ClearXMLLog()"},
        {0x6003000A,
         "Sub pConnect(ByRef strConnectingString As String, ByRef strTableName As String, ByRef "
         "SourceCount As Integer)"}}},
      {"_GErrors",
       {{0x60030000,
         "Function SetErrSource(ByRef modName As String, ByRef procName As String) As String"},
        {0x60030001, "Function COMError(ByRef e As Long) As Long"}}},
      {"__CLogError",
       {{1,
         "Event ShowError(errSource As String, ErrNumber As Long, ErrDescription As String, "
         "ErrDate As Date)"},
        {2, "Event ShowEvent(ByRef strEvent As String)"}}},
      {"__CLogEvent", {{1, "Event ShowEvent(ByRef strEvent As String)"}}},
      {"__CLogXaction", {{1, "Event ShowEvent(ByRef Data As Variant())"}}},
  };
  return table;
}

TEST(InterfaceLayout, EveryMemberInCallTableOrderWithItsIdentifierAndSignature) {
  EXPECT_EQ(OrvexTypeLibrary().interfaces.size(), ExpectedInterfaces().size());
  for (const auto& [name, expectedMembers] : ExpectedInterfaces()) {
    SCOPED_TRACE(name);
    const InterfaceInfo* iface = FindInterface(name);
    ASSERT_NE(iface, nullptr);
    ASSERT_EQ(iface->members.size(), expectedMembers.size());
    for (size_t i = 0; i < expectedMembers.size(); ++i) {
      EXPECT_EQ(iface->members[i].dispId, expectedMembers[i].dispId) << iface->members[i].name;
      EXPECT_EQ(Render(iface->members[i]), expectedMembers[i].signature);
    }
  }
}

// Data members count from 0x40030000 in declaration order, property procedures sit under
// 0x68030000 and methods under 0x60030000; events count from 1; only the default Text is 0.
TEST(InterfaceLayout, IdentifierSchemeAndUniqueness) {
  for (const InterfaceInfo& iface : OrvexTypeLibrary().interfaces) {
    SCOPED_TRACE(iface.name);
    std::set<std::string> lowerNames;
    std::set<int32_t> ids;
    int32_t nextField = 0x40030000;
    int32_t nextEvent = 1;
    for (const MemberInfo& member : iface.members) {
      SCOPED_TRACE(member.name);
      std::string lower = member.name;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      EXPECT_TRUE(lowerNames.insert(lower).second) << "name repeated";
      EXPECT_TRUE(ids.insert(member.dispId).second) << "identifier repeated";
      EXPECT_EQ(member.Has(MemberKind::Event), iface.isEventInterface);
      const uint32_t high = static_cast<uint32_t>(member.dispId) & 0xFFFF0000u;
      if (iface.isEventInterface) {
        EXPECT_EQ(member.dispId, nextEvent++);
      } else if (member.isDataMember) {
        EXPECT_EQ(member.dispId, nextField++);
      } else if (member.dispId == 0) {
        EXPECT_EQ(member.name, "Text");
        EXPECT_EQ(member.helpString, "The default property of Strings");
      } else if (member.IsProperty()) {
        EXPECT_EQ(high, 0x68030000u);
      } else {
        EXPECT_EQ(high, 0x60030000u);
      }
      if (member.dispId != 0) {
        EXPECT_EQ(member.helpString, "");
      }
    }
  }
}

}  // namespace
}  // namespace orvex
