// Every class of the library that can be created or wrapped late-bound, stated once: its
// coclass, its default interface with the calls behind it, and how an object is made or wrapped.
// The type library, CreateObject and the wrapping of native objects all read this list.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orvex/dispatch.hpp"
#include "orvex/text_table.hpp"
#include "orvex/type_library.hpp"
#include "typelib/class_binding.hpp"

namespace orvex::typelib {

struct RegisteredClass {
  CoClassInfo coclass;
  const InterfaceInfo* iface;  // the default interface, from the class's binding
  // A new object of the class, late-bound.
  std::function<std::shared_ptr<Dispatch>()> create;
  // The late-bound face of a native object of this class; nullptr when it is of another class.
  std::function<std::shared_ptr<Dispatch>(const std::shared_ptr<Object>&)> wrap;
};

// In type-library order.
const std::vector<RegisteredClass>& RegisteredClasses();

// The parts of the list, each built beside its classes' bindings.
std::vector<RegisteredClass> TextTableClasses();  // CTextTable, CTextTable2, CTextTable3
std::vector<RegisteredClass> LoggerClasses();     // CLogError, CLogEvent, CLogXaction
std::vector<RegisteredClass> GlobalClasses();     // GMessage, GErrors

// The entry of the class of a binding (which lives as long as the process), its objects made
// with make_shared<T>().
template <class T>
RegisteredClass Register(const ClassBinding<T>& binding, std::string guid, bool hasEvents,
                         bool isGlobal) {
  const std::string& name = binding.iface.className;
  CoClassInfo coclass{name,         "ORVEX." + name, std::move(guid), binding.iface.name,
                      std::nullopt, isGlobal};
  if (hasEvents) coclass.eventInterface = "__" + name;
  return {std::move(coclass), &binding.iface,
          [&binding] { return std::make_shared<BoundDispatch<T>>(binding, std::make_shared<T>()); },
          [&binding](const std::shared_ptr<Object>& native) -> std::shared_ptr<Dispatch> {
            auto object = std::dynamic_pointer_cast<T>(native);
            if (!object) return nullptr;
            return std::make_shared<BoundDispatch<T>>(binding, std::move(object));
          }};
}

// A text table for a late-bound object of the text-table interface that is not one of ours:
// Text and Show are invoked on it by name.
std::shared_ptr<CTextTable> TextTableOver(std::shared_ptr<Dispatch> object);

// The native text table behind a late-bound value (Nothing gives nullptr).
std::shared_ptr<CTextTable> TextTableFrom(const Variant& value);

}  // namespace orvex::typelib
