// The class factory: objects by programmatic identifier, and the late-bound face of a native
// object.
#include "orvex/automation_error.hpp"
#include "orvex/dispatch.hpp"
#include "orvex/modules.hpp"
#include "typelib/adapters.hpp"
#include "typelib/typed_dispatch.hpp"

namespace orvex {
namespace {

// The runtime's own text, exactly, since clients compare it; the name asked for is the source.
[[noreturn]] void RaiseCantCreate(const std::string& name) {
  Raise(errCantCreateObject, name.empty() ? std::string("ORVEX") : name);
}

}  // namespace

std::shared_ptr<Dispatch> CreateObject(const std::string& progID) {
  MMain::EnsureMain();
  const CoClassInfo* coclass = FindCoClass(progID);
  // Only the programmatic identifier ("ORVEX.CLogError") creates; a bare class name does not.
  if (coclass == nullptr || progID.find('.') == std::string::npos) RaiseCantCreate(progID);
  const std::string& name = coclass->name;
  if (name == "CLogError") return typelib::MakeLogErrorDispatch(std::make_shared<CLogError>());
  if (name == "CLogEvent") return typelib::MakeLogEventDispatch(std::make_shared<CLogEvent>());
  if (name == "CLogXaction")
    return typelib::MakeLogXactionDispatch(std::make_shared<CLogXaction>());
  if (name == "CTextTable") return typelib::MakeTextTableDispatch(std::make_shared<CTextTable>());
  if (name == "CTextTable2")
    return typelib::MakeTextTable2Dispatch(std::make_shared<CTextTable2>());
  if (name == "CTextTable3")
    return typelib::MakeTextTable3Dispatch(std::make_shared<CTextTable3>());
  if (name == "GErrors") return typelib::MakeGErrorsDispatch(std::make_shared<GErrors>());
  if (name == "GMessage") return typelib::MakeGMessageDispatch(std::make_shared<GMessage>());
  RaiseCantCreate(progID);
}

std::shared_ptr<Dispatch> GlobalObject(const std::string& name) {
  thread_local std::shared_ptr<Dispatch> errors;
  thread_local std::shared_ptr<Dispatch> message;
  const CoClassInfo* coclass = FindCoClass(name);
  if (coclass == nullptr || !coclass->isGlobal) RaiseCantCreate(name);
  std::shared_ptr<Dispatch>& global = coclass->name == "GErrors" ? errors : message;
  if (!global) global = CreateObject(coclass->progID);
  return global;
}

namespace typelib {

std::shared_ptr<Dispatch> WrapNative(const std::shared_ptr<Object>& native) {
  if (!native) return nullptr;
  if (auto dispatch = std::dynamic_pointer_cast<Dispatch>(native)) return dispatch;
  if (auto log = std::dynamic_pointer_cast<CLogError>(native)) return MakeLogErrorDispatch(log);
  if (auto log = std::dynamic_pointer_cast<CLogEvent>(native)) return MakeLogEventDispatch(log);
  if (auto log = std::dynamic_pointer_cast<CLogXaction>(native)) return MakeLogXactionDispatch(log);
  if (auto table = std::dynamic_pointer_cast<CTextTable>(native))
    return MakeTextTableDispatch(table);
  if (auto table = std::dynamic_pointer_cast<CTextTable2>(native))
    return MakeTextTable2Dispatch(table);
  if (auto table = std::dynamic_pointer_cast<CTextTable3>(native))
    return MakeTextTable3Dispatch(table);
  if (auto errors = std::dynamic_pointer_cast<GErrors>(native)) return MakeGErrorsDispatch(errors);
  if (auto message = std::dynamic_pointer_cast<GMessage>(native))
    return MakeGMessageDispatch(message);
  Raise(DISP_E_TYPEMISMATCH, "ORVEX.Dispatch", "The object has no late-bound interface");
}

}  // namespace typelib
}  // namespace orvex
