// Data access: connections, commands, parameters, record sets and fields shaped like the
// platform's data-access component, with its enumeration numbers, over pluggable providers
// (SQLite embedded by default) chosen by the connection string.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "orvex/export.h"
#include "orvex/variant.hpp"

ORVEX_PUBLIC_BEGIN

namespace orvex::data {

// ---- Enumerations (the numbers of the data-access component) -------------------------------

enum DataTypeEnum : int32_t {
  adEmpty = 0,
  adSmallInt = 2,
  adInteger = 3,
  adSingle = 4,
  adDouble = 5,
  adCurrency = 6,
  adDate = 7,
  adBSTR = 8,
  adBoolean = 11,
  adVariant = 12,
  adDecimal = 14,
  adTinyInt = 16,
  adUnsignedTinyInt = 17,
  adBigInt = 20,
  adGUID = 72,
  adBinary = 128,
  adChar = 129,
  adWChar = 130,
  adNumeric = 131,
  adDBDate = 133,
  adDBTime = 134,
  adDBTimeStamp = 135,
  adVarChar = 200,
  adLongVarChar = 201,
  adVarWChar = 202,
  adLongVarWChar = 203,
  adVarBinary = 204,
  adLongVarBinary = 205,
};

enum ObjectStateEnum : int32_t { adStateClosed = 0, adStateOpen = 1 };
enum CursorLocationEnum : int32_t { adUseServer = 2, adUseClient = 3 };
enum CursorTypeEnum : int32_t {
  adOpenUnspecified = -1,
  adOpenForwardOnly = 0,
  adOpenKeyset = 1,
  adOpenDynamic = 2,
  adOpenStatic = 3,
};
enum LockTypeEnum : int32_t {
  adLockUnspecified = -1,
  adLockReadOnly = 1,
  adLockPessimistic = 2,
  adLockOptimistic = 3,
  adLockBatchOptimistic = 4,
};
enum CommandTypeEnum : int32_t {
  adCmdUnspecified = -1,
  adCmdText = 1,
  adCmdTable = 2,
  adCmdStoredProc = 4,
  adCmdUnknown = 8,
  adCmdFile = 256,
};
enum ParameterDirectionEnum : int32_t {
  adParamUnknown = 0,
  adParamInput = 1,
  adParamOutput = 2,
  adParamInputOutput = 3,
  adParamReturnValue = 4,
};
enum ParameterAttributesEnum : int32_t {
  adParamSigned = 16,
  adParamNullable = 64,
  adParamLong = 128,
};
enum FieldAttributeEnum : int32_t {
  adFldFixed = 16,
  adFldIsNullable = 32,
  adFldLong = 128,
  adFldKeyColumn = 0x8000,
};
enum SearchDirectionEnum : int32_t { adSearchBackward = -1, adSearchForward = 1 };
enum BookmarkEnum : int32_t { adBookmarkCurrent = 0, adBookmarkFirst = 1, adBookmarkLast = 2 };
enum PositionEnum : int32_t { adPosUnknown = -1, adPosBOF = -2, adPosEOF = -3 };
enum EditModeEnum : int32_t { adEditNone = 0, adEditInProgress = 1, adEditAdd = 2 };
enum PersistFormatEnum : int32_t { adPersistADTG = 0 };

// ---- Error numbers -------------------------------------------------------------------------
// Errors of the data-access objects themselves (source "ORVEX.Data.<Class>").
inline constexpr int32_t adErrInvalidArgument = static_cast<int32_t>(0x800A0BB9u);      // 3001
inline constexpr int32_t adErrOpeningFile = static_cast<int32_t>(0x800A0BBAu);          // 3002
inline constexpr int32_t adErrNoCurrentRecord = static_cast<int32_t>(0x800A0BCDu);      // 3021
inline constexpr int32_t adErrIllegalOperation = static_cast<int32_t>(0x800A0C93u);     // 3219
inline constexpr int32_t adErrFeatureNotAvailable = static_cast<int32_t>(0x800A0CB3u);  // 3251
inline constexpr int32_t adErrItemNotFound = static_cast<int32_t>(0x800A0CC1u);         // 3265
inline constexpr int32_t adErrDataConversion = static_cast<int32_t>(0x800A0D5Du);       // 3421
inline constexpr int32_t adErrObjectClosed = static_cast<int32_t>(0x800A0E78u);         // 3704
inline constexpr int32_t adErrObjectOpen = static_cast<int32_t>(0x800A0E79u);           // 3705
inline constexpr int32_t adErrProviderNotFound = static_cast<int32_t>(0x800A0E7Au);     // 3706
inline constexpr int32_t adErrInvalidConnection = static_cast<int32_t>(0x800A0E7Du);    // 3709
inline constexpr int32_t adErrCorruptFile =
    static_cast<int32_t>(0x800A0BBBu);                                         // saved file damaged
inline constexpr int32_t adErrWriteFault = static_cast<int32_t>(0x80030103u);  // saving failed
// Provider errors (source: the provider's name, description: the provider's message).
inline constexpr int32_t E_FAIL = static_cast<int32_t>(0x80004005u);  // unspecified, read-only
inline constexpr int32_t DB_E_ERRORSINCOMMAND = static_cast<int32_t>(0x80040E14u);
inline constexpr int32_t DB_E_CANTCONVERTVALUE = static_cast<int32_t>(0x80040E07u);
inline constexpr int32_t DB_E_INTEGRITYVIOLATION = static_cast<int32_t>(0x80040E2Fu);
inline constexpr int32_t DB_E_ABORTLIMITREACHED = static_cast<int32_t>(0x80040E31u);  // busy
inline constexpr int32_t DB_E_NOTABLE = static_cast<int32_t>(0x80040E37u);
inline constexpr int32_t DB_E_ROWNOTFOUND =
    static_cast<int32_t>(0x80040E38u);  // row to update gone
inline constexpr int32_t XACT_E_NOTRANSACTION = static_cast<int32_t>(0x8004D00Eu);

// The library's own types behind the public classes: declared outside the exported surface.
ORVEX_PUBLIC_END
namespace internal {
struct ConnectionAccess;
struct RecordsetState;
struct RecordsetAccess;
}  // namespace internal
ORVEX_PUBLIC_BEGIN

class Recordset;

// ---- Connection ------------------------------------------------------------------------------

// One entry of a connection's property collection.
struct Property {
  std::string Name;
  Variant Value;
};

class PropertyCollection : public Object {
 public:
  explicit PropertyCollection(std::vector<Property> items) : items_(std::move(items)) {}
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // 0-based; adErrItemNotFound outside the collection.
  const Property& Item(int32_t index) const;
  // Case-insensitive; adErrItemNotFound when absent.
  const Property& Item(const std::string& name) const;

