// The late-bound faces of the three loggers, and the bridges that carry their events to a
// late-bound sink.
#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "orvex/log_error.hpp"
#include "orvex/log_event.hpp"
#include "orvex/log_xaction.hpp"
#include "typelib/class_registry.hpp"

namespace orvex::typelib {
namespace {

// The sink that a bridge of Events passes the logger's events to.
template <class Events>
class ToDispatch : public Events {
 public:
  explicit ToDispatch(std::shared_ptr<Dispatch> sink) : sink_(std::move(sink)) {}

 protected:
  // ShowEvent with a text: the sink's member dispID, the text coming back by reference.
  void ShowText(int32_t dispID, std::string& strEvent) {
    std::vector<Variant> args{Variant(strEvent)};
    sink_->Invoke(dispID, InvokeKind::Method, args);
    strEvent = CStr(args[0]);
  }

  std::shared_ptr<Dispatch> sink_;
};

// Events of the error logger: ShowError is identifier 1, ShowEvent 2.
class ErrorEventsToDispatch : public ToDispatch<CLogErrorEvents> {
 public:
  using ToDispatch::ToDispatch;
  void ShowError(const std::string& errSource, int32_t ErrNumber, const std::string& ErrDescription,
                 Date ErrDate) override {
    std::vector<Variant> args{Variant(errSource), Variant(ErrNumber), Variant(ErrDescription),
                              Variant(ErrDate)};
    sink_->Invoke(1, InvokeKind::Method, args);
  }
  void ShowEvent(std::string& strEvent) override { ShowText(2, strEvent); }
};

// ShowEvent (identifier 1); the text comes back by reference.
class EventEventsToDispatch : public ToDispatch<CLogEventEvents> {
 public:
  using ToDispatch::ToDispatch;
  void ShowEvent(std::string& strEvent) override { ShowText(1, strEvent); }
};

// ShowEvent (identifier 1); the record comes back by reference.
class XactionEventsToDispatch : public ToDispatch<CLogXactionEvents> {
 public:
  using ToDispatch::ToDispatch;
  void ShowEvent(SafeArray& Data) override {
    std::vector<Variant> args{Variant(Data)};
    sink_->Invoke(1, InvokeKind::Method, args);
    if (args[0].IsArray()) Data = args[0].Array();
  }
};

// A logger's late-bound sinks reach it through the bridge of its event interface.
template <class T, class Bridge>
void ConnectEvents(ClassBinding<T>& binding) {
  binding.advise = [](T& log, std::shared_ptr<Dispatch> sink) {
    return log.Advise(std::make_shared<Bridge>(std::move(sink)));
  };
}

ParamInfo LogTypeParam() { return OptParam("elt", EnumOf("ELogType"), DefaultLong(0)); }

std::vector<ParamInfo> ConnectParams() {
  return {RefParam("strConnectingString", String()), RefParam("strTableName", String())};
}

// pLogFile and pLogXML: a file name given by a property Let.
template <class T>
BoundMember<T> FileNameProperty(std::string name, int32_t dispId,
                                void (T::*set)(const std::string&)) {
  return {Property(std::move(name), dispId, Kinds({MemberKind::PropertyLet}), {}, String(),
                   RefParam("strFileName", String())),
          Does<T>([set](T& log, MemberCall& c) { (log.*set)(c.value.Str()); })};
}

template <class T>
BoundMember<T> XmlLogMethod(std::string name, int32_t dispId, void (T::*run)()) {
  return {Method(std::move(name), dispId, {}),
          Does<T>([run](T& log, MemberCall&) { (log.*run)(); })};
}

const ClassBinding<CLogError>& LogErrorBinding() {
  using T = CLogError;
  static const ClassBinding<T> binding = [] {
    std::vector<ParamInfo> connect = ConnectParams();
    connect.push_back(RefParam("le", ObjectOf("CLogError")));
    ClassBinding<T> made(
        "_CLogError", "CLogError", "{04463FCF-F213-4372-AA5E-DB84AC4105AA}",
        {Field("gttErrors", 0x40030000, ObjectOf("CTextTable"), &T::gttErrors),
         Field("gttMessages", 0x40030001, ObjectOf("CTextTable"), &T::gttMessages),
         Field("glERROR_B", 0x40030002, Long(), &T::glERROR_B),
         Field("glERROR_E", 0x40030003, Long(), &T::glERROR_E),
         Field("gstrHelpFile", 0x40030004, String(), &T::gstrHelpFile),
         Field("glHelpContext", 0x40030005, Long(), &T::glHelpContext),
         Field("gbDateStamp", 0x40030006, Boolean(), &T::gbDateStamp),
         Field("madocmdInsertError", 0x40030007, ObjectOf("Command"), &T::madocmdInsertError),
         {Method("Clone", 0x60030002, {}, ObjectOf("CLogError")),
          [](T& log, MemberCall&) { return Variant(WrapNative(log.Clone())); }},
         {Method("LogError", 0x60030003,
                 {Param("ModuleName", String()), Param("ProcedureName", String()),
                  RefParam("objErr", RecordOf("TErrorObject")), LogTypeParam(),
                  OptParam("embs", EnumOf("VbMsgBoxStyle"), DefaultLong(0)),
                  OptParam("Title", String(), DefaultText(""))},
                 EnumOf("ETWErrorLogResult")),
          [](T& log, MemberCall& c) {
            auto& p = c.params;
            TErrorObject error = p[2].AsErrorObject();
            int32_t result =
                log.LogError(p[0].Str(), p[1].Str(), error, p[3].I4(), p[4].I4(), p[5].Str());
            p[2] = Variant(error);
            return Variant(result);
          }},
         FileNameProperty<T>("pLogFile", 0x68030001, &T::pLogFile),
         {Method("pConnect", 0x60030007, connect), Does<T>([](T& log, MemberCall& c) {
            std::shared_ptr<CLogError> le;
            if (!c.params[2].IsMissing())
              le = std::dynamic_pointer_cast<CLogError>(NativeOf(c.params[2]));
            log.pConnect(c.params[0].Str(), c.params[1].Str(), le);
          })},
         FileNameProperty<T>("pLogXML", 0x68030000, &T::pLogXML),
         XmlLogMethod<T>("SaveXMLLog", 0x6003000C, &T::SaveXMLLog),
         XmlLogMethod<T>("ClearXMLLog", 0x6003000D, &T::ClearXMLLog),
         XmlLogMethod<T>("CloseXMLLog", 0x6003000E, &T::CloseXMLLog)});
    ConnectEvents<T, ErrorEventsToDispatch>(made);
    return made;
  }();
  return binding;
}

// The public fields that the event and transaction loggers share.
template <class T>
std::vector<BoundMember<T>> EventLoggerFields() {
  return {Field("gttEvents", 0x40030000, ObjectOf("CTextTable"), &T::gttEvents),
          Field("gstrHelpFile", 0x40030001, String(), &T::gstrHelpFile),
          Field("glHelpContext", 0x40030002, Long(), &T::glHelpContext),
          Field("gstrLogFile", 0x40030003, String(), &T::gstrLogFile),
          Field("gstrLogDBFile", 0x40030004, String(), &T::gstrLogDBFile),
          Field("gstrTableName", 0x40030005, String(), &T::gstrTableName),
          Field("gbDateStamp", 0x40030006, Boolean(), &T::gbDateStamp)};
}

const ClassBinding<CLogEvent>& LogEventBinding() {
  using T = CLogEvent;
  static const ClassBinding<T> binding = [] {
    ClassBinding<T> made(
        "_CLogEvent", "CLogEvent", "{6C3C4E46-893F-4C6D-BDEE-C5B6873D98ED}",
        Joined(
            EventLoggerFields<T>(),
            {{Method("LogEvent", 0x60030002, {RefParam("strEvent", String()), LogTypeParam()},
                     Boolean()),
              [](T& log, MemberCall& c) {
                std::string text = c.params[0].Str();
                bool answer = log.LogEvent(text, c.params[1].I4());
                c.params[0] = Variant(text);
                return Variant(answer);
              }},
             FileNameProperty<T>("pLogFile", 0x68030001, &T::pLogFile),
             {Method("pConnect", 0x60030006, ConnectParams()), Does<T>([](T& log, MemberCall& c) {
                log.pConnect(c.params[0].Str(), c.params[1].Str());
              })},
             FileNameProperty<T>("pLogXML", 0x68030000, &T::pLogXML),
             XmlLogMethod<T>("SaveXMLLog", 0x6003000C, &T::SaveXMLLog),
             XmlLogMethod<T>("ClearXMLLog", 0x6003000D, &T::ClearXMLLog),
             XmlLogMethod<T>("CloseXMLLog", 0x6003000E, &T::CloseXMLLog)}));
    ConnectEvents<T, EventEventsToDispatch>(made);
    return made;
  }();
  return binding;
}

const ClassBinding<CLogXaction>& LogXactionBinding() {
  using T = CLogXaction;
  static const ClassBinding<T> binding = [] {
    std::vector<ParamInfo> connect = ConnectParams();
    connect.push_back(RefParam("SourceCount", Integer()));
    ClassBinding<T> made(
        "_CLogXaction", "CLogXaction", "{755CC720-72F8-4B5B-8C1F-A8B70FA1AEBE}",
        Joined(EventLoggerFields<T>(),
               {{Method("LogXaction", 0x60030002,
                        {RefParam("Data", VariantArray()), LogTypeParam()}, Boolean()),
                 [](T& log, MemberCall& c) {
                   SafeArray data = c.params[0].Array();
                   bool answer = log.LogXaction(data, c.params[1].I4());
                   c.params[0] = Variant(data);
                   return Variant(answer);
                 }},
                FileNameProperty<T>("pLogFile", 0x68030001, &T::pLogFile),
                FileNameProperty<T>("pLogXML", 0x68030000, &T::pLogXML),
                // Unlike the other loggers, CloseXMLLog precedes ClearXMLLog here.
                XmlLogMethod<T>("SaveXMLLog", 0x60030003, &T::SaveXMLLog),
                XmlLogMethod<T>("CloseXMLLog", 0x60030004, &T::CloseXMLLog),
                XmlLogMethod<T>("ClearXMLLog", 0x60030005, &T::ClearXMLLog),
                {Method("pConnect", 0x6003000A, connect), Does<T>([](T& log, MemberCall& c) {
                   int16_t sourceCount = c.params[2].IsMissing() ? int16_t{0} : CInt(c.params[2]);
                   log.pConnect(c.params[0].Str(), c.params[1].Str(), sourceCount);
                 })}}));
    ConnectEvents<T, XactionEventsToDispatch>(made);
    return made;
  }();
  return binding;
}

}  // namespace

std::vector<RegisteredClass> LoggerClasses() {
  return {Register(LogErrorBinding(), "{85545322-9277-4171-9F8C-A56F18B0EBCB}", true, false),
          Register(LogEventBinding(), "{7CB0CF77-59AF-429A-A647-FF6B71DE543E}", true, false),
          Register(LogXactionBinding(), "{139CB780-45B0-48E1-8702-671816D657D9}", true, false)};
}

Variant FieldToVariant(const std::shared_ptr<data::Command>& command) {
  return command ? Variant(command) : Variant::Nothing();
}

void FieldFromVariant(const Variant& value, std::shared_ptr<data::Command>& command) {
  command = value.AsObjectOf<data::Command>();
  if (!command && value.AsObjectRef())
    Raise(DISP_E_TYPEMISMATCH, "ORVEX.Dispatch", "A command object is required");
}

}  // namespace orvex::typelib
