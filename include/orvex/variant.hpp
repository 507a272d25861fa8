// Variant and SafeArray: the automation runtime's typed value and array, with its coercions.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "orvex/date.hpp"
#include "orvex/decimal.hpp"
#include "orvex/export.h"
#include "orvex/locale.hpp"
#include "orvex/types.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

template <class T>
using sp = std::shared_ptr<T>;

class Dispatch;

// Base of every object that a Variant can hold (subtype Object).
class Object {
 public:
  virtual ~Object() = default;
};

// Variant subtype numbers, as VarType() returns them.
enum VbVarType : uint16_t {
  vbEmpty = 0,
  vbNull = 1,
  vbInteger = 2,  // I2
  vbLong = 3,     // I4
  vbSingle = 4,   // R4
  vbDouble = 5,   // R8
  vbCurrency = 6,
  vbDate = 7,
  vbString = 8,
  vbObject = 9,
  vbError = 10,
  vbBoolean = 11,
  vbVariant = 12,
  vbDecimal = 14,
  vbByte = 17,
  vbUserDefinedType = 36,  // a TErrorObject or TDllErrorInfo record
  vbArray = 0x2000,
};

// The error value of an omitted optional argument.
inline constexpr int32_t kParamNotFound = static_cast<int32_t>(0x80020004u);

class Variant;

// An automation array: one or more dimensions, each with its own lower bound, or undimensioned.
class SafeArray {
 public:
  struct Bound {
    int32_t lower = 0;
    int32_t count = 0;
  };

  SafeArray();                                    // undimensioned
  SafeArray(int32_t lowerBound, int32_t count);   // one dimension
  explicit SafeArray(std::vector<Bound> bounds);  // first dimension first
  // One dimension from lowerBound holding the given values in order.
  static SafeArray Of(int32_t lowerBound, std::vector<Variant> values);

  SafeArray(const SafeArray&);
  SafeArray(SafeArray&&) noexcept;
  SafeArray& operator=(const SafeArray&);
  SafeArray& operator=(SafeArray&&) noexcept;
  ~SafeArray();

  bool IsDimensioned() const { return !bounds_.empty(); }
  int32_t Dims() const { return static_cast<int32_t>(bounds_.size()); }
  // dim counts from 1; error 9 when undimensioned or dim out of range.
  int32_t LBound(int32_t dim = 1) const;
  int32_t UBound(int32_t dim = 1) const;
  size_t ElementTotal() const;

  // One-dimensional access; error 9 outside the bounds (or on another number of dimensions).
  Variant& operator[](int32_t index);
  const Variant& operator[](int32_t index) const;
  // Access by one index per dimension; error 9 outside the bounds.
  Variant& At(const std::vector<int32_t>& indexes);
  const Variant& At(const std::vector<int32_t>& indexes) const;

  // Re-dimensions to one dimension, keeping the elements that still fit (ReDim Preserve).
  void Redim(int32_t lowerBound, int32_t count, bool preserve = false);

  // Subtype of the elements for VarType() (vbVariant for an array of variants).
  uint16_t ElementType() const { return elementType_; }
  void SetElementType(uint16_t vt) { elementType_ = vt; }

  // All elements, first index varying fastest.
  const std::vector<Variant>& Elements() const { return *data_; }

 private:
  size_t Offset(const std::vector<int32_t>& indexes) const;

  std::vector<Bound> bounds_;
  std::unique_ptr<std::vector<Variant>> data_;
  uint16_t elementType_ = vbVariant;
};

namespace detail {

// A value kept on the heap with value semantics: the variant's large, rare alternatives live
// there so that every Variant stays small enough to hold numbers and short texts in place.
template <class T>
class Boxed {
 public:
  explicit Boxed(T value) : held_(std::make_unique<T>(std::move(value))) {}
  Boxed(const Boxed& other) : held_(std::make_unique<T>(*other.held_)) {}
  Boxed(Boxed&&) noexcept = default;
  Boxed& operator=(const Boxed& other) {
    if (this != &other) held_ = std::make_unique<T>(*other.held_);
    return *this;
  }
  Boxed& operator=(Boxed&&) noexcept = default;
  T& operator*() const { return *held_; }