 private:
  std::vector<Property> items_;
};

class Connection : public Object, public std::enable_shared_from_this<Connection> {
 public:
  Connection();
  ~Connection() override;  // closes without raising
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // key=value pairs separated by ";" (keys case-insensitive, values may be quoted):
  // "Provider=SQLite;Data Source=/path/app.db" (only Data Source also means SQLite).
  std::string ConnectionString;

  // Opens a session from the provider's pool. A non-empty connStr replaces ConnectionString.
  // adErrObjectOpen when already open; provider errors as AutomationError.
  void Open(const std::string& connStr = "", const std::string& user = "",
            const std::string& password = "", int32_t options = -1);
  // Returns the session to the pool (rolling back an open transaction). Closing a closed
  // connection raises adErrObjectClosed.
  void Close();
  int32_t State() const;  // adStateOpen (1) or adStateClosed (0)

  // Transaction level 1; nested transactions are refused (adErrIllegalOperation).
  int32_t BeginTrans();
  void CommitTrans();    // XACT_E_NOTRANSACTION without BeginTrans
  void RollbackTrans();  // XACT_E_NOTRANSACTION without BeginTrans

  // Runs one statement; a row-returning statement gives an open client-side record set.
  sp<Recordset> Execute(const std::string& commandText, int32_t* recordsAffected = nullptr,
                        int32_t options = -1);

