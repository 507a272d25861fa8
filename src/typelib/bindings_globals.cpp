// The late-bound faces of the global classes GMessage and GErrors.
#include "orvex/gerrors.hpp"
#include "orvex/gmessage.hpp"
#include "typelib/class_registry.hpp"

namespace orvex::typelib {
namespace {

const ClassBinding<GMessage>& MessageBinding() {
  static const ClassBinding<GMessage> binding(
      "_GMessage", "GMessage", "{A69DC771-86D3-43DB-B473-18529DD9D2CF}",
      {{Method("ShowText", 0x60030000,
               {Param("MessageText", String()),
                OptParam("Buttons", EnumOf("VbMsgBoxStyle"), DefaultLong(0)),
                OptParam("Source", String(), DefaultText("")),
                OptParam("Language", String(), DefaultText("")),
                OptRefParam("Helpfile", String(), DefaultText("")),
                OptParam("HelpContext", Long(), DefaultLong(0))},
               EnumOf("VbMsgBoxResult")),
        [](GMessage& message, MemberCall& c) {
          const auto& p = c.params;
          return Variant(message.ShowText(p[0].Str(), p[1].I4(), p[2].Str(), p[3].Str(), p[4].Str(),
                                          p[5].I4()));
        }}});
  return binding;
}

const ClassBinding<GErrors>& ErrorsBinding() {
  static const ClassBinding<GErrors> binding(
      "_GErrors", "GErrors", "{B2B9D094-B232-429A-8F9C-84976020C874}",
      {{Method("SetErrSource", 0x60030000,
               {RefParam("modName", String()), RefParam("procName", String())}, String()),
        [](GErrors& errors, MemberCall& c) {
          return Variant(errors.SetErrSource(c.params[0].Str(), c.params[1].Str()));
        }},
       {Method("COMError", 0x60030001, {RefParam("e", Long())}, Long()),
        [](GErrors& errors, MemberCall& c) {
          return Variant(errors.COMError(c.params[0].I4()));
        }}});
  return binding;
}

}  // namespace

std::vector<RegisteredClass> GlobalClasses() {
  return {Register(MessageBinding(), "{3B2A33B3-7AC5-4262-A133-17EC1DA36E59}", false, true),
          Register(ErrorsBinding(), "{44D2C92F-9577-4481-B903-8F43C8FA70A2}", false, true)};
}

}  // namespace orvex::typelib
