// Short builders for the entries of the type library description, so that each interface reads
// as one list of its members.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>

#include "orvex/type_library.hpp"

namespace orvex::typelib {

inline TypeRef None() { return {}; }
inline TypeRef String() { return {vbString, "String"}; }
inline TypeRef Long() { return {vbLong, "Long"}; }
inline TypeRef Integer() { return {vbInteger, "Integer"}; }
inline TypeRef Boolean() { return {vbBoolean, "Boolean"}; }
inline TypeRef DateType() { return {vbDate, "Date"}; }
inline TypeRef VariantType() { return {vbVariant, "Variant"}; }
inline TypeRef VariantArray() { return {static_cast<uint16_t>(vbArray | vbVariant), "Variant()"}; }
inline TypeRef ObjectOf(std::string className) { return {vbObject, std::move(className)}; }
inline TypeRef RecordOf(std::string recordName) {
  return {vbUserDefinedType, std::move(recordName)};
}
// Enumerations travel as 32-bit integers.
inline TypeRef EnumOf(std::string enumName) { return {vbLong, std::move(enumName)}; }

inline DefaultValue DefaultBool(bool value) { return {vbBoolean, value ? -1 : 0, ""}; }
inline DefaultValue DefaultLong(int32_t value) { return {vbLong, value, ""}; }
inline DefaultValue DefaultText(std::string text) { return {vbString, 0, std::move(text)}; }

inline ParamInfo Param(std::string name, TypeRef type) {
  return {std::move(name), std::move(type), false, false, std::nullopt};
}
inline ParamInfo RefParam(std::string name, TypeRef type) {
  return {std::move(name), std::move(type), false, true, std::nullopt};
}
inline ParamInfo OptParam(std::string name, TypeRef type,
                          std::optional<DefaultValue> defaultValue) {
  return {std::move(name), std::move(type), true, false, std::move(defaultValue)};
}
inline ParamInfo OptRefParam(std::string name, TypeRef type, DefaultValue defaultValue) {
  return {std::move(name), std::move(type), true, true, std::move(defaultValue)};
}

constexpr uint8_t Kinds(std::initializer_list<MemberKind> kinds) {
  uint8_t bits = 0;
  for (MemberKind kind : kinds) bits |= static_cast<uint8_t>(kind);
  return bits;
}

// A public field: readable, and writable by Let, or by Set when it holds an object.
inline MemberInfo DataMember(std::string name, int32_t dispId, TypeRef type) {
  MemberKind write = type.vt == vbObject ? MemberKind::PropertySet : MemberKind::PropertyLet;
  MemberInfo member{std::move(name),
                    dispId,
                    Kinds({MemberKind::PropertyGet, write}),
                    {},
                    type,
                    Param("RHS", type),
                    "",
                    true};
  return member;
}

// A property procedure; newValue is given when it has a Let or Set.
inline MemberInfo Property(std::string name, int32_t dispId, uint8_t kinds,
                           std::vector<ParamInfo> params, TypeRef type,
                           std::optional<ParamInfo> newValue = std::nullopt) {
  return {std::move(name),     dispId, kinds, std::move(params), std::move(type),
          std::move(newValue), "",     false};
}

inline MemberInfo Method(std::string name, int32_t dispId, std::vector<ParamInfo> params,
                         TypeRef result = None()) {
  return {std::move(name),
          dispId,
          Kinds({MemberKind::Method}),
          std::move(params),
          std::move(result),
          std::nullopt,
          "",
          false};
}

inline MemberInfo Event(std::string name, int32_t dispId, std::vector<ParamInfo> params) {
  return {std::move(name),
          dispId,
          Kinds({MemberKind::Event}),
          std::move(params),
          None(),
          std::nullopt,
          "",
          false};
}

// The parts of the library described apart from the classes' bindings.
std::vector<InterfaceInfo> EventInterfaces();  // __CLogError, __CLogEvent, __CLogXaction
std::vector<EnumInfo> OrvexEnums();
std::vector<RecordInfo> OrvexRecords();

}  // namespace orvex::typelib
