#include "orvex/log_xaction.hpp"

#include <limits>
#include <vector>

#include "foundation/error_path.hpp"
#include "logging/sinks/database_sink.hpp"
#include "logging/sinks/event_log_sink.hpp"
#include "logging/sinks/message_box_sink.hpp"
#include "logging/sinks/text_file_sink.hpp"
#include "logging/sinks/xml_log_sink.hpp"
#include "orvex/data.hpp"
#include "orvex/host.hpp"
#include "orvex/modules.hpp"
#include "orvex/value_conversion.hpp"
#include "platform/data/sql_names.hpp"

namespace orvex {

namespace {

constexpr const char* kClassName = "CLogXaction";

// Field texts, index 0 standing for Data(1).
using FieldTexts = std::vector<std::string>;

// The texts of Data(1) .. Data(UBound); a missing element gives "". Raises 9 when the array has
// elements but no Data(1), 6 when the upper bound passes the 16-bit counter, 94 for Null.
FieldTexts BuildFieldTexts(const SafeArray& Data) {
  FieldTexts fields;
  if (MUtility::ElementCount(Data) < 1) return fields;
  const int32_t upper = Data.UBound();
  if (upper < 1)
    Raise(errSubscriptOutOfRange, kDefaultErrorSource,
          "The transaction record has no element 1: its fields start at index 1");
  if (upper > std::numeric_limits<int16_t>::max()) Raise(errOverflow);
  fields.reserve(static_cast<size_t>(upper));
  for (int32_t i = 1; i <= upper; ++i) {
    const Variant& element = Data[i];
    fields.push_back(element.IsMissing() ? std::string() : CStr(element));
  }
  return fields;
}

std::string RecordLine(const FieldTexts& fields, bool dateStamp) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ":";
    line += fields[i];
  }
  if (dateStamp) line = FormatGeneralDate(CurrentHost().Now()) + " " + line;
  return line;
}

// The field text at a 1-based position; error 9 when the record is shorter.
const std::string& FieldAt(const FieldTexts& fields, size_t position) {
  if (position < 1 || position > fields.size())
    Raise(
        errSubscriptOutOfRange, kDefaultErrorSource,
        "The transaction record has no field " + std::to_string(position) + " for its XML element");
  return fields[position - 1];
}

struct PositionAttribute {
  const char* name;
  size_t position;
};

constexpr PositionAttribute kElementAttributes[] = {
    {"transactor", 3}, {"port", 2}, {"name", 5}, {"status", 6}};

// A parameter without a value of the record: Null where the column takes it, else the type's
// placeholder.
void FillMissing(data::Parameter& parameter) {
  parameter.Value = (parameter.Attributes & data::adParamNullable)
                        ? Variant::Null()
                        : MComponent::DefaultValueForType(parameter.Type);
}

}  // namespace

struct ORVEX_LIBRARY_ONLY CLogXaction::Impl {
  // The database destination: the insert is built once, in pConnect, from the table's columns,
  // in the table's order, with one parameter per column; a record then only sets values.
  std::shared_ptr<data::Fields> pGetFields(const std::string& tableName, int32_t lockType);
  std::shared_ptr<data::Recordset> prsGetUsingCommand(const std::string& queryText,
                                                      int32_t lockType);
  void BuildInsert(const std::string& tableName, const data::Fields& fields);
  void pLogToDB(SafeArray& Data);
  void Execute();

  // The sinks hold the private state the loggers' contract names: the text file's path
  // (mstrFileName), the connection string (mstrConnectingString), the XML log's document and
  // the message box's GMessage (mobjMessage).
  logging::TextFileSink text_file_{logging::TextFileSink::Kind::kAsciiPerRecord, kClassName};
  // Each insert and each column query opens a connection of its own; the provider pools
  // sessions per connection string, so this does not pay for a new session each time.
  logging::DatabaseSink database_{logging::DatabaseSink::Sessions::kConnectionPerRecord,
                                  kClassName};
  std::shared_ptr<data::Command> madocmdInsertXaction;
  logging::XmlLogSink xml_log_{"transactions", logging::XmlLogSink::Creation::kWithTheLogger,
                               kClassName};
  logging::EventLogSink event_log_;
  logging::MessageBoxSink message_box_;
  ConnectionPoint<CLogXactionEvents> events_;
};

