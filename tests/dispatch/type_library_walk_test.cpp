// Every member of every class of the type library, invoked late-bound by identifier and by name.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
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

// One late-bound call and what it must answer ("" = anything).
struct Call {
  std::string member;
  InvokeKind kind;
  std::vector<Variant> args;
  std::string expected;
};

class TypeLibraryWalk : public ::testing::Test {
 protected:
  TypeLibraryWalk() {
    host->computerName = "PC9";
    MMain::Main();
    database = "Provider=SQLite;Data Source=" + dir.File("walk.db");
    auto connection = std::make_shared<data::Connection>();
    connection->Open(database);
    connection->Execute(
        "CREATE TABLE Messages (ID INTEGER PRIMARY KEY, English VARCHAR(100), Arabic "
        "VARCHAR(100))");
    connection->Execute("INSERT INTO Messages VALUES (1, 'File not found', 'الملف غير موجود')");
    connection->Execute("INSERT INTO Messages VALUES (2, 'Saved', 'تم الحفظ')");
    connection->Execute(
        "CREATE TABLE LanguageStrings (ID INTEGER PRIMARY KEY, English VARCHAR(100))");
    connection->Execute("INSERT INTO LanguageStrings VALUES (1, 'One')");
    connection->Execute(
        "CREATE TABLE ErrorLog (lErrorNumber INTEGER, strDescription VARCHAR(255), strSource "
        "VARCHAR(255), dDate DATETIME)");
    connection->Execute("CREATE TABLE EventLog (strEvent VARCHAR(255), dDate DATETIME)");
    connection->Execute("CREATE TABLE Xactions (Id INTEGER, Port VARCHAR(10), Who VARCHAR(20))");
    auto rows = std::make_shared<data::Recordset>();
    rows->Open("SELECT ID, English, Arabic FROM Messages", Variant(database));
    rows->Save(dir.File("messages.rows"));
    connection->Close();
    std::ofstream(dir.File("glossary.xml"))
        << "<Glossaries><Glossary ID='7' English='Yes' Arabic='نعم'/></Glossaries>";
  }

  // Runs the calls on a new object of the class, first by name, then checks that the class's
  // interface has no member left uncalled.
  void Walk(const std::string& progID, const std::vector<Call>& calls) {
    SCOPED_TRACE(progID);
    std::shared_ptr<Dispatch> object = CreateObject(progID);
    const CoClassInfo* coclass = FindCoClass(progID);
    ASSERT_NE(coclass, nullptr);
    const InterfaceInfo* iface = FindInterface(coclass->defaultInterface);
    std::set<std::string> called;
    for (const Call& call : calls) {
      SCOPED_TRACE(call.member);
      const MemberInfo* member = FindMember(*iface, call.member);
      ASSERT_NE(member, nullptr);
      // The identifier found by name, in any case, is the type library's.
      std::string upper = call.member;
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      ASSERT_EQ(object->GetIDOfName(upper), member->dispId);
      std::vector<Variant> args = call.args;
      Variant result;
      try {
        result = object->Invoke(member->dispId, call.kind, args);
      } catch (const AutomationError& error) {
        ADD_FAILURE() << call.member << " raised " << error.Number << " " << error.Source << ": "
                      << error.Description;
        continue;
      }
      if (!call.expected.empty()) {
        EXPECT_EQ(CStr(result), call.expected);
      }
      called.insert(member->name);
    }
    for (const MemberInfo& member : iface->members)
      EXPECT_TRUE(called.count(member.name)) << member.name << " was not invoked";
  }

  HostGuard host;
  TempDir dir;
  std::string database;
};

const InvokeKind kGet = InvokeKind::PropertyGet;
const InvokeKind kPut = InvokeKind::PropertyPut;
const InvokeKind kSet = InvokeKind::PropertyPutRef;
const InvokeKind kMethod = InvokeKind::Method;

// The settings the event and transaction loggers share, each put and read back, then `rest`.
std::vector<Call> WithSettings(const Variant& events, bool dateStamp, std::vector<Call> rest) {
  std::vector<Call> calls = {{"gttEvents", kSet, {events}, ""},
                             {"gttEvents", kGet, {}, ""},
                             {"gstrHelpFile", kPut, {"h"}, ""},
                             {"gstrHelpFile", kGet, {}, "h"},
                             {"glHelpContext", kPut, {Variant(int32_t{2})}, ""},
                             {"glHelpContext", kGet, {}, "2"},
                             {"gstrLogFile", kPut, {"a"}, ""},
                             {"gstrLogFile", kGet, {}, "a"},
                             {"gstrLogDBFile", kPut, {"b"}, ""},
                             {"gstrLogDBFile", kGet, {}, "b"},
                             {"gstrTableName", kPut, {"c"}, ""},
                             {"gstrTableName", kGet, {}, "c"},
                             {"gbDateStamp", kPut, {Variant(dateStamp)}, ""},
                             {"gbDateStamp", kGet, {}, dateStamp ? "True" : "False"}};
  calls.insert(calls.end(), std::make_move_iterator(rest.begin()),
               std::make_move_iterator(rest.end()));
  return calls;
}

