// The default interfaces of the global classes GMessage and GErrors.
#include "typelib/member_builders.hpp"

namespace orvex::typelib {
namespace {

InterfaceInfo Message() {
  return {"_GMessage",
          "GMessage",
          "{A69DC771-86D3-43DB-B473-18529DD9D2CF}",
          false,
          {Method("ShowText", 0x60030000,
                  {Param("MessageText", String()),
                   OptParam("Buttons", EnumOf("VbMsgBoxStyle"), DefaultLong(0)),
                   OptParam("Source", String(), DefaultText("")),
                   OptParam("Language", String(), DefaultText("")),
                   OptRefParam("Helpfile", String(), DefaultText("")),
                   OptParam("HelpContext", Long(), DefaultLong(0))},
                  EnumOf("VbMsgBoxResult"))}};
}

InterfaceInfo Errors() {
  return {"_GErrors",
          "GErrors",
          "{B2B9D094-B232-429A-8F9C-84976020C874}",
          false,
          {Method("SetErrSource", 0x60030000,
                  {RefParam("modName", String()), RefParam("procName", String())}, String()),
           Method("COMError", 0x60030001, {RefParam("e", Long())}, Long())}};
}

}  // namespace

std::vector<InterfaceInfo> GlobalInterfaces() { return {Message(), Errors()}; }

}  // namespace orvex::typelib
