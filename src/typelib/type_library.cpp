// Assembles the ORVEX type library and answers lookups on it.
#include "orvex/type_library.hpp"

#include <algorithm>

#include "platform/automation/ascii_case.hpp"
#include "typelib/class_registry.hpp"
#include "typelib/member_builders.hpp"

namespace orvex {
namespace {

std::vector<CoClassInfo> CoClasses() {
  std::vector<CoClassInfo> coclasses;
  for (const typelib::RegisteredClass& entry : typelib::RegisteredClasses())
    coclasses.push_back(entry.coclass);
  return coclasses;
}

// The classes' default interfaces in the classes' order, then the event interfaces.
std::vector<InterfaceInfo> Interfaces() {
  std::vector<InterfaceInfo> all;
  for (const typelib::RegisteredClass& entry : typelib::RegisteredClasses())
    all.push_back(*entry.iface);
  std::ranges::move(typelib::EventInterfaces(), std::back_inserter(all));
  return all;
}

std::vector<TypeEntry> TypeOrder(const std::vector<CoClassInfo>& coclasses) {
  std::vector<TypeEntry> order;
  for (const CoClassInfo& coclass : coclasses)
    order.push_back({TypeInfoKind::CoClass, coclass.name});
  // Enumerations and records interleave in the library.
  order.push_back({TypeInfoKind::Enum, "EReturnCodes"});
  order.push_back({TypeInfoKind::Enum, "EMessageType"});
  order.push_back({TypeInfoKind::Record, "TDllErrorInfo"});
  order.push_back({TypeInfoKind::Enum, "ELogType"});
  order.push_back({TypeInfoKind::Enum, "ETWErrorLogResult"});
  order.push_back({TypeInfoKind::Record, "TErrorObject"});
  order.push_back({TypeInfoKind::Enum, "ETWConstants"});
  return order;
}

TypeLibrary Build() {
  TypeLibrary library;
  library.name = "ORVEX";
  library.guid = "{4FBA0B10-7373-4BA0-9616-6C8E8A0B42EF}";
  library.lcid = 0x409;
  library.majorVersion = 1;
  library.minorVersion = 0;
  library.description = "ORVEX multilingual text tables and error, event and transaction logging";
  library.coclasses = CoClasses();
  library.interfaces = Interfaces();
  library.enums = typelib::OrvexEnums();
  library.records = typelib::OrvexRecords();
  library.typeOrder = TypeOrder(library.coclasses);
  return library;
}

template <class Range>
auto FindByName(const Range& range, std::string_view name) -> decltype(&*std::begin(range)) {
  auto found = std::ranges::find_if(
      range, [&](const auto& item) { return ascii::EqualsIgnoringCase(item.name, name); });
  return found == std::end(range) ? nullptr : &*found;
}

}  // namespace

size_t MemberInfo::RequiredCount() const {
  return static_cast<size_t>(
      std::ranges::count_if(params, [](const ParamInfo& p) { return !p.optional; }));
}

const TypeLibrary& OrvexTypeLibrary() {
  static const TypeLibrary library = Build();
  return library;
}

const CoClassInfo* FindCoClass(std::string_view progIDOrName) {
  const auto& coclasses = OrvexTypeLibrary().coclasses;
  auto found = std::ranges::find_if(coclasses, [&](const CoClassInfo& coclass) {
    return ascii::EqualsIgnoringCase(coclass.progID, progIDOrName) ||
           ascii::EqualsIgnoringCase(coclass.name, progIDOrName);
  });
  return found == coclasses.end() ? nullptr : &*found;
}

const InterfaceInfo* FindInterface(std::string_view name) {
  return FindByName(OrvexTypeLibrary().interfaces, name);
}

const EnumInfo* FindEnum(std::string_view name) {
  return FindByName(OrvexTypeLibrary().enums, name);
}

const RecordInfo* FindRecord(std::string_view name) {
  return FindByName(OrvexTypeLibrary().records, name);
}

const MemberInfo* FindMember(const InterfaceInfo& iface, std::string_view name) {
  return FindByName(iface.members, name);
}

const MemberInfo* FindMember(const InterfaceInfo& iface, int32_t dispId, MemberKind kind) {
  auto found = std::ranges::find_if(iface.members, [&](const MemberInfo& member) {
    return member.dispId == dispId && member.Has(kind);
  });
  return found == iface.members.end() ? nullptr : &*found;
}

}  // namespace orvex
