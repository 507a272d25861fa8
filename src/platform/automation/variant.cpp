#include "orvex/variant.hpp"

#include <utility>

#include "orvex/automation_error.hpp"
#include "orvex/dispatch.hpp"

namespace orvex {

using detail::Boxed;
using detail::EmptyTag;
using detail::ErrorTag;
using detail::NullTag;
using detail::ObjectRef;

namespace {

// The value of subtype T, or error 13.
template <class T>
const T& Held(const detail::VariantValue& value) {
  const T* held = std::get_if<T>(&value);
  if (held == nullptr) Raise(errTypeMismatch);
  return *held;
}

}  // namespace

Variant::Variant() : value_(EmptyTag{}) {}
Variant::Variant(const char* text) : value_(std::string(text ? text : "")) {}
Variant::Variant(std::string text) : value_(std::move(text)) {}
Variant::Variant(std::string_view text) : value_(std::string(text)) {}
Variant::Variant(int16_t value) : value_(value) {}
Variant::Variant(int32_t value) : value_(value) {}
Variant::Variant(uint8_t value) : value_(value) {}
Variant::Variant(float value) : value_(value) {}
Variant::Variant(double value) : value_(value) {}
Variant::Variant(bool value) : value_(value) {}
Variant::Variant(Date value) : value_(value) {}
Variant::Variant(Currency value) : value_(value) {}
Variant::Variant(Decimal value) : value_(value) {}
Variant::Variant(SafeArray value) : value_(Boxed<SafeArray>(std::move(value))) {}
Variant::Variant(TErrorObject value) : value_(Boxed<TErrorObject>(std::move(value))) {}
Variant::Variant(TDllErrorInfo value) : value_(Boxed<TDllErrorInfo>(std::move(value))) {}
Variant::Variant(std::nullptr_t) : value_(ObjectRef{}) {}
Variant::Variant(sp<Object> object, int) : value_(ObjectRef{std::move(object)}) {}

Variant Variant::Null() { return Variant(detail::VariantValue(NullTag{})); }

Variant Variant::Error(int32_t scode) { return Variant(detail::VariantValue(ErrorTag{scode})); }

uint16_t Variant::ArrayVarType() const {
  return static_cast<uint16_t>(vbArray | Array().ElementType());
}

int16_t Variant::I2() const { return Held<int16_t>(value_); }
int32_t Variant::I4() const { return Held<int32_t>(value_); }
float Variant::R4() const { return Held<float>(value_); }
double Variant::R8() const { return Held<double>(value_); }
Currency Variant::Cy() const { return Held<Currency>(value_); }
Date Variant::DateValue() const { return Held<Date>(value_); }
const std::string& Variant::Str() const { return Held<std::string>(value_); }
bool Variant::Bool() const { return Held<bool>(value_); }
Decimal Variant::Dec() const { return Held<Decimal>(value_); }
uint8_t Variant::Byte() const { return Held<uint8_t>(value_); }
int32_t Variant::ErrorCode() const { return Held<ErrorTag>(value_).scode; }
const SafeArray& Variant::Array() const { return *Held<Boxed<SafeArray>>(value_); }
SafeArray& Variant::Array() { return *Held<Boxed<SafeArray>>(value_); }

sp<Object> Variant::AsObjectRef() const { return Held<ObjectRef>(value_).object; }

sp<Dispatch> Variant::AsObject() const {
  sp<Object> object = AsObjectRef();
  if (!object) return nullptr;
  sp<Dispatch> dispatch = std::dynamic_pointer_cast<Dispatch>(object);
  if (!dispatch) Raise(errTypeMismatch);
  return dispatch;
}

TErrorObject Variant::AsErrorObject() const { return *Held<Boxed<TErrorObject>>(value_); }
TDllErrorInfo Variant::AsDllErrorInfo() const { return *Held<Boxed<TDllErrorInfo>>(value_); }

}  // namespace orvex