  // Provider properties; item 7 is the data source (the database file for SQLite).
  sp<PropertyCollection> Properties() const;
  Variant Property(int32_t index) const;

  // The provider's registered name ("SQLite"); "" before Open when not given in the string.
  std::string Provider() const;

  // Internal: outside a transaction the session waits in the pool between calls, so that a
  // connection kept open for a long time (a logger's) holds no server connection while idle.
  ORVEX_LIBRARY_ONLY void HoldSessionOnlyWhileRunning();

 private:
  friend struct internal::ConnectionAccess;
  struct ORVEX_LIBRARY_ONLY Impl;
  std::unique_ptr<Impl> impl_;
};

// ---- Command and parameters ------------------------------------------------------------------

// A parameter is plain data, as the command reads it at Execute.
class Parameter : public Object {
 public:
  std::string Name;
  int32_t Type = adEmpty;  // a DataTypeEnum number
  int32_t Direction = adParamInput;
  int32_t Size = 0;
  Variant Value;  // Empty at creation; Null allowed
  int32_t Attributes = adParamSigned;
  int32_t Precision = 0;
  int32_t NumericScale = 0;
};

class Parameters : public Object {
 public:
  void Append(sp<Parameter> parameter);  // adErrInvalidArgument for nullptr
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // 0-based position; adErrItemNotFound outside the collection.
  sp<Parameter> Item(int32_t index) const;
  // Case-insensitive name; adErrItemNotFound when absent.
  sp<Parameter> Item(const std::string& name) const;
  sp<Parameter> operator[](int32_t index) const { return Item(index); }
  sp<Parameter> operator[](const std::string& name) const { return Item(name); }
  sp<Parameter> operator[](const char* name) const { return Item(std::string(name)); }
  void Delete(int32_t index);

 private:
  std::vector<sp<Parameter>> items_;
};

class Command : public Object {
 public:
  Command();
  ~Command() override;

  sp<Connection> ActiveConnection;  // nullptr: detached
  int32_t CommandType = adCmdUnspecified;
  std::string CommandText;
  bool Prepared = false;  // keeps the compiled statement for the next Execute
  int32_t CommandTimeout = 30;

  sp<Parameter> CreateParameter(const std::string& name = "", int32_t type = adEmpty,
                                int32_t direction = adParamInput, int32_t size = 0,
                                const Variant& value = Variant::Missing());
  sp<data::Parameters> Parameters() const;

  // Binds parameter i to the i-th "?" and runs the text once. A row-returning statement gives
  // an open record set, any other a closed one. `parameters`, when an array, replaces the
  // parameters' values by position first. No active open connection: adErrInvalidConnection;
  // no text: adErrInvalidConnection with a description saying so.
  sp<Recordset> Execute(int32_t* recordsAffected = nullptr,
                        const Variant& parameters = Variant::Missing(), int32_t options = -1);

 private:
  struct ORVEX_LIBRARY_ONLY Impl;
  std::unique_ptr<Impl> impl_;
};

// ---- Fields ----------------------------------------------------------------------------------

// A column of a record set, reading and writing the record set's current row.
class Field : public Object {
 public:
  ORVEX_LIBRARY_ONLY Field(std::shared_ptr<internal::RecordsetState> state, int32_t column);

  const std::string& Name() const;
  // adErrNoCurrentRecord at BOF/EOF; adErrObjectClosed after Close.
  Variant Value() const;
  // Starts (or continues) an edit of the current row; adErrFeatureNotAvailable on a read-only
  // set. The change becomes visible to clones and the database at Update.
  void Value(const Variant& newValue);
  Variant OriginalValue() const;
  int32_t Type() const;
  int32_t DefinedSize() const;
  int32_t Precision() const;
  int32_t NumericScale() const;
  int32_t Attributes() const;

 private:
  std::shared_ptr<internal::RecordsetState> state_;
  int32_t column_;
};

class Fields : public Object {
 public:
  explicit Fields(std::vector<sp<Field>> items) : items_(std::move(items)) {}
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // 0-based; adErrItemNotFound outside the collection.
  const sp<Field>& Item(int32_t index) const;
  // Case-insensitive; adErrItemNotFound when absent.
  const sp<Field>& Item(const std::string& name) const;
  sp<Field> operator[](int32_t index) const { return Item(index); }
  sp<Field> operator[](const std::string& name) const { return Item(name); }
  sp<Field> operator[](const char* name) const { return Item(std::string(name)); }