TEST_F(TypeLibraryWalk, GlobalClasses) {
  Walk("ORVEX.GErrors", {{"SetErrSource", kMethod, {"Mod", "Proc"}, "Mod.Proc::@PC9"},
                         {"COMError", kMethod, {Variant(int32_t{5})}, "-2147221499"}});
  Walk("ORVEX.GMessage", {{"ShowText", kMethod, {"Hello"}, "1"}});
  ASSERT_EQ(host->boxes.size(), 1u);
  EXPECT_EQ(host->boxes[0].prompt, "Hello");
}

TEST_F(TypeLibraryWalk, TextTables) {
  Walk("ORVEX.CTextTable", {{"Helpfile", kPut, {"h.hlp"}, ""},
                            {"Helpfile", kGet, {}, "h.hlp"},
                            {"HelpContext", kPut, {"12"}, ""},
                            {"HelpContext", kGet, {}, "12"},
                            {"ConnectingString", kPut, {Variant(database)}, ""},
                            {"TextE", kGet, {"English", Variant(int32_t{1})}, "One"},
                            {"TextE", kPut, {"English", Variant(int32_t{1}), "Uno"}, ""},
                            {"LoadStringsRS", kMethod, {"Messages", "Arabic", Variant(false)}, ""},
                            {"Text", kGet, {Variant(int32_t{2})}, "تم الحفظ"},
                            {"Show", kMethod, {Variant(int16_t{1})}, "1"},
                            {"Text", kPut, {Variant(int32_t{2}), "حفظ"}, ""},
                            {"LoadStringsRS", kMethod, {"Messages", "English", Variant(false)}, ""},
                            {"AddNew", kMethod, {"New text"}, "0"}});
  Walk("ORVEX.CTextTable2",
       {{"Helpfile", kPut, {"h"}, ""},
        {"Helpfile", kGet, {}, "h"},
        {"HelpContext", kPut, {Variant(int32_t{3})}, ""},
        {"HelpContext", kGet, {}, "3"},
        {"ConnectingString", kPut, {Variant(dir.File("glossary.xml"))}, ""},
        {"LoadStringsRS", kMethod, {"ignored"}, ""},
        {"Text", kGet, {Variant(int32_t{7})}, "Yes"},
        {"Show", kMethod, {Variant(int16_t{7}), Variant::Missing(), "Title"}, "1"}});
  Walk("ORVEX.CTextTable3", {{"Helpfile", kPut, {"h"}, ""},
                             {"Helpfile", kGet, {}, "h"},
                             {"HelpContext", kPut, {Variant(int32_t{3})}, ""},
                             {"HelpContext", kGet, {}, "3"},
                             {"ConnectingString", kPut, {Variant(dir.File("messages.rows"))}, ""},
                             {"LoadStringsRS", kMethod, {"x", "English", Variant(false)}, ""},
                             {"Text", kGet, {Variant(int32_t{1})}, "File not found"},
                             {"Text", kPut, {Variant(int32_t{1}), "Missing file"}, ""},
                             {"AddNew", kMethod, {"Added"}, "0"},
                             {"Show", kMethod, {Variant(int16_t{1})}, "1"},
                             {"Save", kMethod, {}, ""}});
  // The Arabic box of the database table is laid out right to left.
  EXPECT_EQ(host->boxes[0].prompt, "الملف غير موجود");
  EXPECT_EQ(host->boxes[0].style, 0x00180000);
  EXPECT_EQ(host->boxes[1].title, "Title");
  EXPECT_EQ(host->boxes[2].prompt, "Missing file");
}

