#include "orvex/variant.hpp"

#include <utility>
#include <variant>

#include "orvex/automation_error.hpp"
#include "orvex/dispatch.hpp"

namespace orvex {

namespace {

struct EmptyTag {};
struct NullTag {};
struct ErrorTag {
  int32_t scode = 0;
};
struct ObjectRef {
  sp<Object> object;
};

// The alternatives are listed so that each maps to one subtype number (see kSubtypes).
using Value = std::variant<EmptyTag, NullTag, int16_t, int32_t, float, double, Currency, Date,
                           std::string, ObjectRef, ErrorTag, bool, Decimal, uint8_t, TErrorObject,
                           TDllErrorInfo, SafeArray>;

constexpr uint16_t kSubtypes[] = {vbEmpty,   vbNull,   vbInteger,         vbLong,
                                  vbSingle,  vbDouble, vbCurrency,        vbDate,
                                  vbString,  vbObject, vbError,           vbBoolean,
                                  vbDecimal, vbByte,   vbUserDefinedType, vbUserDefinedType,
                                  vbArray};

const Value& EmptyValue() {
  static const Value empty{EmptyTag{}};
  return empty;
}

// The value of subtype T, or error 13. A moved-from variant has no Impl and reads as Empty.
template <class T, class ImplPointer>
const T& Held(const ImplPointer& impl) {
  const T* held = std::get_if<T>(impl ? &impl->value : &EmptyValue());
  if (held == nullptr) Raise(errTypeMismatch);
  return *held;
}

}  // namespace

struct Variant::Impl {
  Value value;
};

Variant::Variant() : impl_(std::make_unique<Impl>(Impl{EmptyTag{}})) {}
Variant::Variant(const char* text) : Variant(std::string(text ? text : "")) {}
Variant::Variant(std::string text) : impl_(std::make_unique<Impl>(Impl{std::move(text)})) {}
Variant::Variant(std::string_view text) : Variant(std::string(text)) {}
Variant::Variant(int16_t value) : impl_(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(int32_t value) : impl_(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(uint8_t value) : impl_(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(float value) : impl_(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(double value) : impl_(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(bool value) : impl_(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(Date value) : impl_(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(Currency value) : impl_(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(Decimal value) : impl_(std::make_unique<Impl>(Impl{value})) {}
Variant::Variant(SafeArray value) : impl_(std::make_unique<Impl>(Impl{std::move(value)})) {}
Variant::Variant(TErrorObject value) : impl_(std::make_unique<Impl>(Impl{std::move(value)})) {}
Variant::Variant(TDllErrorInfo value) : impl_(std::make_unique<Impl>(Impl{std::move(value)})) {}
Variant::Variant(std::nullptr_t) : impl_(std::make_unique<Impl>(Impl{ObjectRef{}})) {}
Variant::Variant(sp<Object> object, int)
    : impl_(std::make_unique<Impl>(Impl{ObjectRef{std::move(object)}})) {}

Variant Variant::Null() {
  Variant null;
  null.impl_->value = NullTag{};
  return null;
}

Variant Variant::Missing() { return Error(kParamNotFound); }

Variant Variant::Error(int32_t scode) {
  Variant error;
  error.impl_->value = ErrorTag{scode};
  return error;
}

Variant::Variant(const Variant& other)
    : impl_(std::make_unique<Impl>(Impl{other.impl_ ? other.impl_->value : EmptyValue()})) {}

Variant::Variant(Variant&& other) noexcept : impl_(std::move(other.impl_)) {}

Variant& Variant::operator=(const Variant& other) {
  if (this != &other)
    impl_ = std::make_unique<Impl>(Impl{other.impl_ ? other.impl_->value : EmptyValue()});
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
  if (this != &other) impl_ = std::move(other.impl_);
  return *this;
}

Variant::~Variant() = default;

uint16_t Variant::VarType() const {
  const Value& value = impl_ ? impl_->value : EmptyValue();
  if (const SafeArray* array = std::get_if<SafeArray>(&value)) {
    return static_cast<uint16_t>(vbArray | array->ElementType());
  }
  return kSubtypes[value.index()];
}

bool Variant::IsMissing() const {
  const ErrorTag* error = impl_ ? std::get_if<ErrorTag>(&impl_->value) : nullptr;
  return error != nullptr && error->scode == kParamNotFound;
}

int16_t Variant::I2() const { return Held<int16_t>(impl_); }
int32_t Variant::I4() const { return Held<int32_t>(impl_); }
float Variant::R4() const { return Held<float>(impl_); }
double Variant::R8() const { return Held<double>(impl_); }
Currency Variant::Cy() const { return Held<Currency>(impl_); }
Date Variant::DateValue() const { return Held<Date>(impl_); }
const std::string& Variant::Str() const { return Held<std::string>(impl_); }
bool Variant::Bool() const { return Held<bool>(impl_); }
Decimal Variant::Dec() const { return Held<Decimal>(impl_); }
uint8_t Variant::Byte() const { return Held<uint8_t>(impl_); }
int32_t Variant::ErrorCode() const { return Held<ErrorTag>(impl_).scode; }
const SafeArray& Variant::Array() const { return Held<SafeArray>(impl_); }

SafeArray& Variant::Array() {
  if (!impl_) Raise(errTypeMismatch);
  SafeArray* array = std::get_if<SafeArray>(&impl_->value);
  if (array == nullptr) Raise(errTypeMismatch);
  return *array;
}

sp<Object> Variant::AsObjectRef() const { return Held<ObjectRef>(impl_).object; }

sp<Dispatch> Variant::AsObject() const {
  sp<Object> object = AsObjectRef();
  if (!object) return nullptr;
  sp<Dispatch> dispatch = std::dynamic_pointer_cast<Dispatch>(object);
  if (!dispatch) Raise(errTypeMismatch);
  return dispatch;
}

TErrorObject Variant::AsErrorObject() const { return Held<TErrorObject>(impl_); }
TDllErrorInfo Variant::AsDllErrorInfo() const { return Held<TDllErrorInfo>(impl_); }

}  // namespace orvex
