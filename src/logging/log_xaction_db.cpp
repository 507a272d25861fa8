// The transaction logger's database destination. The table's columns are discovered once, in
// pConnect, and the insert is prepared with one parameter per column in the table's order; an
// insert then only sets values. Each insert and each column query opens a connection of its
// own; the provider pools sessions per connection string, so this does not pay for a new
// session each time.
#include <cstdint>
#include <string>

#include "foundation/error_path.hpp"
#include "orvex/data.hpp"
#include "orvex/log_xaction.hpp"
#include "orvex/modules.hpp"
#include "orvex/value_conversion.hpp"
#include "platform/data/sql_names.hpp"

namespace orvex {

namespace {

constexpr const char* kClassName = "CLogXaction";

template <class Step>
void Ignoring(Step&& step) {
  try {
    step();
  } catch (...) {
  }
}

void CloseIfOpen(const std::shared_ptr<data::Connection>& connection) {
  Ignoring([&] {
    if (connection && connection->State() == data::adStateOpen) connection->Close();
  });
}

// A new connection on the logger's connection string. Stored before it opens, so that the caller's
// error path sees it.
void OpenConnection(const std::string& connectingString,
                    std::shared_ptr<data::Connection>& connection) {
  connection = std::make_shared<data::Connection>();
  connection->ConnectionString = connectingString;
  connection->Open("", "", "", -1);
}

// A parameter without a value of the record: Null where the column takes it, else the type's
// placeholder.
void FillMissing(data::Parameter& parameter) {
  parameter.Value = (parameter.Attributes & data::adParamNullable)
                        ? Variant::Null()
                        : MComponent::DefaultValueForType(parameter.Type);
}

}  // namespace

void CLogXaction::pConnect(const std::string& strConnectingString, const std::string& strTableName,
                           int16_t& SourceCount) {
  (void)SourceCount;
  try {
    mstrConnectingString = strConnectingString;
    madocmdInsertXaction = std::make_shared<data::Command>();
    data::internal::RequireSqlName(strTableName, "strTableName");
    std::shared_ptr<data::Fields> fields = pGetFields(strTableName, data::adLockReadOnly);
    if (!fields) return;
    BuildInsert(strTableName, *fields);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "pConnect");
  }
}

void CLogXaction::BuildInsert(const std::string& tableName, const data::Fields& fields) {
  madocmdInsertXaction->CommandType = data::adCmdText;
  // The columns are named as the database spells them, quoted in its dialect: a column named
  // with a blank, a keyword or capitals is one name, and a planted name stays a name.
  std::shared_ptr<data::Connection> connection;
  std::string columns;
  std::string markers;
  try {
    OpenConnection(mstrConnectingString, connection);
    for (int32_t i = 0; i < fields.Count(); ++i) {
      columns += data::internal::QuotedIdentifier(*connection, fields[i]->Name()) + ",";
      markers += "?,";
    }
    connection->Close();
  } catch (...) {
    AutomationError pending = foundation::PendingError();
    CloseIfOpen(connection);
    throw pending;
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

std::shared_ptr<data::Fields> CLogXaction::pGetFields(const std::string& tableName,
                                                      int32_t lockType) {
  return prsGetUsingCommand("SELECT TOP 1 * FROM " + tableName, lockType)->Fields();
}

std::shared_ptr<data::Recordset> CLogXaction::prsGetUsingCommand(const std::string& queryText,
                                                                 int32_t lockType) {
  std::shared_ptr<data::Connection> connection;
  try {
    OpenConnection(mstrConnectingString, connection);
    auto command = std::make_shared<data::Command>();
    command->ActiveConnection = connection;
    command->CommandType = data::adCmdText;
    command->CommandText = queryText;
    auto records = std::make_shared<data::Recordset>();
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
    connection->Close();
    return records;
  } catch (...) {
    AutomationError pending = foundation::PendingError();
    CloseIfOpen(connection);
    foundation::RaiseAgain(pending, kClassName, "prsGetUsingCommand");
  }
}

void CLogXaction::pLogToDB(SafeArray& Data) {
  try {
    if (MUtility::ElementCount(Data) == 0) {
      // An empty record inserts the values that the parameters kept from the last insert.
      Execute();
      return;
    }
    if (!madocmdInsertXaction)
      Raise(errObjectNotSet, kClassName, "No database destination: call pConnect first");
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

void CLogXaction::Execute() {
  std::shared_ptr<data::Connection> connection;
  bool transactionBegun = false;
  try {
    OpenConnection(mstrConnectingString, connection);
    if (!madocmdInsertXaction)
      Raise(errObjectNotSet, kClassName, "No database destination: call pConnect first");
    madocmdInsertXaction->ActiveConnection = connection;
    connection->BeginTrans();
    transactionBegun = true;
    madocmdInsertXaction->Execute(nullptr, Variant::Missing(), -1);
    madocmdInsertXaction->ActiveConnection = nullptr;
    connection->CommitTrans();
    transactionBegun = false;
    connection->Close();
  } catch (...) {
    AutomationError pending = foundation::PendingError();
    // One transaction per insert: a row is committed whole or not written at all.
    if (transactionBegun) Ignoring([&] { connection->RollbackTrans(); });
    CloseIfOpen(connection);
    Ignoring([&] {
      if (madocmdInsertXaction) madocmdInsertXaction->ActiveConnection = nullptr;
    });
    foundation::RaiseAgain(pending, kClassName, "Execute");
  }
}

}  // namespace orvex
