#include "orvex/automation_error.hpp"
#include "typelib/adapters.hpp"
#include "typelib/typed_dispatch.hpp"

namespace orvex::typelib {

namespace {

class GErrorsDispatch : public NativeDispatch<GErrors> {
 public:
  explicit GErrorsDispatch(std::shared_ptr<GErrors> native)
      : NativeDispatch("GErrors", std::move(native)) {}

 protected:
  Variant Call(const MemberInfo& member, InvokeKind, std::vector<Variant>& p,
               const Variant&) override {
    if (member.name == "SetErrSource")
      return Variant(native_->SetErrSource(p[0].Str(), p[1].Str()));
    if (member.name == "COMError") return Variant(native_->COMError(p[0].I4()));
    Raise(DISP_E_MEMBERNOTFOUND, "ORVEX.GErrors");
  }
};

class GMessageDispatch : public NativeDispatch<GMessage> {
 public:
  explicit GMessageDispatch(std::shared_ptr<GMessage> native)
      : NativeDispatch("GMessage", std::move(native)) {}

 protected:
  Variant Call(const MemberInfo& member, InvokeKind, std::vector<Variant>& p,
               const Variant&) override {
    if (member.name == "ShowText")
      return Variant(
          native_->ShowText(p[0].Str(), p[1].I4(), p[2].Str(), p[3].Str(), p[4].Str(), p[5].I4()));
    Raise(DISP_E_MEMBERNOTFOUND, "ORVEX.GMessage");
  }
};

}  // namespace

std::shared_ptr<Dispatch> MakeGErrorsDispatch(std::shared_ptr<GErrors> native) {
  return std::make_shared<GErrorsDispatch>(std::move(native));
}

std::shared_ptr<Dispatch> MakeGMessageDispatch(std::shared_ptr<GMessage> native) {
  return std::make_shared<GMessageDispatch>(std::move(native));
}

}  // namespace orvex::typelib