 private:
  std::vector<sp<Field>> items_;
};

// ---- Recordset -------------------------------------------------------------------------------

// Rows are always held on the client side, shared between clones; each clone has its own
// cursor. A set stays usable after being detached from its connection.
class Recordset : public Object {
 public:
  Recordset();
  ~Recordset() override;
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  int32_t CursorLocation() const;
  void CursorLocation(int32_t location);
  int32_t CursorType() const;
  void CursorType(int32_t cursorType);
  // adLockReadOnly unless set; a set opened from a saved file without a lock mode is
  // batch-optimistic (editable in memory).
  int32_t LockType() const;
  void LockType(int32_t lockType);  // adErrObjectOpen once open

  // Source: SQL text, a sp<Command>, or (with no connection anywhere, or options adCmdFile) the
  // path of a saved-rows file. ActiveConnection: a connection string or a sp<Connection>;
  // omitted, the one set by SetActiveConnection (or the command's) is used. LockType -1 keeps
  // the lock mode set before.
  void Open(const Variant& Source, const Variant& ActiveConnection = Variant::Missing(),
            int32_t CursorType = -1, int32_t LockType = -1, int32_t Options = -1);
  void Close();
  int32_t State() const;

  sp<Connection> ActiveConnection() const;
  // nullptr detaches; the rows and the current row stay.
  void SetActiveConnection(sp<Connection> connection);

  bool BOF() const;
  bool EOF_() const;
  // 1-based; adPosUnknown (-1) for an empty set, adPosBOF / adPosEOF outside the rows.
  int32_t AbsolutePosition() const;
  void AbsolutePosition(int32_t position);
  int32_t RecordCount() const;
  void MoveFirst();
  void MoveLast();
  void MoveNext();      // adErrNoCurrentRecord at EOF
  void MovePrevious();  // adErrNoCurrentRecord at BOF

  // Criterion "<column>='value'" or "<column>=value" (column name case-insensitive). Searches
  // from the current row (inclusive) after skipping `skip` rows, forward (1) or backward (-1);
  // start: adBookmarkFirst / adBookmarkLast / adBookmarkCurrent or Missing. A miss leaves the
  // set at EOF (forward) or BOF (backward). Other criteria raise adErrInvalidArgument.
  void Find(const std::string& criterion, int32_t skip = 0, int32_t direction = adSearchForward,
            const Variant& start = Variant::Missing());
  // The same search for the criterion column='value' given as its two parts, for callers that
  // search often: nothing is read from a text. A whole number finds what its decimal text does.
  void FindValue(const std::string& column, const Variant& value, int32_t skip = 0,
                 int32_t direction = adSearchForward, const Variant& start = Variant::Missing());
  // Searches forward from the current row and, when no row from there on holds the value, from
  // the first row: the row (or EOF) where FindValue from the current row and, after a miss,
  // FindValue from the first row would leave the set, in one search. True when found.
  bool FindValueWrapping(const std::string& column, const Variant& value);

  const sp<data::Fields>& Fields() const;

  int32_t EditMode() const;
  // Appends an empty row and makes it current; adErrFeatureNotAvailable on a read-only set.
  void AddNew();
  // Commits the edit of the current row: through to the base table when attached to an open
  // connection, in memory otherwise. Without an edit, does nothing.
  void Update();
  void CancelUpdate();

  // A second cursor over the same rows (at the first row); lockType -1 keeps this one's.
  sp<Recordset> Clone(int32_t lockType = -1) const;

  // Replaces the file atomically with the columns and rows in the library's saved-rows format.
  void Save(const std::string& fileName, int32_t persistFormat = adPersistADTG);

 private:
  friend struct internal::RecordsetAccess;
  struct ORVEX_LIBRARY_ONLY Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace orvex::data

ORVEX_PUBLIC_END