CLogXaction::CLogXaction() : impl_(std::make_unique<Impl>()) { MMain::EnsureMain(); }

CLogXaction::~CLogXaction() = default;

uint32_t CLogXaction::Advise(std::shared_ptr<CLogXactionEvents> sink) {
  return impl_->events_.Advise(std::move(sink));
}

void CLogXaction::Unadvise(uint32_t cookie) { impl_->events_.Unadvise(cookie); }

std::shared_ptr<const data::Command> CLogXaction::InsertCommand() const {
  return impl_->madocmdInsertXaction;
}

bool CLogXaction::LogXaction(SafeArray& Data, int32_t elt) {
  Impl& impl = *impl_;
  try {
    const FieldTexts fields = BuildFieldTexts(Data);
    const std::string line = RecordLine(fields, gbDateStamp);

    if (elt & ltRAISEEVENT)
      impl.events_.Fire([&](CLogXactionEvents& sink) { sink.ShowEvent(Data); });
    // Only the flag word 2 itself raises: inside a larger word the bit selects nothing.
    if (elt == ltRAISEERROR)
      Raise(kXactionRaisedError, line, kXactionRaisedDescription, gstrHelpFile, glHelpContext);

    if (elt & ltXML) {
      try {
        impl.xml_log_.Write("transactions", [&](logging::XmlRecord& record) {
          record.AddStamp("date", gbDateStamp);
          // The only positions with a fixed meaning, in the order of the element's attributes.
          for (const PositionAttribute& attribute : kElementAttributes)
            record.Add(attribute.name, FieldAt(fields, attribute.position));
        });
      } catch (...) {
        foundation::RaiseAgain(kClassName, "pLogToXML");
      }
    }

    // A best-effort copy: no failure of the file reaches the client or stops the destinations
    // after it.
    if (elt & ltFILE) {
      try {
        impl.text_file_.WriteLine(line);
      } catch (...) {
      }
    }

    if (elt & ltDB) impl.pLogToDB(Data);

    if (elt & ltEVENTLOG) {
      try {
        impl.event_log_.Write([&] { return line + " {" + "}"; }, evtInformation);
      } catch (...) {
        foundation::RaiseAgain(kClassName, "pLogToNTEventLog");
      }
    }

    if (elt & ltMSGBOX) {
      if (gttEvents)
        impl.message_box_.ShowMessage(*gttEvents, CInt(Variant(line)), 16384, Variant(line),
                                      gstrHelpFile, glHelpContext);
      else
        impl.message_box_.ShowText(line + " {" + "}", 16384, line, gstrHelpFile, glHelpContext);
    }
  } catch (...) {
    foundation::RaiseAgain(kClassName, "LogXaction");
  }
  return false;
}

void CLogXaction::pLogFile(const std::string& strFileName) { impl_->text_file_.Open(strFileName); }

void CLogXaction::pLogXML(const std::string& strFileName) { impl_->xml_log_.Start(strFileName); }

void CLogXaction::SaveXMLLog() { impl_->xml_log_.Save(); }

void CLogXaction::CloseXMLLog() { impl_->xml_log_.Close(); }

void CLogXaction::ClearXMLLog() { impl_->xml_log_.Clear(); }

// ---- The database table --------------------------------------------------------------------

void CLogXaction::pConnect(const std::string& strConnectingString, const std::string& strTableName,
                           int16_t& SourceCount) {
  (void)SourceCount;
  Impl& impl = *impl_;
  try {
    impl.database_.Connect(strConnectingString);
    impl.madocmdInsertXaction = std::make_shared<data::Command>();
    data::internal::RequireSqlName(strTableName, "strTableName");
    std::shared_ptr<data::Fields> fields = impl.pGetFields(strTableName, data::adLockReadOnly);
    if (!fields) return;
    impl.BuildInsert(strTableName, *fields);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "pConnect");
  }
}

