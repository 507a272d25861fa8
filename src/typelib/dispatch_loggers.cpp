// Late-bound adapters of the event and transaction loggers.
#include "orvex/automation_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/log_xaction.hpp"
#include "typelib/adapters.hpp"
#include "typelib/log_file_members.hpp"
#include "typelib/typed_dispatch.hpp"

namespace orvex::typelib {

namespace {

// ShowEvent (identifier 1) to a late-bound sink; the text comes back by reference.
class EventEventsToDispatch : public CLogEventEvents {
 public:
  explicit EventEventsToDispatch(std::shared_ptr<Dispatch> sink) : sink_(std::move(sink)) {}
  void ShowEvent(std::string& strEvent) override {
    std::vector<Variant> args{Variant(strEvent)};
    sink_->Invoke(1, InvokeKind::Method, args);
    strEvent = CStr(args[0]);
  }

 private:
  std::shared_ptr<Dispatch> sink_;
};

// ShowEvent (identifier 1) to a late-bound sink; the record comes back by reference.
class XactionEventsToDispatch : public CLogXactionEvents {
 public:
  explicit XactionEventsToDispatch(std::shared_ptr<Dispatch> sink) : sink_(std::move(sink)) {}
  void ShowEvent(SafeArray& Data) override {
    std::vector<Variant> args{Variant(Data)};
    sink_->Invoke(1, InvokeKind::Method, args);
    if (args[0].IsArray()) Data = args[0].Array();
  }

 private:
  std::shared_ptr<Dispatch> sink_;
};

// The members the two loggers share, by name; false when the name is not one of them.
template <class Logger>
bool CallShared(Logger& log, const std::string& name, bool get, const Variant& value,
                Variant& result) {
  if (name == "gttEvents") {
    if (get)
      result = log.gttEvents ? Variant(WrapNative(log.gttEvents)) : Variant::Nothing();
    else
      log.gttEvents = TextTableFrom(value);
  } else if (name == "gstrHelpFile") {
    if (get)
      result = Variant(log.gstrHelpFile);
    else
      log.gstrHelpFile = value.Str();
  } else if (name == "glHelpContext") {
    if (get)
      result = Variant(log.glHelpContext);
    else
      log.glHelpContext = value.I4();
  } else if (name == "gstrLogFile") {
    if (get)
      result = Variant(log.gstrLogFile);
    else
      log.gstrLogFile = value.Str();
  } else if (name == "gstrLogDBFile") {
    if (get)
      result = Variant(log.gstrLogDBFile);
    else
      log.gstrLogDBFile = value.Str();
  } else if (name == "gstrTableName") {
    if (get)
      result = Variant(log.gstrTableName);
    else
      log.gstrTableName = value.Str();
  } else if (name == "gbDateStamp") {
    if (get)
      result = Variant(log.gbDateStamp);
    else
      log.gbDateStamp = value.Bool();
  } else {
    return CallLogFileMember(log, name, value);
  }
  return true;
}

bool IsGet(InvokeKind kind) {
  return kind == InvokeKind::PropertyGet || kind == InvokeKind::Method;
}

class LogEventDispatch : public EventSourceDispatch<CLogEvent, EventEventsToDispatch> {
 public:
  explicit LogEventDispatch(std::shared_ptr<CLogEvent> native)
      : EventSourceDispatch("CLogEvent", std::move(native)) {}

 protected:
  Variant Call(const MemberInfo& member, InvokeKind kind, std::vector<Variant>& p,
               const Variant& value) override {
    Variant result;
    if (CallShared(*native_, member.name, IsGet(kind), value, result)) return result;
    if (member.name == "LogEvent") {
      std::string text = p[0].Str();
      bool answer = native_->LogEvent(text, p[1].I4());
      p[0] = Variant(text);
      return Variant(answer);
    }
    if (member.name == "pConnect") {
      native_->pConnect(p[0].Str(), p[1].Str());
      return Variant();
    }
    Raise(DISP_E_MEMBERNOTFOUND, "ORVEX.CLogEvent");
  }
};

class LogXactionDispatch : public EventSourceDispatch<CLogXaction, XactionEventsToDispatch> {
 public:
  explicit LogXactionDispatch(std::shared_ptr<CLogXaction> native)
      : EventSourceDispatch("CLogXaction", std::move(native)) {}

 protected:
  Variant Call(const MemberInfo& member, InvokeKind kind, std::vector<Variant>& p,
               const Variant& value) override {
    Variant result;
    if (CallShared(*native_, member.name, IsGet(kind), value, result)) return result;
    if (member.name == "LogXaction") {
      SafeArray data = p[0].Array();
      bool answer = native_->LogXaction(data, p[1].I4());
      p[0] = Variant(data);
      return Variant(answer);
    }
    if (member.name == "pConnect") {
      int16_t sourceCount = p[2].IsMissing() ? int16_t{0} : CInt(p[2]);
      native_->pConnect(p[0].Str(), p[1].Str(), sourceCount);
      return Variant();
    }
    Raise(DISP_E_MEMBERNOTFOUND, "ORVEX.CLogXaction");
  }
};

}  // namespace

std::shared_ptr<Dispatch> MakeLogEventDispatch(std::shared_ptr<CLogEvent> native) {
  return std::make_shared<LogEventDispatch>(std::move(native));
}

std::shared_ptr<Dispatch> MakeLogXactionDispatch(std::shared_ptr<CLogXaction> native) {
  return std::make_shared<LogXactionDispatch>(std::move(native));
}

}  // namespace orvex::typelib
