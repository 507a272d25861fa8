// The late-bound face of a class: members found by name or dispatch identifier in the type
// library, arguments checked and coerced to the declared types, by-reference arguments written
// back. A class adapter only maps a member to its native call.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvex/automation_error.hpp"
#include "orvex/dispatch.hpp"
#include "orvex/type_library.hpp"

namespace orvex::typelib {

// An adapter that can give the native object it wraps (so that an object set late-bound, such
// as gttErrors, reaches the class as the native object).
class NativeHolder {
 public:
  virtual ~NativeHolder() = default;
  virtual std::shared_ptr<Object> Native() const = 0;
};

class TypedDispatch : public Dispatch, public NativeHolder {
 public:
  explicit TypedDispatch(const CoClassInfo& coclass);

  int32_t GetIDOfName(const std::string& name) override;
  Variant Invoke(int32_t dispID, InvokeKind kind, std::vector<Variant>& args) override;

  const CoClassInfo& CoClass() const { return coclass_; }
  const InterfaceInfo& Interface() const { return *interface_; }

 protected:
  // Runs the member with the arguments already coerced to their declared types (omitted
  // optional ones hold their default, or Missing when they have none). By-reference arguments
  // changed here are written back to the caller. For a property put, newValue is the value.
  virtual Variant Call(const MemberInfo& member, InvokeKind kind, std::vector<Variant>& params,
                       const Variant& newValue) = 0;

 private:
  const CoClassInfo& coclass_;
  const InterfaceInfo* interface_;
};

// An adapter over one native object of a class: the object's late-bound face.
template <class NativeT>
class NativeDispatch : public TypedDispatch {
 public:
  NativeDispatch(const char* className, std::shared_ptr<NativeT> native)
      : TypedDispatch(*FindCoClass(className)), native_(std::move(native)) {}
  std::shared_ptr<Object> Native() const override { return native_; }

 protected:
  std::shared_ptr<NativeT> native_;
};

// An adapter over a class that raises events: a late-bound sink is connected through Bridge, a
// sink of the class's event interface that invokes the late-bound one by event identifier.
template <class NativeT, class Bridge>
class EventSourceDispatch : public NativeDispatch<NativeT> {
 public:
  using NativeDispatch<NativeT>::NativeDispatch;
  uint32_t Advise(std::shared_ptr<Dispatch> sink) override {
    if (!sink) Raise(errObjectRequired);
    return this->native_->Advise(std::make_shared<Bridge>(std::move(sink)));
  }
  void Unadvise(uint32_t cookie) override { this->native_->Unadvise(cookie); }
};

// Coerces a value to a declared type the way the automation runtime would for an argument;
// DISP_E_TYPEMISMATCH when it cannot.
Variant CoerceArgument(const Variant& value, const TypeRef& type);

// The native object behind a late-bound object (nullptr for Nothing); DISP_E_TYPEMISMATCH when
// the variant holds something else.
std::shared_ptr<Object> NativeOf(const Variant& value);

// The late-bound object for a native one (an adapter of its class); nullptr for nullptr.
std::shared_ptr<Dispatch> WrapNative(const std::shared_ptr<Object>& native);

}  // namespace orvex::typelib