void CLogXaction::Impl::BuildInsert(const std::string& tableName, const data::Fields& fields) {
  madocmdInsertXaction->CommandType = data::adCmdText;
  // The columns are named as the database spells them, quoted in its dialect: a column named
  // with a blank, a keyword or capitals is one name, and a planted name stays a name.
  std::string columns;
  std::string markers;
  for (int32_t i = 0; i < fields.Count(); ++i) {
    columns += data::internal::QuoteIdentifier(fields[i]->Name()) + ",";
    markers += "?,";
  }
  if (!columns.empty()) columns.pop_back();
  if (!markers.empty()) markers.pop_back();
  madocmdInsertXaction->CommandText =
      "INSERT INTO " + tableName + " ( " + columns + " ) " + " VALUES ( " + markers + " )";

  data::Parameters& parameters = *madocmdInsertXaction->Parameters();
  for (int32_t i = 0; i < fields.Count(); ++i) {
    const data::Field& field = *fields[i];
    const int32_t type = field.Type();
    std::shared_ptr<data::Parameter> parameter = madocmdInsertXaction->CreateParameter(
        field.Name(), type, data::adParamInput, field.DefinedSize(), Variant());
    if (type == data::adDecimal || type == data::adNumeric) {
      parameter->NumericScale = field.NumericScale();
      parameter->Precision = field.Precision();
    }
    if (field.Attributes() & data::adFldIsNullable) parameter->Attributes |= data::adParamNullable;
    parameters.Append(parameter);
  }
  madocmdInsertXaction->Prepared = true;
}

std::shared_ptr<data::Fields> CLogXaction::Impl::pGetFields(const std::string& tableName,
                                                            int32_t lockType) {
  return prsGetUsingCommand("SELECT TOP 1 * FROM " + tableName, lockType)->Fields();
}

std::shared_ptr<data::Recordset> CLogXaction::Impl::prsGetUsingCommand(const std::string& queryText,
                                                                       int32_t lockType) {
  auto records = std::make_shared<data::Recordset>();
  try {
    database_.OnOwnConnection([&](const std::shared_ptr<data::Connection>& connection) {
      auto command = std::make_shared<data::Command>();
      command->ActiveConnection = connection;
      command->CommandType = data::adCmdText;
      command->CommandText = queryText;
      records->CursorLocation(data::adUseClient);
      records->Open(Variant(command), Variant::Missing(), data::adOpenStatic, lockType,
                    data::adCmdUnspecified);
      if (records->BOF() && records->EOF_() && records->AbsolutePosition() == data::adPosUnknown &&
          records->Fields()->Count() == 0)
        Raise(kXactionDataError, kDefaultErrorSource,
              "The column query gave no column descriptions: " + queryText);
      // Only the column descriptions are used: they stay readable on the detached set.
      records->SetActiveConnection(nullptr);
      command->ActiveConnection = nullptr;
    });
  } catch (...) {
    foundation::RaiseAgain(kClassName, "prsGetUsingCommand");
  }
  return records;
}

void CLogXaction::Impl::pLogToDB(SafeArray& Data) {
  try {
    if (MUtility::ElementCount(Data) == 0) {
      // An empty record inserts the values that the parameters kept from the last insert.
      Execute();
      return;
    }
    database_.RequireInsert(madocmdInsertXaction);
    data::Parameters& parameters = *madocmdInsertXaction->Parameters();
    const int32_t count = parameters.Count();
    const int32_t upper = Data.UBound();
    const int32_t last = upper > count ? count : upper;
    for (int32_t i = 1; i <= last; ++i) {
      data::Parameter& parameter = *parameters[i - 1];
      const Variant& element = Data[i];
      if (element.IsMissing()) {
        FillMissing(parameter);
      } else if (!MComponent::SetParameterValue(parameter, element)) {
        Raise(kXactionDataError, kDefaultErrorSource,
              "Element " + std::to_string(i) + " of the transaction cannot be stored in column " +
                  parameter.Name);
      }
    }
    for (int32_t i = last + 1; i <= count; ++i) FillMissing(*parameters[i - 1]);
    Execute();
  } catch (...) {
    foundation::RaiseAgain(kClassName, "pLogToDB");
  }
}

void CLogXaction::Impl::Execute() {
  try {
    database_.Insert(madocmdInsertXaction);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "Execute");
  }
}

}  // namespace orvex
