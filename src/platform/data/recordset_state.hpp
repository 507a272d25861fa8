// The state of one record set (one cursor over rows that clones share), and the internal entry
// points through which commands and connections hand results to record sets.
#pragma once

#include <map>
#include <memory>

#include "orvex/data.hpp"
#include "platform/data/row_store.hpp"

namespace orvex::data::internal {

struct RecordsetState {
  enum class Place { BeforeFirst, OnRow, AfterLast };

  bool open = false;
  std::shared_ptr<RowStore> store;
  int32_t cursorLocation = adUseServer;
  int32_t cursorType = adOpenForwardOnly;
  int32_t lockType = adLockReadOnly;
  bool lockTypeSet = false;
  sp<Connection> connection;

  Place place = Place::BeforeFirst;
  int64_t row = 0;  // valid when place is Row

  int32_t editMode = adEditNone;
  std::map<int32_t, Variant> pending;  // column -> edited value, until Update

  // Inline: every read of a field passes these checks.
  void RequireOpen() const {
    if (!open) RaiseClosed();
  }
  void RequireCurrentRow() const {
    RequireOpen();
    if (place != Place::OnRow || row >= store->RowCount()) RaiseNoCurrentRow();
  }
  bool HasColumn(int32_t column) const {
    return column >= 0 && static_cast<size_t>(column) < store->Columns().size();
  }
  void RequireColumn(int32_t column) const {
    if (!HasColumn(column)) RaiseNoColumn(column);
  }
  bool Empty() const { return store->RowCount() == 0; }
  // The current row's value in the column: its edit when one waits for Update.
  const Variant& CurrentValue(int32_t column) const {
    RequireCurrentRow();
    if (!pending.empty()) {
      auto edited = pending.find(column);
      if (edited != pending.end()) return edited->second;
    }
    return store->Value(row, column);
  }
  // Where a search leaves the set: on the row found, or past the end when it found none (-1).
  bool LandSearch(int64_t found) {
    if (found < 0) {
      place = Place::AfterLast;
      return false;
    }
    MoveTo(found);
    return true;
  }
  // A row position, or past either end.
  void MoveTo(int64_t position) {
    if (position < 0) {
      place = Place::BeforeFirst;
    } else if (position >= store->RowCount()) {
      place = Place::AfterLast;
    } else {
      place = Place::OnRow;
      row = position;
    }
  }

 private:
  [[noreturn]] static void RaiseClosed();
  [[noreturn]] static void RaiseNoCurrentRow();
  [[noreturn]] static void RaiseNoColumn(int32_t column);
};

struct RecordsetAccess {
  // Makes `recordset` an open set over the rows, attached to the connection (may be null).
  static void Adopt(Recordset& recordset, std::shared_ptr<RowStore> store,
                    sp<Connection> connection);
};

// Runs a compiled statement and reads every row; nullptr when it returns no rows.
std::shared_ptr<RowStore> RunStatement(Statement& statement, int32_t* recordsAffected);

// Writes the edited or added row through to its base table (the columns' base table and
// column); raises when the columns lack that information or the row is gone.
void WriteRowThrough(Session& session, const RowStore& store, int64_t position,
                     const std::map<int32_t, Variant>& pending, bool isNew);

// The saved-rows file format.
std::string EncodeSavedRows(const RowStore& store);
std::shared_ptr<RowStore> DecodeSavedRows(const std::string& bytes, const std::string& fileName);

}  // namespace orvex::data::internal

namespace orvex::data {

struct Recordset::Impl {
  std::shared_ptr<internal::RecordsetState> state = std::make_shared<internal::RecordsetState>();
  sp<data::Fields> fields = std::make_shared<data::Fields>(std::vector<sp<Field>>{});

  // One field for each column of the rows the set was given last.
  void RefreshFields();
};

}  // namespace orvex::data
