#include "typelib/typed_dispatch.hpp"

#include "orvex/automation_error.hpp"

namespace orvex::typelib {

namespace {

constexpr const char* kDispatchSource = "ORVEX.Dispatch";

MemberKind KindOf(InvokeKind kind) {
  switch (kind) {
    case InvokeKind::Method:
      return MemberKind::Method;
    case InvokeKind::PropertyGet:
      return MemberKind::PropertyGet;
    case InvokeKind::PropertyPut:
      return MemberKind::PropertyLet;
    case InvokeKind::PropertyPutRef:
      return MemberKind::PropertySet;
  }
  return MemberKind::Method;
}

// A member that is a method may also be called as a property get, as automation allows, and a
// property get as a method.
const MemberInfo* Resolve(const InterfaceInfo& iface, int32_t dispID, InvokeKind kind) {
  if (const MemberInfo* member = FindMember(iface, dispID, KindOf(kind))) return member;
  if (kind == InvokeKind::Method) return FindMember(iface, dispID, MemberKind::PropertyGet);
  if (kind == InvokeKind::PropertyGet) return FindMember(iface, dispID, MemberKind::Method);
  if (kind == InvokeKind::PropertyPut) return FindMember(iface, dispID, MemberKind::PropertySet);
  return nullptr;
}

[[noreturn]] void BadParamCount(const MemberInfo& member) {
  Raise(DISP_E_BADPARAMCOUNT, kDispatchSource, "Wrong number of arguments for " + member.name);
}

}  // namespace

TypedDispatch::TypedDispatch(const CoClassInfo& coclass)
    : coclass_(coclass), interface_(FindInterface(coclass.defaultInterface)) {
  if (interface_ == nullptr) Raise(errCantCreateObject, kDispatchSource);
}

int32_t TypedDispatch::GetIDOfName(const std::string& name) {
  const MemberInfo* member = FindMember(*interface_, name);
  if (member == nullptr)
    Raise(DISP_E_UNKNOWNNAME, kDispatchSource,
          "Unknown name: " + coclass_.name + " has no member " + name);
  return member->dispId;
}

Variant TypedDispatch::Invoke(int32_t dispID, InvokeKind kind, std::vector<Variant>& args) {
  const MemberInfo* found = Resolve(*interface_, dispID, kind);
  if (found == nullptr)
    Raise(DISP_E_MEMBERNOTFOUND, kDispatchSource,
          "Member not found: " + coclass_.name + " has no member " + std::to_string(dispID) +
              " that can be invoked this way");
  const MemberInfo& member = *found;
  const bool put = kind == InvokeKind::PropertyPut || kind == InvokeKind::PropertyPutRef;
  const size_t positional = put ? (args.empty() ? 0 : args.size() - 1) : args.size();
  if (put && args.empty()) BadParamCount(member);
  if (positional > member.params.size()) BadParamCount(member);

  std::vector<Variant> params;
  params.reserve(member.params.size());
  for (size_t i = 0; i < member.params.size(); ++i) {
    const ParamInfo& param = member.params[i];
    const bool given = i < positional && !args[i].IsMissing();
    if (!given) {
      if (!param.optional) BadParamCount(member);
      params.push_back(param.defaultValue ? ToVariant(*param.defaultValue) : Variant::Missing());
      continue;
    }
    params.push_back(CoerceArgument(args[i], param.type));
  }
  Variant newValue;
  if (put) {
    const TypeRef& type = member.newValue ? member.newValue->type : member.type;
    newValue = CoerceArgument(args.back(), type);
  }

  Variant result = Call(member, kind, params, newValue);

  for (size_t i = 0; i < member.params.size() && i < positional; ++i)
    if (member.params[i].byRef && !args[i].IsMissing()) args[i] = params[i];
  return result;
}

Variant CoerceArgument(const Variant& value, const TypeRef& type) {
  try {
    switch (type.vt) {
      case vbVariant:
      case vbEmpty:
        return value;
      case vbObject:
        if (value.IsObject()) return value;
        break;
      case vbUserDefinedType:
        if (value.VarType() == vbUserDefinedType) return value;
        break;
      default:
        if ((type.vt & vbArray) != 0) {
          if (value.IsArray()) return value;
          break;
        }
        if (value.IsArray() || value.IsObject()) break;
        return ChangeType(value, type.vt);
    }
  } catch (const AutomationError& error) {
    Raise(DISP_E_TYPEMISMATCH, kDispatchSource,
          "Type mismatch: the argument cannot be read as " + type.name + " (" + error.Description +
              ")");
  }
  Raise(DISP_E_TYPEMISMATCH, kDispatchSource,
        "Type mismatch: the argument cannot be read as " + type.name);
}

std::shared_ptr<Object> NativeOf(const Variant& value) {
  if (!value.IsObject()) Raise(DISP_E_TYPEMISMATCH, kDispatchSource, "An object is required");
  std::shared_ptr<Object> object = value.AsObjectRef();
  if (!object) return nullptr;
  if (auto holder = std::dynamic_pointer_cast<NativeHolder>(object)) return holder->Native();
  return object;
}

}  // namespace orvex::typelib
