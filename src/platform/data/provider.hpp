// The interface between the data-access objects and a database provider. A provider owns the
// dialect, the client library and the error mapping; the objects above see only sessions,
// statements, column descriptions and provider-neutral values. Providers register by name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/data/connection_string.hpp"

namespace orvex::data::internal {

// A database value in a provider-neutral form. Blob bytes are held in `text`.
struct NativeValue {
  enum class Kind { Null, Integer, Real, Text, Blob };
  Kind kind = Kind::Null;
  int64_t integer = 0;
  double real = 0.0;
  std::string text;

  static NativeValue Null() { return {}; }
  static NativeValue Integer(int64_t v) { return {Kind::Integer, v, 0.0, {}}; }
  static NativeValue Real(double v) { return {Kind::Real, 0, v, {}}; }
  static NativeValue Text(std::string v) { return {Kind::Text, 0, 0.0, std::move(v)}; }
  static NativeValue Blob(std::string v) { return {Kind::Blob, 0, 0.0, std::move(v)}; }
};

// A result column as the provider describes it, in the data-access type numbers.
struct ColumnInfo {
  std::string name;    // the result's name (the alias when one is given)
  int32_t type = 203;  // DataTypeEnum
  int32_t definedSize = 0;
  int32_t precision = 255;
  int32_t numericScale = 255;
  int32_t attributes = 0;  // FieldAttributeEnum bits (32 nullable, 0x8000 key ...)
  std::string baseSchema;  // the base table's schema ("main" ...); "" for a computed column
  std::string baseTable;   // "" for a computed column
  std::string baseColumn;
  bool isKey = false;  // part of the base table's primary key
};

// A compiled statement on one session. Not shared between threads.
class Statement {
 public:
  virtual ~Statement() = default;
  // Number of "?" markers.
  virtual int32_t ParameterCount() const = 0;
  // Binds the value to marker `index` (0-based). `adoType` is the parameter's declared type,
  // a hint for providers that bind typed values.
  virtual void Bind(int32_t index, const NativeValue& value, int32_t adoType) = 0;
  // Runs the statement with the values bound. Raises the provider's error.
  virtual void Execute() = 0;
  // The result columns (empty for a statement returning no rows); valid after Execute.
  virtual const std::vector<ColumnInfo>& Columns() = 0;
  // The next result row into `row` (one value per column); false when there is none.
  virtual bool NextRow(std::vector<NativeValue>& row) = 0;
  // Rows changed by the last Execute of an INSERT, UPDATE or DELETE.
  virtual int64_t RowsAffected() const = 0;
  // Ends the current run (keeping the bindings) so that Execute may run again.
  virtual void Reset() = 0;
};

// What a connection reports of its session in its property collection.
struct SessionDescription {
  std::string dbmsName;
  std::string dbmsVersion;
  std::string currentCatalog;
  std::string userId;
  std::string dataSource;  // item 7 of the property collection
  bool readOnly = false;
};

// One live link to a database. Sessions are pooled per connection string by the data layer.
class Session {
 public:
  virtual ~Session() = default;
  // Compiles one statement in the provider's dialect. Text holding more than one statement is
  // refused with DB_E_ERRORSINCOMMAND; rejected text raises the provider's error.
  virtual std::unique_ptr<Statement> Prepare(const std::string& sql) = 0;
  virtual void Begin() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
  virtual bool InTransaction() const = 0;
  // False when the session can no longer serve (lost link, replaced database file): the pool
  // drops it instead of handing it out again.
  virtual bool IsUsable() = 0;
  // True when the link is known to be gone (the server closed it, the file was replaced),
  // found without a round trip. A lost session never serves again.
  virtual bool IsLost() = 0;
  // After a failure on a lost session: true when the database cannot have run the statement
  // (the link was gone before it was sent, or the server ended the session without reporting
  // it done), so running it again on a new session cannot store it twice.
  virtual bool LostBeforeRunning() const = 0;
  virtual SessionDescription Describe() const = 0;
  // Called on an idle session before the process forks: closes it for good and returns true
  // when the child would otherwise share the session's state with the sessions it opens itself.
  virtual bool CloseBeforeFork() { return false; }
};

class Provider {
 public:
  virtual ~Provider() = default;
  // The registered name ("SQLite"); compared case-insensitively.
  virtual std::string Name() const = 0;
  // Opens a new session. Raises the provider's error when the database cannot be reached.
  virtual std::shared_ptr<Session> Connect(const ConnectionString& settings) = 0;
};

// A provider whose sessions are all of one class, made from the connection string's settings.
template <class SessionType>
class SessionProvider : public Provider {
 public:
  explicit SessionProvider(std::string name) : name_(std::move(name)) {}
  std::string Name() const override { return name_; }
  std::shared_ptr<Session> Connect(const ConnectionString& settings) override {
    return std::make_shared<SessionType>(settings);
  }

 private:
  std::string name_;
};

// Registers a provider under its name, replacing one of the same name.
void RegisterProvider(std::shared_ptr<Provider> provider);
// The provider of that name; adErrProviderNotFound when none is registered.
std::shared_ptr<Provider> FindProvider(const std::string& name);

// Built-in providers, registered on the first lookup.
std::shared_ptr<Provider> MakeSqliteProvider();

}  // namespace orvex::data::internal
