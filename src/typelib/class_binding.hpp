// A class's late-bound face stated once: each member's entry in the type library (name, dispatch
// identifier, kinds, parameters) beside the native call it makes. The type library's interface
// and the dispatch adapter are both read from the one table.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "orvex/automation_error.hpp"
#include "orvex/dispatch.hpp"
#include "typelib/member_builders.hpp"
#include "typelib/typed_dispatch.hpp"

namespace orvex {
class CTextTable;
namespace data {
class Command;
}  // namespace data
}  // namespace orvex

namespace orvex::typelib {

// One invocation as a member's call sees it: its arguments coerced to the declared types (a
// by-reference one written back from here), the new value of a property put, and whether the
// member is read (a property get, or a method) or written.
struct MemberCall {
  bool get;
  std::vector<Variant>& params;
  const Variant& value;
};

template <class T>
using MemberRun = std::function<Variant(T&, MemberCall&)>;

template <class T>
struct BoundMember {
  MemberInfo info;
  MemberRun<T> run;
};

// A class's default interface with the call of each member, in call-table order.
template <class T>
struct ClassBinding {
  InterfaceInfo iface;
  std::vector<MemberRun<T>> runs;  // runs[i] calls iface.members[i]
  // Connects a late-bound event sink (classes with events only).
  std::function<uint32_t(T&, std::shared_ptr<Dispatch>)> advise;

  ClassBinding(std::string interfaceName, std::string className, std::string guid,
               std::vector<BoundMember<T>> members)
      : iface{std::move(interfaceName), std::move(className), std::move(guid), false, {}} {
    for (BoundMember<T>& member : members) {
      iface.members.push_back(std::move(member.info));
      runs.push_back(std::move(member.run));
    }
  }
};

// How a public field's value travels as a variant, and back.
inline Variant FieldToVariant(const std::string& value) { return Variant(value); }
inline Variant FieldToVariant(int32_t value) { return Variant(value); }
inline Variant FieldToVariant(bool value) { return Variant(value); }
// A text table travels as its late-bound face; one set late-bound reaches the class as the native
// table (any other object of the text-table interface is read through Text and Show).
Variant FieldToVariant(const std::shared_ptr<CTextTable>& table);
// A command travels as it is.
Variant FieldToVariant(const std::shared_ptr<data::Command>& command);
inline void FieldFromVariant(const Variant& value, std::string& field) { field = value.Str(); }
inline void FieldFromVariant(const Variant& value, int32_t& field) { field = value.I4(); }
inline void FieldFromVariant(const Variant& value, bool& field) { field = value.Bool(); }
void FieldFromVariant(const Variant& value, std::shared_ptr<CTextTable>& table);
void FieldFromVariant(const Variant& value, std::shared_ptr<data::Command>& command);

// A public field of the class: read by a property get, written by a Let (or a Set for an
// object).
template <class T, class V>
BoundMember<T> Field(std::string name, int32_t dispId, TypeRef type, V T::*field) {
  return {DataMember(std::move(name), dispId, std::move(type)),
          [field](T& object, MemberCall& call) -> Variant {
            if (call.get) return FieldToVariant(object.*field);
            FieldFromVariant(call.value, object.*field);
            return Variant();
          }};
}

// A member whose call returns nothing.
template <class T, class Body>
MemberRun<T> Does(Body body) {
  return [body](T& object, MemberCall& call) -> Variant {
    body(object, call);
    return Variant();
  };
}

// The members of `first`, then those of `then`: shared members around a class's own.
template <class T>
std::vector<BoundMember<T>> Joined(std::vector<BoundMember<T>> first,
                                   std::vector<BoundMember<T>> then) {
  for (BoundMember<T>& member : then) first.push_back(std::move(member));
  return first;
}

// The late-bound face of one native object, read from its class's binding.
template <class T>
class BoundDispatch : public TypedDispatch {
 public:
  BoundDispatch(const ClassBinding<T>& binding, std::shared_ptr<T> native)
      : TypedDispatch(*FindCoClass(binding.iface.className)),
        binding_(binding),
        native_(std::move(native)) {}

  std::shared_ptr<Object> Native() const override { return native_; }

  uint32_t Advise(std::shared_ptr<Dispatch> sink) override {
    if (!binding_.advise) return TypedDispatch::Advise(std::move(sink));
    if (!sink) Raise(errObjectRequired);
    return binding_.advise(*native_, std::move(sink));
  }
  void Unadvise(uint32_t cookie) override {
    if constexpr (requires(T & object) { object.Unadvise(cookie); }) {
      if (binding_.advise) return native_->Unadvise(cookie);
    }
    TypedDispatch::Unadvise(cookie);
  }

 protected:
  Variant Call(const MemberInfo& member, InvokeKind kind, std::vector<Variant>& params,
               const Variant& newValue) override {
    MemberCall call{kind == InvokeKind::PropertyGet || kind == InvokeKind::Method, params,
                    newValue};
    return binding_.runs[MemberIndex(member)](*native_, call);
  }

 private:
  const ClassBinding<T>& binding_;
  std::shared_ptr<T> native_;
};

}  // namespace orvex::typelib