TEST_F(TypeLibraryWalk, Loggers) {
  std::shared_ptr<Dispatch> table = CreateObject("ORVEX.CTextTable");
  std::vector<Variant> args{Variant(database)};
  table->Invoke(table->GetIDOfName("ConnectingString"), kPut, args);
  args = {Variant("Messages")};
  table->Invoke(table->GetIDOfName("LoadStringsRS"), kMethod, args);

  TErrorObject error;
  error.lNumber = static_cast<int32_t>(0x90000000u | 1001);
  Walk("ORVEX.CLogError",
       {{"gttErrors", kSet, {Variant(table)}, ""},
        {"gttErrors", kGet, {}, ""},
        {"gttMessages", kSet, {Variant(table)}, ""},
        {"gttMessages", kGet, {}, ""},
        {"glERROR_B", kPut, {Variant(int32_t{1000})}, ""},
        {"glERROR_B", kGet, {}, "1000"},
        {"glERROR_E", kPut, {Variant(int32_t{1999})}, ""},
        {"glERROR_E", kGet, {}, "1999"},
        {"gstrHelpFile", kPut, {"app.hlp"}, ""},
        {"gstrHelpFile", kGet, {}, "app.hlp"},
        {"glHelpContext", kPut, {Variant(int32_t{4})}, ""},
        {"glHelpContext", kGet, {}, "4"},
        {"gbDateStamp", kPut, {Variant(false)}, ""},
        {"gbDateStamp", kGet, {}, "False"},
        {"pLogFile", kPut, {Variant(dir.File("errors.log"))}, ""},
        {"pConnect", kMethod, {Variant(database), "ErrorLog", Variant::Nothing()}, ""},
        {"madocmdInsertError", kGet, {}, ""},
        {"pLogXML", kPut, {Variant(dir.File("errors.xml"))}, ""},
        {"LogError",
         kMethod,
         {"Mod", "Proc", Variant(error), Variant(int32_t{ltFILE | ltDB | ltXML | ltMSGBOX})},
         std::to_string(etwelrNSERROR)},
        {"Clone", kMethod, {}, ""},
        {"SaveXMLLog", kMethod, {}, ""},
        {"CloseXMLLog", kMethod, {}, ""},
        {"ClearXMLLog", kMethod, {}, ""},
        {"madocmdInsertError", kSet, {Variant::Nothing()}, ""}});
  Walk("ORVEX.CLogEvent",
       WithSettings(Variant(table), true,
                    {{"pLogFile", kPut, {Variant(dir.File("events.log"))}, ""},
                     {"pConnect", kMethod, {Variant(database), "EventLog"}, ""},
                     {"pLogXML", kPut, {Variant(dir.File("events.xml"))}, ""},
                     {"LogEvent", kMethod, {"1", Variant(int32_t{ltFILE | ltDB | ltXML})}, "False"},
                     {"SaveXMLLog", kMethod, {}, ""},
                     {"ClearXMLLog", kMethod, {}, ""},
                     {"CloseXMLLog", kMethod, {}, ""}}));
  SafeArray record = SafeArray::Of(1, {Variant(int32_t{5}), Variant("COM1"), Variant("Ann"),
                                       Variant("x"), Variant("name"), Variant("ok")});
  Walk(
      "ORVEX.CLogXaction",
      WithSettings(Variant::Nothing(), false,
                   {{"pLogFile", kPut, {Variant(dir.File("xactions.log"))}, ""},
                    {"pConnect", kMethod, {Variant(database), "Xactions", Variant(int16_t{0})}, ""},
                    {"pLogXML", kPut, {Variant(dir.File("xactions.xml"))}, ""},
                    {"LogXaction",
                     kMethod,
                     {Variant(record), Variant(int32_t{ltFILE | ltDB | ltXML})},
                     "False"},
                    {"SaveXMLLog", kMethod, {}, ""},
                    {"CloseXMLLog", kMethod, {}, ""},
                    {"ClearXMLLog", kMethod, {}, ""}}));
  EXPECT_TRUE(std::filesystem::exists(dir.File("errors.log")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("xactions.log")));
}

TEST(Dispatch, ErrorsOfLateBinding) {
  HostGuard host;
  for (const char* unknown : {"ORVEX.CNoSuchClass", "CLogError", ""}) {
    EXPECT_AUTOMATION_ERROR(CreateObject(unknown), 429, "",
                            "ActiveX component can't create object");
  }
  std::shared_ptr<Dispatch> errors = CreateObject("orvex.gerrors");  // identifiers ignore case
  EXPECT_AUTOMATION_ERROR(errors->GetIDOfName("NoSuchMember"), DISP_E_UNKNOWNNAME, "", "");
  std::vector<Variant> none;
  EXPECT_AUTOMATION_ERROR(errors->Invoke(0x60030000, InvokeKind::Method, none),
                          DISP_E_BADPARAMCOUNT, "", "");
  std::vector<Variant> tooMany{"a", "b", "c"};
  EXPECT_AUTOMATION_ERROR(errors->Invoke(0x60030000, InvokeKind::Method, tooMany),
                          DISP_E_BADPARAMCOUNT, "", "");
  std::vector<Variant> notANumber{"abc"};
  EXPECT_AUTOMATION_ERROR(errors->Invoke(0x60030001, InvokeKind::Method, notANumber),
                          DISP_E_TYPEMISMATCH, "", "");
  std::vector<Variant> anArray{Variant(SafeArray(0, 2))};
  EXPECT_AUTOMATION_ERROR(errors->Invoke(0x60030001, InvokeKind::Method, anArray),
                          DISP_E_TYPEMISMATCH, "", "");
  // Text coerced to the declared Long.
  std::vector<Variant> text{"5"};
  EXPECT_EQ(CLng(errors->Invoke(0x60030001, InvokeKind::Method, text)), -2147221499);
}

