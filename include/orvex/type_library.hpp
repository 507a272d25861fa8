// The ORVEX type library as constant data: coclasses, their interfaces with every member's kind,
// dispatch identifier, parameters and result, the event interfaces, enumerations and records.
// The late-bound dispatch layer and the class factory read it; nothing here calls a class.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orvex/export.h"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex {

// A type as the type library names it: the variant subtype that carries it (vbObject for
// objects, vbVariant for a variant, vbArray | vbVariant for a variant array, vbUserDefinedType
// for a record, vbLong for an enumeration) and its name ("String", "CTextTable", "ELogType",
// "VbMsgBoxStyle" ...). vbEmpty with an empty name is "no result".
struct TypeRef {
  uint16_t vt = vbEmpty;
  std::string name;

  bool IsNone() const { return vt == vbEmpty; }
  friend bool operator==(const TypeRef&, const TypeRef&) = default;
};

// The default of an optional parameter: a Boolean (number -1 or 0), an integer of subtype
// vbInteger or vbLong, or a String (text). Kept apart from Variant so that the description is
// plain constant data.
struct DefaultValue {
  uint16_t vt = vbEmpty;
  int32_t number = 0;
  std::string text;

  friend bool operator==(const DefaultValue&, const DefaultValue&) = default;
};

struct ParamInfo {
  std::string name;
  TypeRef type;
  bool optional = false;
  bool byRef = false;
  // Absent on an optional parameter means "no default": the callee sees the omitted marker.
  std::optional<DefaultValue> defaultValue;
};

// Ways a member can be invoked; the numbers match InvokeKind (Method 1, PropertyGet 2,
// PropertyPut 4, PropertyPutRef 8) so a dispatcher can test a kind with one mask.
enum class MemberKind : uint8_t {
  Method = 1,
  PropertyGet = 2,
  PropertyLet = 4,
  PropertySet = 8,
  Event = 16,
};

// One member of an interface. A property's Get and Let (or Set) share one entry and one
// dispatch identifier.
struct MemberInfo {
  std::string name;
  int32_t dispId = 0;
  uint8_t kinds = 0;  // MemberKind bits
  // Arguments in declaration order; for a property its index arguments (ID of Text), without
  // the new value of a Let or Set.
  std::vector<ParamInfo> params;
  // A method's result, or a property's value type.
  TypeRef type;
  // The new-value parameter of a property Let or Set (its name and whether it is by reference).
  std::optional<ParamInfo> newValue;
  std::string helpString;
  bool isDataMember = false;  // a public field of the class, not a property procedure

  bool Has(MemberKind kind) const { return (kinds & static_cast<uint8_t>(kind)) != 0; }
  bool IsProperty() const {
    return Has(MemberKind::PropertyGet) || Has(MemberKind::PropertyLet) ||
           Has(MemberKind::PropertySet);
  }
  // Number of required leading parameters.
  size_t RequiredCount() const;
};

struct InterfaceInfo {
  std::string name;       // "_CLogError", or "__CLogError" for an event interface
  std::string className;  // "CLogError"
  std::string guid;
  bool isEventInterface = false;
  std::vector<MemberInfo> members;  // call-table order
};

struct CoClassInfo {
  std::string name;    // "CLogError"
  std::string progID;  // "ORVEX.CLogError"
  std::string guid;
  std::string defaultInterface;               // "_CLogError"
  std::optional<std::string> eventInterface;  // "__CLogError"
  bool isGlobal = false;                      // GErrors, GMessage
};

struct EnumMemberInfo {
  std::string name;
  int32_t value = 0;
  std::string helpString;  // the member's own name
};

struct EnumInfo {
  std::string name;
  std::vector<EnumMemberInfo> members;  // declaration order
};

struct RecordFieldInfo {
  std::string name;
  TypeRef type;
};

struct RecordInfo {
  std::string name;
  std::vector<RecordFieldInfo> fields;  // declaration order
};

enum class TypeInfoKind : uint8_t { CoClass, Enum, Record };

// One entry of the library's list of types, in type-library order.
struct TypeEntry {
  TypeInfoKind kind;
  std::string name;
};

struct TypeLibrary {
  std::string name;  // "ORVEX"
  std::string guid;
  uint32_t lcid = 0;
  uint16_t majorVersion = 0;
  uint16_t minorVersion = 0;
  std::string description;
  std::vector<CoClassInfo> coclasses;     // type-library order
  std::vector<InterfaceInfo> interfaces;  // default interfaces, then event interfaces
  std::vector<EnumInfo> enums;            // type-library order
  std::vector<RecordInfo> records;        // type-library order
  std::vector<TypeEntry> typeOrder;       // coclasses, enumerations and records as listed
};

// The description of this library; built once, never changed.
const TypeLibrary& OrvexTypeLibrary();

// Lookups are case-insensitive on names; each returns nullptr when nothing matches.
// A coclass by programmatic identifier ("ORVEX.CLogError") or by bare name ("CLogError").
const CoClassInfo* FindCoClass(std::string_view progIDOrName);
// An interface by name ("_CLogError", "__CLogError").
const InterfaceInfo* FindInterface(std::string_view name);
const EnumInfo* FindEnum(std::string_view name);
const RecordInfo* FindRecord(std::string_view name);
const MemberInfo* FindMember(const InterfaceInfo& iface, std::string_view name);
// The member with this identifier that can be invoked the given way.
const MemberInfo* FindMember(const InterfaceInfo& iface, int32_t dispId, MemberKind kind);

// The default value as the variant a callee receives for the omitted argument.
inline Variant ToVariant(const DefaultValue& value) {
  switch (value.vt) {
    case vbBoolean:
      return Variant(value.number != 0);
    case vbInteger:
      return Variant(static_cast<int16_t>(value.number));
    case vbLong:
      return Variant(value.number);
    case vbString:
      return Variant(value.text);
    default:
      return Variant();
  }
}

}  // namespace orvex

ORVEX_PUBLIC_END
