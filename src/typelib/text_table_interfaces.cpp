// The default interfaces of the three text tables.
#include "typelib/member_builders.hpp"

namespace orvex::typelib {
namespace {

constexpr uint8_t kGetLet = Kinds({MemberKind::PropertyGet, MemberKind::PropertyLet});
constexpr uint8_t kLetOnly = Kinds({MemberKind::PropertyLet});
constexpr uint8_t kGetOnly = Kinds({MemberKind::PropertyGet});

MemberInfo ConnectingString(int32_t dispId) {
  return Property("ConnectingString", dispId, kLetOnly, {}, String(),
                  RefParam("strConnectingString", String()));
}

MemberInfo LoadStringsRS(int32_t dispId) {
  return Method("LoadStringsRS", dispId,
                {Param("TableName", String()), OptParam("Language", String(), DefaultText("")),
                 OptParam("ReadOnly", Boolean(), DefaultBool(true))});
}

MemberInfo Show(int32_t dispId) {
  return Method(
      "Show", dispId,
      {Param("MessageID", Integer()), OptParam("Buttons", EnumOf("VbMsgBoxStyle"), DefaultLong(0)),
       // No default: the table tells an omitted source from a given one.
       OptParam("Source", VariantType(), std::nullopt),
       OptRefParam("Helpfile", String(), DefaultText("")),
       OptParam("HelpContext", Long(), DefaultLong(0))},
      EnumOf("VbMsgBoxResult"));
}

// Text(ID) read by a client that names no member at all.
MemberInfo DefaultTextMember(uint8_t kinds) {
  std::optional<ParamInfo> newText;
  if (kinds & static_cast<uint8_t>(MemberKind::PropertyLet)) newText = Param("New_Text", String());
  MemberInfo text = Property("Text", 0, kinds, {Param("ID", Long())}, String(), newText);
  text.helpString = "The default property of Strings";
  return text;
}

std::vector<MemberInfo> HelpMembers() {
  return {DataMember("Helpfile", 0x40030000, String()),
          DataMember("HelpContext", 0x40030001, Long())};
}

InterfaceInfo TextTable() {
  InterfaceInfo iface{"_CTextTable", "CTextTable", "{ADF90D20-97DD-453D-9CF7-D85870EE901C}", false,
                      HelpMembers()};
  iface.members.push_back(ConnectingString(0x68030001));
  iface.members.push_back(LoadStringsRS(0x60030003));
  iface.members.push_back(Property("TextE", 0x68030000, kGetLet,
                                   {Param("Language", String()), Param("ID", Long())}, String(),
                                   Param("New_Text", String())));
  iface.members.push_back(DefaultTextMember(kGetLet));
  iface.members.push_back(Method("AddNew", 0x60030004, {Param("New_Text", String())}, Integer()));
  iface.members.push_back(Show(0x60030005));
  return iface;
}

InterfaceInfo TextTable2() {
  InterfaceInfo iface{"_CTextTable2", "CTextTable2", "{39F91515-DC2A-4ADF-9D7A-C02EFF4135B3}",
                      false, HelpMembers()};
  iface.members.push_back(ConnectingString(0x68030000));
  iface.members.push_back(LoadStringsRS(0x60030002));
  iface.members.push_back(DefaultTextMember(kGetOnly));
  iface.members.push_back(Show(0x60030003));
  return iface;
}

InterfaceInfo TextTable3() {
  InterfaceInfo iface{"_CTextTable3", "CTextTable3", "{1ED9D080-A3BE-4BF8-8024-458472AB68B2}",
                      false, HelpMembers()};
  iface.members.push_back(ConnectingString(0x68030001));
  iface.members.push_back(LoadStringsRS(0x60030003));
  // Here Text is an ordinary property procedure, not the default member.
  iface.members.push_back(Property("Text", 0x68030000, kGetLet, {Param("ID", Long())}, String(),
                                   Param("New_Text", String())));
  iface.members.push_back(Method("AddNew", 0x60030004, {Param("New_Text", String())}, Long()));
  iface.members.push_back(Show(0x60030005));
  iface.members.push_back(Method("Save", 0x60030006, {}));
  return iface;
}

}  // namespace

std::vector<InterfaceInfo> TextTableInterfaces() {
  return {TextTable(), TextTable2(), TextTable3()};
}

}  // namespace orvex::typelib
