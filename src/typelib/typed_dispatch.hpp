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
  // The member's place in the interface's call table.
  size_t MemberIndex(const MemberInfo& member) const {
    return static_cast<size_t>(&member - interface_->members.data());
  }

 private:
  const CoClassInfo& coclass_;
  const InterfaceInfo* interface_;
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