 private:
  std::unique_ptr<T> held_;
};

struct EmptyTag {};
struct NullTag {};
struct ErrorTag {
  int32_t scode = 0;
};
struct ObjectRef {
  std::shared_ptr<Object> object;
};

// The alternatives are listed so that each maps to one subtype number.
using VariantValue = std::variant<EmptyTag, NullTag, int16_t, int32_t, float, double, Currency,
                                  Date, std::string, ObjectRef, ErrorTag, bool, Decimal, uint8_t,
                                  Boxed<TErrorObject>, Boxed<TDllErrorInfo>, Boxed<SafeArray>>;

}  // namespace detail

class Variant {
 public:
  Variant();  // Empty
  Variant(const char* text);
  Variant(std::string text);
  Variant(std::string_view text);
  Variant(int16_t value);
  Variant(int32_t value);
  Variant(uint8_t value);  // Byte
  Variant(float value);
  Variant(double value);
  Variant(bool value);
  Variant(Date value);
  Variant(Currency value);
  Variant(Decimal value);
  Variant(SafeArray value);
  Variant(TErrorObject value);
  Variant(TDllErrorInfo value);
  Variant(std::nullptr_t);  // the object reference Nothing
  template <class T, class = std::enable_if_t<std::is_base_of_v<Object, T>>>
  Variant(std::shared_ptr<T> object)
      : Variant(std::static_pointer_cast<Object>(std::move(object)), 0) {}

  static Variant Null();
  // Error 0x80020004, the omitted-argument marker
  static Variant Missing() {
    return Variant(detail::VariantValue(detail::ErrorTag{kParamNotFound}));
  }
  static Variant Error(int32_t scode);
  static Variant Nothing() { return Variant(nullptr); }

  Variant(const Variant&) = default;
  // A moved-from variant reads as Empty.
  Variant(Variant&& other) noexcept : value_(std::move(other.value_)) {
    other.value_.emplace<detail::EmptyTag>();
  }
  Variant& operator=(const Variant&) = default;
  Variant& operator=(Variant&& other) noexcept {
    if (this != &other) {
      value_ = std::move(other.value_);
      other.value_.emplace<detail::EmptyTag>();
    }
    return *this;
  }
  ~Variant() = default;

  // The subtype number; an array gives vbArray + its element subtype.
  uint16_t VarType() const {
    // Static: a local array would be copied onto the stack on every call.
    static constexpr uint16_t kSubtypes[] = {
        vbEmpty,           vbNull,     vbInteger, vbLong,   vbSingle,
        vbDouble,          vbCurrency, vbDate,    vbString, vbObject,
        vbError,           vbBoolean,  vbDecimal, vbByte,   vbUserDefinedType,
        vbUserDefinedType, vbArray};
    static_assert(sizeof kSubtypes / sizeof kSubtypes[0] ==
                  std::variant_size_v<detail::VariantValue>);
    size_t index = value_.index();
    return index == std::variant_size_v<detail::VariantValue> - 1 ? ArrayVarType()
                                                                  : kSubtypes[index];
  }
  bool IsEmpty() const { return VarType() == vbEmpty; }
  bool IsNull() const { return VarType() == vbNull; }
  bool IsMissing() const {
    const auto* error = std::get_if<detail::ErrorTag>(&value_);
    return error != nullptr && error->scode == kParamNotFound;
  }
  bool IsObject() const { return VarType() == vbObject; }
  bool IsArray() const { return (VarType() & vbArray) != 0; }

