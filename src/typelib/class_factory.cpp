// The class factory: objects by programmatic identifier, and the late-bound face of a native
// object, both from the one list of registered classes.
#include "orvex/automation_error.hpp"
#include "orvex/dispatch.hpp"
#include "orvex/modules.hpp"
#include "typelib/class_registry.hpp"

namespace orvex {
namespace {

// The runtime's own text, exactly, since clients compare it; the name asked for is the source.
[[noreturn]] void RaiseCantCreate(const std::string& name) {
  Raise(errCantCreateObject, name.empty() ? std::string("ORVEX") : name);
}

const typelib::RegisteredClass* RegisteredNamed(const std::string& name) {
  for (const typelib::RegisteredClass& entry : typelib::RegisteredClasses())
    if (entry.coclass.name == name) return &entry;
  return nullptr;
}

}  // namespace

std::shared_ptr<Dispatch> CreateObject(const std::string& progID) {
  MMain::EnsureMain();
  const CoClassInfo* coclass = FindCoClass(progID);
  // Only the programmatic identifier ("ORVEX.CLogError") creates; a bare class name does not.
  if (coclass == nullptr || progID.find('.') == std::string::npos) RaiseCantCreate(progID);
  return RegisteredNamed(coclass->name)->create();
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

const std::vector<RegisteredClass>& RegisteredClasses() {
  static const std::vector<RegisteredClass> classes = [] {
    std::vector<RegisteredClass> tables = TextTableClasses();
    std::vector<RegisteredClass> loggers = LoggerClasses();
    std::vector<RegisteredClass> globals = GlobalClasses();
    // The type library's order.
    return std::vector<RegisteredClass>{tables[0],  globals[0], tables[1],  tables[2],
                                        loggers[0], loggers[1], loggers[2], globals[1]};
  }();
  return classes;
}

std::shared_ptr<Dispatch> WrapNative(const std::shared_ptr<Object>& native) {
  if (!native) return nullptr;
  if (auto dispatch = std::dynamic_pointer_cast<Dispatch>(native)) return dispatch;
  for (const RegisteredClass& entry : RegisteredClasses())
    if (std::shared_ptr<Dispatch> wrapped = entry.wrap(native)) return wrapped;
  Raise(DISP_E_TYPEMISMATCH, "ORVEX.Dispatch", "The object has no late-bound interface");
}

}  // namespace typelib
}  // namespace orvex