TEST(Dispatch, GlobalClassesHaveOneGlobalObjectPerThread) {
  HostGuard host;
  host->computerName = "PC9";
  std::shared_ptr<Dispatch> errors = GlobalObject("GErrors");
  EXPECT_EQ(GlobalObject("ORVEX.GErrors"), errors);
  std::vector<Variant> args{"Mod", "Proc"};
  EXPECT_EQ(CStr(errors->Invoke(errors->GetIDOfName("SetErrSource"), InvokeKind::Method, args)),
            "Mod.Proc::@PC9");
  EXPECT_NE(GlobalObject("GMessage"), nullptr);
  EXPECT_NE(GlobalObject("GMessage"), errors);
  EXPECT_AUTOMATION_ERROR(GlobalObject("CLogError"), 429, "CLogError",
                          "ActiveX component can't create object");
  EXPECT_AUTOMATION_ERROR(GlobalObject("Nothing"), 429, "", "");
}

TEST(Dispatch, DefaultMemberOptionalArgumentsAndByReference) {
  HostGuard host;
  host->answers = {2};
  std::shared_ptr<Dispatch> message = CreateObject("ORVEX.GMessage");
  // Omitted in the middle (Missing) and at the end (absent): the defaults apply.
  std::vector<Variant> args{"Text", Variant(int32_t{1}), Variant::Missing(), "Arabic"};
  EXPECT_EQ(CLng(message->Invoke(message->GetIDOfName("ShowText"), InvokeKind::Method, args)), 2);
  EXPECT_EQ(host->boxes[0].style, 0x00180001);
  EXPECT_EQ(host->boxes[0].title, "");

  std::shared_ptr<Dispatch> table = CreateObject("ORVEX.CTextTable");
  std::vector<Variant> id{Variant(int32_t{7})};
  EXPECT_EQ(CStr(table->Invoke(0, InvokeKind::PropertyGet, id)), "");  // identifier 0: Text

  // objErr comes back replaced by the failure record of the text log.
  std::shared_ptr<Dispatch> logger = CreateObject("ORVEX.CLogError");
  TErrorObject error;
  error.lNumber = 53;
  std::vector<Variant> call{"M", "P", Variant(error), Variant(int32_t{ltFILE})};
  Variant result = logger->Invoke(logger->GetIDOfName("LogError"), InvokeKind::Method, call);
  EXPECT_EQ(CLng(result), etwelrSERROR | etwelrLOGTOFILE_FAILED);
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
  uint32_t cookie = logger->Advise(sink);
  TErrorObject error;
  error.lNumber = 53;
  error.strDescription = "gone";
  std::vector<Variant> call{"M", "P", Variant(error), Variant(int32_t{ltRAISEEVENT})};
  logger->Invoke(logger->GetIDOfName("LogError"), InvokeKind::Method, call);
  ASSERT_EQ(sink->events.size(), 1u);
  EXPECT_EQ(sink->events[0].first, 1);
  EXPECT_EQ(CLng(sink->events[0].second[1]), 53);
  EXPECT_EQ(CStr(sink->events[0].second[2]), "gone");
  logger->Unadvise(cookie);

  std::shared_ptr<Dispatch> events = CreateObject("ORVEX.CLogEvent");
  events->Advise(sink);
  std::vector<Variant> put{Variant(dir.File("events.log"))};
  events->Invoke(events->GetIDOfName("pLogFile"), InvokeKind::PropertyPut, put);
  std::vector<Variant> log{"original", Variant(int32_t{ltRAISEEVENT | ltFILE})};
  events->Invoke(events->GetIDOfName("LogEvent"), InvokeKind::Method, log);
  ASSERT_EQ(sink->events.size(), 2u);
  EXPECT_EQ(CStr(sink->events[1].second[0]), "original");
  std::ifstream file(dir.File("events.log"));
  std::string line;
  std::getline(file, line);
  EXPECT_EQ(line, "rewritten by the sink\r");  // the rewritten text reached the file
  EXPECT_EQ(CStr(log[0]), "original");         // the caller's text is its own
}

}  // namespace
}  // namespace orvex