  // Raw access to the value of the subtype held; error 13 when another subtype is held.
  int16_t I2() const;
  int32_t I4() const;
  float R4() const;
  double R8() const;
  Currency Cy() const;
  Date DateValue() const;
  const std::string& Str() const;
  bool Bool() const;
  Decimal Dec() const;
  uint8_t Byte() const;
  int32_t ErrorCode() const;
  SafeArray& Array();
  const SafeArray& Array() const;
  sp<Object> AsObjectRef() const;  // nullptr for Nothing
  sp<Dispatch> AsObject() const;   // the object as a Dispatch; error 13 if not one
  TErrorObject AsErrorObject() const;
  TDllErrorInfo AsDllErrorInfo() const;
  template <class T>
  sp<T> AsObjectOf() const {
    return std::dynamic_pointer_cast<T>(AsObjectRef());
  }

 private:
  Variant(sp<Object> object, int);
  uint16_t ArrayVarType() const;
  explicit Variant(detail::VariantValue value) : value_(std::move(value)) {}
  friend std::string CStr(Variant&& value);

  detail::VariantValue value_;
};

// ---- Coercions of the automation runtime ----------------------------------------------------
// Text is read and written in the locale given, or the calling thread's host locale
// (CurrentHost().UserLocale()) when none is given. Rules: fractions to integers round half to
// even; Empty gives 0, "" or False; Null gives error 94 (CStr too); text that does not read as the
// target gives 13; a value outside the target's range gives 6.

std::string CStr(const Variant& value);
// The same; a text is moved out of a temporary instead of copied.
std::string CStr(Variant&& value);
std::string CStr(const Variant& value, const Locale& locale);
int16_t CInt(const Variant& value);
int16_t CInt(const Variant& value, const Locale& locale);
int32_t CLng(const Variant& value);
int32_t CLng(const Variant& value, const Locale& locale);
uint8_t CByte(const Variant& value);
uint8_t CByte(const Variant& value, const Locale& locale);
float CSng(const Variant& value);
float CSng(const Variant& value, const Locale& locale);
double CDbl(const Variant& value);
double CDbl(const Variant& value, const Locale& locale);
Currency CCur(const Variant& value);
Currency CCur(const Variant& value, const Locale& locale);
Decimal CDec(const Variant& value);
Decimal CDec(const Variant& value, const Locale& locale);
Date CDate(const Variant& value);
Date CDate(const Variant& value, const Locale& locale);
bool CBool(const Variant& value);
bool CBool(const Variant& value, const Locale& locale);

// True for numbers, Empty, Booleans, and text that reads as a number in the locale.
bool IsNumeric(const Variant& value);
bool IsNumeric(const Variant& value, const Locale& locale);
// True for dates and text that reads as a date in the locale.
bool IsDate(const Variant& value);
bool IsDate(const Variant& value, const Locale& locale);

// Converts to the subtype vt (vbInteger ... vbByte, vbString, vbVariant = unchanged), with the
// rules above. Used wherever an argument must take a declared type.
Variant ChangeType(const Variant& value, uint16_t vt);
Variant ChangeType(const Variant& value, uint16_t vt, const Locale& locale);

// ---- Date text ------------------------------------------------------------------------------

// The general date text: short date, a blank, long time; the time is left out at exactly
// midnight, and the date is left out for a pure time (day 0).
std::string FormatGeneralDate(Date value, const Locale& locale);
std::string FormatGeneralDate(Date value);
// Reads text as a date the way the runtime's CDate does in the locale (its day order and
// separators, four-digit year first for year-month-day text, an optional time with AM/PM).
std::optional<Date> ParseDate(std::string_view text, const Locale& locale);
// Formats with a user pattern: yyyy yy mm m dd d (date), hh h nn n ss s (time), AM/PM;
// "/" stands for the locale's date separator and ":" for its time separator.
std::string FormatDate(Date value, std::string_view pattern, const Locale& locale);

// Reads text as a number in the locale (its decimal and thousands separators, an optional sign,
// an exponent, surrounding blanks). Empty optional when the text is not a number.
std::optional<double> ParseNumber(std::string_view text, const Locale& locale);

}  // namespace orvex

ORVEX_PUBLIC_END
