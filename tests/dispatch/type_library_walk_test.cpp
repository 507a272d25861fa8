// Every member of every class of the type library, invoked late-bound by identifier and by name.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "orvex/data.hpp"
#include "orvex/dispatch.hpp"
#include "orvex/modules.hpp"
#include "orvex/type_library.hpp"
#include "support/automation_matchers.hpp"
#include "support/recording_host.hpp"
#include "support/temp_dir.hpp"

namespace orvex {
namespace {

using testing::HostGuard;
using testing::TempDir;

const InvokeKind kGet = InvokeKind::PropertyGet;
const InvokeKind kPut = InvokeKind::PropertyPut;
const InvokeKind kSet = InvokeKind::PropertyPutRef;
const InvokeKind kMethod = InvokeKind::Method;

// One late-bound call and what it must answer ("" = anything).
struct Call {
  std::string member;
  InvokeKind kind;
  std::vector<Variant> args = {};
  std::string expected = "";
};

// Settings written (objects by reference) and read back, as (member, value) pairs.
using Settings = std::vector<std::pair<std::string, Variant>>;

class TypeLibraryWalk : public ::testing::Test {
 protected:
  TypeLibraryWalk() {
    host->computerName = "PC9";
    MMain::Main();
    auto connection = std::make_shared<data::Connection>();
    connection->Open(database);
    for (const char* statement :
         {"CREATE TABLE Messages (ID INTEGER PRIMARY KEY, English VARCHAR(100), Arabic "
          "VARCHAR(100))",
          "INSERT INTO Messages VALUES (1, 'File not found', 'الملف غير موجود')",
          "INSERT INTO Messages VALUES (2, 'Saved', 'تم الحفظ')",
          "CREATE TABLE LanguageStrings (ID INTEGER PRIMARY KEY, English VARCHAR(100))",
          "INSERT INTO LanguageStrings VALUES (1, 'One')",
          "CREATE TABLE ErrorLog (lErrorNumber INTEGER, strDescription VARCHAR(255), strSource "
          "VARCHAR(255), dDate DATETIME)",
          "CREATE TABLE EventLog (strEvent VARCHAR(255), dDate DATETIME)",
          "CREATE TABLE Xactions (Id INTEGER, Port VARCHAR(10), Who VARCHAR(20))"})
      connection->Execute(statement);
    auto rows = std::make_shared<data::Recordset>();
    rows->Open("SELECT ID, English, Arabic FROM Messages", Variant(database));
    rows->Save(dir.File("messages.rows"));
    connection->Close();
    std::ofstream(dir.File("glossary.xml"))
        << "<Glossaries><Glossary ID='7' English='Yes' Arabic='نعم'/></Glossaries>";
  }

  // On a new object of the class: writes and reads back the settings, runs the calls, then
  // checks that the class's interface has no member left uncalled.
  void Walk(const std::string& progID, const Settings& settings, std::vector<Call> calls) {
    SCOPED_TRACE(progID);
    for (auto it = settings.rbegin(); it != settings.rend(); ++it) {
      const bool object = it->second.IsObject();
      calls.insert(calls.begin(), {{it->first, object ? kSet : kPut, {it->second}},
                                   {it->first, kGet, {}, object ? "" : CStr(it->second)}});
    }
    std::shared_ptr<Dispatch> object = CreateObject(progID);
    const InterfaceInfo* iface = FindInterface(FindCoClass(progID)->defaultInterface);
    std::set<std::string> called;
    for (Call& call : calls) {
      SCOPED_TRACE(call.member);
      const MemberInfo* member = FindMember(*iface, call.member);
      ASSERT_NE(member, nullptr);
      // The identifier found by name, in any case, is the type library's.
      std::string upper = call.member;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      ASSERT_EQ(object->GetIDOfName(upper), member->dispId);
      try {
        const Variant result = object->Invoke(member->dispId, call.kind, call.args);
        if (!call.expected.empty()) {
          EXPECT_EQ(CStr(result), call.expected);
        }
        called.insert(member->name);
      } catch (const AutomationError& error) {
        ADD_FAILURE() << "raised " << error.Number << " " << error.Source << ": "
                      << error.Description;
      }
    }
    for (const MemberInfo& member : iface->members)
      EXPECT_TRUE(called.count(member.name)) << member.name << " was not invoked";
  }

