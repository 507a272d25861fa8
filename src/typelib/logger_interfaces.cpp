// The default interfaces of the three loggers.
#include "typelib/member_builders.hpp"

namespace orvex::typelib {
namespace {

MemberInfo FileNameProperty(std::string name, int32_t dispId) {
  return Property(std::move(name), dispId, Kinds({MemberKind::PropertyLet}), {}, String(),
                  RefParam("strFileName", String()));
}

ParamInfo LogTypeParam() { return OptParam("elt", EnumOf("ELogType"), DefaultLong(0)); }

std::vector<ParamInfo> ConnectParams() {
  return {RefParam("strConnectingString", String()), RefParam("strTableName", String())};
}

InterfaceInfo LogError() {
  InterfaceInfo iface{
      "_CLogError", "CLogError", "{04463FCF-F213-4372-AA5E-DB84AC4105AA}", false, {}};
  auto& m = iface.members;
  m.push_back(DataMember("gttErrors", 0x40030000, ObjectOf("CTextTable")));
  m.push_back(DataMember("gttMessages", 0x40030001, ObjectOf("CTextTable")));
  m.push_back(DataMember("glERROR_B", 0x40030002, Long()));
  m.push_back(DataMember("glERROR_E", 0x40030003, Long()));
  m.push_back(DataMember("gstrHelpFile", 0x40030004, String()));
  m.push_back(DataMember("glHelpContext", 0x40030005, Long()));
  m.push_back(DataMember("gbDateStamp", 0x40030006, Boolean()));
  m.push_back(DataMember("madocmdInsertError", 0x40030007, ObjectOf("Command")));
  m.push_back(Method("Clone", 0x60030002, {}, ObjectOf("CLogError")));
  m.push_back(Method("LogError", 0x60030003,
                     {Param("ModuleName", String()), Param("ProcedureName", String()),
                      RefParam("objErr", RecordOf("TErrorObject")), LogTypeParam(),
                      OptParam("embs", EnumOf("VbMsgBoxStyle"), DefaultLong(0)),
                      OptParam("Title", String(), DefaultText(""))},
                     EnumOf("ETWErrorLogResult")));
  m.push_back(FileNameProperty("pLogFile", 0x68030001));
  std::vector<ParamInfo> connect = ConnectParams();
  connect.push_back(RefParam("le", ObjectOf("CLogError")));
  m.push_back(Method("pConnect", 0x60030007, connect));
  m.push_back(FileNameProperty("pLogXML", 0x68030000));
  m.push_back(Method("SaveXMLLog", 0x6003000C, {}));
  m.push_back(Method("ClearXMLLog", 0x6003000D, {}));
  m.push_back(Method("CloseXMLLog", 0x6003000E, {}));
  return iface;
}

// The public fields that the event and transaction loggers share.
std::vector<MemberInfo> EventLoggerFields() {
  return {DataMember("gttEvents", 0x40030000, ObjectOf("CTextTable")),
          DataMember("gstrHelpFile", 0x40030001, String()),
          DataMember("glHelpContext", 0x40030002, Long()),
          DataMember("gstrLogFile", 0x40030003, String()),
          DataMember("gstrLogDBFile", 0x40030004, String()),
          DataMember("gstrTableName", 0x40030005, String()),
          DataMember("gbDateStamp", 0x40030006, Boolean())};
}

InterfaceInfo LogEvent() {
  InterfaceInfo iface{"_CLogEvent", "CLogEvent", "{6C3C4E46-893F-4C6D-BDEE-C5B6873D98ED}", false,
                      EventLoggerFields()};
  auto& m = iface.members;
  m.push_back(
      Method("LogEvent", 0x60030002, {RefParam("strEvent", String()), LogTypeParam()}, Boolean()));
  m.push_back(FileNameProperty("pLogFile", 0x68030001));
  m.push_back(Method("pConnect", 0x60030006, ConnectParams()));
  m.push_back(FileNameProperty("pLogXML", 0x68030000));
  m.push_back(Method("SaveXMLLog", 0x6003000C, {}));
  m.push_back(Method("ClearXMLLog", 0x6003000D, {}));
  m.push_back(Method("CloseXMLLog", 0x6003000E, {}));
  return iface;
}

InterfaceInfo LogXaction() {
  InterfaceInfo iface{"_CLogXaction", "CLogXaction", "{755CC720-72F8-4B5B-8C1F-A8B70FA1AEBE}",
                      false, EventLoggerFields()};
  auto& m = iface.members;
  m.push_back(Method("LogXaction", 0x60030002, {RefParam("Data", VariantArray()), LogTypeParam()},
                     Boolean()));
  m.push_back(FileNameProperty("pLogFile", 0x68030001));
  m.push_back(FileNameProperty("pLogXML", 0x68030000));
  // Unlike the other loggers, CloseXMLLog precedes ClearXMLLog here.
  m.push_back(Method("SaveXMLLog", 0x60030003, {}));
  m.push_back(Method("CloseXMLLog", 0x60030004, {}));
  m.push_back(Method("ClearXMLLog", 0x60030005, {}));
  std::vector<ParamInfo> connect = ConnectParams();
  connect.push_back(RefParam("SourceCount", Integer()));
  m.push_back(Method("pConnect", 0x6003000A, connect));
  return iface;
}

}  // namespace

std::vector<InterfaceInfo> LoggerInterfaces() { return {LogError(), LogEvent(), LogXaction()}; }

}  // namespace orvex::typelib
