#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "typelib/adapters.hpp"
#include "typelib/log_file_members.hpp"
#include "typelib/typed_dispatch.hpp"

namespace orvex::typelib {

namespace {

// Events of the logger passed to a late-bound sink: ShowError is identifier 1, ShowEvent 2.
class ErrorEventsToDispatch : public CLogErrorEvents {
 public:
  explicit ErrorEventsToDispatch(std::shared_ptr<Dispatch> sink) : sink_(std::move(sink)) {}

  void ShowError(const std::string& errSource, int32_t ErrNumber, const std::string& ErrDescription,
                 Date ErrDate) override {
    std::vector<Variant> args{Variant(errSource), Variant(ErrNumber), Variant(ErrDescription),
                              Variant(ErrDate)};
    sink_->Invoke(1, InvokeKind::Method, args);
  }
  void ShowEvent(std::string& strEvent) override {
    std::vector<Variant> args{Variant(strEvent)};
    sink_->Invoke(2, InvokeKind::Method, args);
    strEvent = CStr(args[0]);
  }

 private:
  std::shared_ptr<Dispatch> sink_;
};

class LogErrorDispatch : public EventSourceDispatch<CLogError, ErrorEventsToDispatch> {
 public:
  explicit LogErrorDispatch(std::shared_ptr<CLogError> native)
      : EventSourceDispatch("CLogError", std::move(native)) {}

 protected:
  Variant Call(const MemberInfo& member, InvokeKind kind, std::vector<Variant>& p,
               const Variant& value) override {
    CLogError& log = *native_;
    const std::string& name = member.name;
    const bool get = kind == InvokeKind::PropertyGet || kind == InvokeKind::Method;
    if (name == "gttErrors" || name == "gttMessages") {
      std::shared_ptr<CTextTable>& table = name == "gttErrors" ? log.gttErrors : log.gttMessages;
      if (get) return table ? Variant(WrapNative(table)) : Variant::Nothing();
      table = TextTableFrom(value);
    } else if (name == "glERROR_B") {
      if (get) return Variant(log.glERROR_B);
      log.glERROR_B = value.I4();
    } else if (name == "glERROR_E") {
      if (get) return Variant(log.glERROR_E);
      log.glERROR_E = value.I4();
    } else if (name == "gstrHelpFile") {
      if (get) return Variant(log.gstrHelpFile);
      log.gstrHelpFile = value.Str();
    } else if (name == "glHelpContext") {
      if (get) return Variant(log.glHelpContext);
      log.glHelpContext = value.I4();
    } else if (name == "gbDateStamp") {
      if (get) return Variant(log.gbDateStamp);
      log.gbDateStamp = value.Bool();
    } else if (name == "madocmdInsertError") {
      if (get) return log.madocmdInsertError ? Variant(log.madocmdInsertError) : Variant::Nothing();
      log.madocmdInsertError = value.AsObjectOf<data::Command>();
      if (!log.madocmdInsertError && value.AsObjectRef())
        Raise(DISP_E_TYPEMISMATCH, "ORVEX.Dispatch", "A command object is required");
    } else if (name == "Clone") {
      return Variant(WrapNative(log.Clone()));
    } else if (name == "LogError") {
      TErrorObject error = p[2].AsErrorObject();
      int32_t result =
          log.LogError(p[0].Str(), p[1].Str(), error, p[3].I4(), p[4].I4(), p[5].Str());
      p[2] = Variant(error);
      return Variant(result);
    } else if (name == "pConnect") {
      std::shared_ptr<CLogError> le;
      if (!p[2].IsMissing()) le = std::dynamic_pointer_cast<CLogError>(NativeOf(p[2]));
      log.pConnect(p[0].Str(), p[1].Str(), le);
    } else if (!CallLogFileMember(log, name, value)) {
      Raise(DISP_E_MEMBERNOTFOUND, "ORVEX.CLogError");
    }
    return Variant();
  }
};

}  // namespace

std::shared_ptr<Dispatch> MakeLogErrorDispatch(std::shared_ptr<CLogError> native) {
  return std::make_shared<LogErrorDispatch>(std::move(native));
}

}  // namespace orvex::typelib