  HostGuard host;
  TempDir dir;
  const std::string database = "Provider=SQLite;Data Source=" + dir.File("walk.db");
};

// The settings the event and transaction loggers share.
Settings LoggerSettings(const Variant& events, bool dateStamp) {
  return {{"gttEvents", events},     {"gstrHelpFile", "h"},  {"glHelpContext", int32_t{2}},
          {"gstrLogFile", "a"},      {"gstrLogDBFile", "b"}, {"gstrTableName", "c"},
          {"gbDateStamp", dateStamp}};
}

TEST_F(TypeLibraryWalk, GlobalClasses) {
  Walk("ORVEX.GErrors", {},
       {{"SetErrSource", kMethod, {"Mod", "Proc"}, "Mod.Proc::@PC9"},
        {"COMError", kMethod, {int32_t{5}}, "-2147221499"}});
  Walk("ORVEX.GMessage", {}, {{"ShowText", kMethod, {"Hello"}, "1"}});
  ASSERT_EQ(host->boxes.size(), 1u);
  EXPECT_EQ(host->boxes[0].prompt, "Hello");
}

TEST_F(TypeLibraryWalk, TextTables) {
  Walk("ORVEX.CTextTable", {{"Helpfile", "h.hlp"}, {"HelpContext", "12"}},
       {{"ConnectingString", kPut, {database}},
        {"TextE", kGet, {"English", int32_t{1}}, "One"},
        {"TextE", kPut, {"English", int32_t{1}, "Uno"}},
        {"LoadStringsRS", kMethod, {"Messages", "Arabic", false}},
        {"Text", kGet, {int32_t{2}}, "تم الحفظ"},
        {"Show", kMethod, {int16_t{1}}, "1"},
        {"Text", kPut, {int32_t{2}, "حفظ"}},
        {"LoadStringsRS", kMethod, {"Messages", "English", false}},
        {"AddNew", kMethod, {"New text"}, "0"}});
  Walk("ORVEX.CTextTable2", {{"Helpfile", "h"}, {"HelpContext", int32_t{3}}},
       {{"ConnectingString", kPut, {dir.File("glossary.xml")}},
        {"LoadStringsRS", kMethod, {"ignored"}},
        {"Text", kGet, {int32_t{7}}, "Yes"},
        {"Show", kMethod, {int16_t{7}, Variant::Missing(), "Title"}, "1"}});
  Walk("ORVEX.CTextTable3", {{"Helpfile", "h"}, {"HelpContext", int32_t{3}}},
       {{"ConnectingString", kPut, {dir.File("messages.rows")}},
        {"LoadStringsRS", kMethod, {"x", "English", false}},
        {"Text", kGet, {int32_t{1}}, "File not found"},
        {"Text", kPut, {int32_t{1}, "Missing file"}},
        {"AddNew", kMethod, {"Added"}, "0"},
        {"Show", kMethod, {int16_t{1}}, "1"},
        {"Save", kMethod}});
  // The Arabic box of the database table is laid out right to left.
  ASSERT_EQ(host->boxes.size(), 3u);
  EXPECT_EQ(host->boxes[0].prompt, "الملف غير موجود");
  EXPECT_EQ(host->boxes[0].style, 0x00180000);
  EXPECT_EQ(host->boxes[1].title, "Title");
  EXPECT_EQ(host->boxes[2].prompt, "Missing file");
}

TEST_F(TypeLibraryWalk, Loggers) {
  std::shared_ptr<Dispatch> table = CreateObject("ORVEX.CTextTable");
  std::vector<Variant> args{database};
  table->Invoke(table->GetIDOfName("ConnectingString"), kPut, args);
  args = {"Messages"};
  table->Invoke(table->GetIDOfName("LoadStringsRS"), kMethod, args);

  TErrorObject error;
  error.lNumber = static_cast<int32_t>(0x90000000u | 1001);
  Walk("ORVEX.CLogError",
       {{"gttErrors", table},
        {"gttMessages", table},
        {"glERROR_B", int32_t{1000}},
        {"glERROR_E", int32_t{1999}},
        {"gstrHelpFile", "app.hlp"},
        {"glHelpContext", int32_t{4}},
        {"gbDateStamp", false}},
       {{"pLogFile", kPut, {dir.File("errors.log")}},
        {"pConnect", kMethod, {database, "ErrorLog", Variant::Nothing()}},
        {"madocmdInsertError", kGet},
        {"pLogXML", kPut, {dir.File("errors.xml")}},
        {"LogError",
         kMethod,
         {"Mod", "Proc", error, int32_t{ltFILE | ltDB | ltXML | ltMSGBOX}},
         std::to_string(etwelrNSERROR)},
        {"Clone", kMethod},
        {"SaveXMLLog", kMethod},
        {"CloseXMLLog", kMethod},
        {"ClearXMLLog", kMethod},
        {"madocmdInsertError", kSet, {Variant::Nothing()}}});
  Walk("ORVEX.CLogEvent", LoggerSettings(table, true),
       {{"pLogFile", kPut, {dir.File("events.log")}},
        {"pConnect", kMethod, {database, "EventLog"}},
        {"pLogXML", kPut, {dir.File("events.xml")}},
        {"LogEvent", kMethod, {"1", int32_t{ltFILE | ltDB | ltXML}}, "False"},
        {"SaveXMLLog", kMethod},
        {"ClearXMLLog", kMethod},
        {"CloseXMLLog", kMethod}});
  SafeArray record = SafeArray::Of(1, {int32_t{5}, "COM1", "Ann", "x", "name", "ok"});
  Walk("ORVEX.CLogXaction", LoggerSettings(Variant::Nothing(), false),
       {{"pLogFile", kPut, {dir.File("xactions.log")}},
        {"pConnect", kMethod, {database, "Xactions", int16_t{0}}},
        {"pLogXML", kPut, {dir.File("xactions.xml")}},
        {"LogXaction", kMethod, {record, int32_t{ltFILE | ltDB | ltXML}}, "False"},
        {"SaveXMLLog", kMethod},
        {"CloseXMLLog", kMethod},
        {"ClearXMLLog", kMethod}});
  EXPECT_TRUE(std::filesystem::exists(dir.File("xactions.log")));
}

TEST(Dispatch, ErrorsOfLateBinding) {
  HostGuard host;
  for (const char* unknown : {"ORVEX.CNoSuchClass", "CLogError", ""})
    EXPECT_AUTOMATION_ERROR(CreateObject(unknown), 429, "",
                            "ActiveX component can't create object");
  std::shared_ptr<Dispatch> errors = CreateObject("orvex.gerrors");  // identifiers ignore case
  EXPECT_AUTOMATION_ERROR(errors->GetIDOfName("NoSuchMember"), DISP_E_UNKNOWNNAME, "", "");
  const struct {
    int32_t dispId;
    std::vector<Variant> args;
    int32_t error;
  } cases[] = {
      {0x60030000, {}, DISP_E_BADPARAMCOUNT},  // SetErrSource
      {0x60030000, {"a", "b", "c"}, DISP_E_BADPARAMCOUNT},
      {0x60030001, {"abc"}, DISP_E_TYPEMISMATCH},  // COMError
      {0x60030001, {SafeArray(0, 2)}, DISP_E_TYPEMISMATCH},
  };
  for (auto c : cases)
    EXPECT_AUTOMATION_ERROR(errors->Invoke(c.dispId, kMethod, c.args), c.error, "", "");
  std::vector<Variant> text{"5"};  // coerced to the declared Long
  EXPECT_EQ(CLng(errors->Invoke(0x60030001, kMethod, text)), -2147221499);
}

TEST(Dispatch, GlobalClassesHaveOneGlobalObjectPerThread) {
  HostGuard host;
  host->computerName = "PC9";
  std::shared_ptr<Dispatch> errors = GlobalObject("GErrors");
  EXPECT_EQ(GlobalObject("ORVEX.GErrors"), errors);
  std::vector<Variant> args{"Mod", "Proc"};
  EXPECT_EQ(CStr(errors->Invoke(errors->GetIDOfName("SetErrSource"), kMethod, args)),
            "Mod.Proc::@PC9");
  EXPECT_NE(GlobalObject("GMessage"), nullptr);
  EXPECT_NE(GlobalObject("GMessage"), errors);
  EXPECT_AUTOMATION_ERROR(GlobalObject("CLogError"), 429, "CLogError",
                          "ActiveX component can't create object");
  EXPECT_AUTOMATION_ERROR(GlobalObject("Nothing"), 429, "", "");
}

// (Omitted arguments, Missing ones and the default member by identifier 0 are in the walk.)
TEST(Dispatch, AByReferenceArgumentComesBackChanged) {
  HostGuard host;
  // objErr comes back replaced by the failure record of the text log.
  std::shared_ptr<Dispatch> logger = CreateObject("ORVEX.CLogError");
  TErrorObject error;
  error.lNumber = 53;
  std::vector<Variant> call{"M", "P", error, int32_t{ltFILE}};
  EXPECT_EQ(CLng(logger->Invoke(logger->GetIDOfName("LogError"), kMethod, call)),
            etwelrSERROR | etwelrLOGTOFILE_FAILED);
  EXPECT_EQ(call[2].AsErrorObject().lNumber, errObjectNotSet);
}

// A late-bound event sink: records the events and rewrites the by-reference text.
class RecordingSink : public Dispatch {
 public:
  std::vector<std::pair<int32_t, std::vector<Variant>>> events;
  int32_t GetIDOfName(const std::string&) override { return 0; }
  Variant Invoke(int32_t dispID, InvokeKind, std::vector<Variant>& args) override {
    events.emplace_back(dispID, args);
    if (dispID == 1 && !args.empty() && args[0].VarType() == vbString)
      args[0] = Variant("rewritten by the sink");
    return Variant();
  }
};

TEST(Dispatch, EventsReachALateBoundSinkByIdentifier) {
  HostGuard host;
  TempDir dir;
  auto sink = std::make_shared<RecordingSink>();
  std::shared_ptr<Dispatch> logger = CreateObject("ORVEX.CLogError");
  const uint32_t cookie = logger->Advise(sink);
  TErrorObject error;
  error.lNumber = 53;
  error.strDescription = "gone";
  std::vector<Variant> call{"M", "P", error, int32_t{ltRAISEEVENT}};
  logger->Invoke(logger->GetIDOfName("LogError"), kMethod, call);
  ASSERT_EQ(sink->events.size(), 1u);
  EXPECT_EQ(sink->events[0].first, 1);
  EXPECT_EQ(CLng(sink->events[0].second[1]), 53);
  EXPECT_EQ(CStr(sink->events[0].second[2]), "gone");
  logger->Unadvise(cookie);

  std::shared_ptr<Dispatch> events = CreateObject("ORVEX.CLogEvent");
  events->Advise(sink);
  std::vector<Variant> put{dir.File("events.log")};
  events->Invoke(events->GetIDOfName("pLogFile"), kPut, put);
  std::vector<Variant> log{"original", int32_t{ltRAISEEVENT | ltFILE}};
  events->Invoke(events->GetIDOfName("LogEvent"), kMethod, log);
  ASSERT_EQ(sink->events.size(), 2u);  // none more from the logger no longer advised
  EXPECT_EQ(CStr(sink->events[1].second[0]), "original");
  EXPECT_EQ(testing::ReadFile(dir.File("events.log")).rfind("rewritten by the sink\r\n", 0), 0u);
  EXPECT_EQ(CStr(log[0]), "original");  // the caller's text is its own
}

}  // namespace
}  // namespace orvex
