#include "orvex/automation_error.hpp"
#include "orvex/data.hpp"
#include "platform/data/connection_access.hpp"
#include "platform/data/errors.hpp"
#include "platform/data/recordset_state.hpp"
#include "platform/data/saved_rows_file.hpp"

namespace orvex::data {

using internal::RaiseDataError;
using internal::RecordsetState;
using Place = RecordsetState::Place;

namespace internal {

void RecordsetState::RaiseClosed() { RaiseDataError(adErrObjectClosed, "Recordset"); }

void RecordsetState::RaiseNoCurrentRow() { RaiseDataError(adErrNoCurrentRecord, "Recordset"); }

void RecordsetState::RaiseNoColumn(int32_t column) {
  RaiseDataError(adErrItemNotFound, "Recordset",
                 "The record set has no column at position " + std::to_string(column));
}

void RecordsetAccess::Adopt(Recordset& recordset, std::shared_ptr<RowStore> store,
                            sp<Connection> connection) {
  RecordsetState& state = *recordset.state_;
  state.store = std::move(store);
  state.connection = std::move(connection);
  state.cursorLocation = adUseClient;
  state.cursorType = adOpenStatic;
  state.open = true;
  state.editMode = adEditNone;
  state.pending.clear();
  state.MoveTo(0);
  recordset.RefreshFields();
}

}  // namespace internal

namespace {

sp<Connection> ResolveConnection(const Variant& given, const sp<Connection>& current) {
  if (given.IsMissing() || given.IsEmpty() || given.IsNull()) return current;
  if (given.VarType() == vbString) {
    auto connection = std::make_shared<Connection>();
    connection->Open(given.Str());
    return connection;
  }
  if (given.IsObject()) {
    auto connection = given.AsObjectOf<Connection>();
    if (connection || !given.AsObjectRef()) return connection;
  }
  RaiseDataError(adErrInvalidArgument, "Recordset",
                 "ActiveConnection must be a connection string or a Connection object");
}

}  // namespace

Recordset::Recordset()
    : state_(std::make_shared<RecordsetState>()),
      fields_(std::make_shared<data::Fields>(std::vector<sp<Field>>{})) {}

Recordset::~Recordset() = default;

void Recordset::RefreshFields() {
  std::vector<sp<Field>> items;
  int32_t count = static_cast<int32_t>(state_->store->Columns().size());
  for (int32_t i = 0; i < count; ++i) items.push_back(std::make_shared<Field>(state_, i));
  fields_ = std::make_shared<data::Fields>(std::move(items));
}

int32_t Recordset::CursorLocation() const { return state_->cursorLocation; }
void Recordset::CursorLocation(int32_t location) {
  if (location != adUseServer && location != adUseClient)
    RaiseDataError(adErrInvalidArgument, "Recordset");
  state_->cursorLocation = location;
}
int32_t Recordset::CursorType() const { return state_->cursorType; }
void Recordset::CursorType(int32_t cursorType) {
  if (state_->open) RaiseDataError(adErrObjectOpen, "Recordset");
  state_->cursorType = cursorType;
}
int32_t Recordset::LockType() const { return state_->lockType; }
void Recordset::LockType(int32_t lockType) {
  if (state_->open) RaiseDataError(adErrObjectOpen, "Recordset");
  if (lockType < adLockReadOnly || lockType > adLockBatchOptimistic)
    RaiseDataError(adErrInvalidArgument, "Recordset",
                   "Lock type " + std::to_string(lockType) + " is not one of 1 to 4");
  state_->lockType = lockType;
  state_->lockTypeSet = true;
}

void Recordset::Open(const Variant& Source, const Variant& ActiveConnection, int32_t CursorType,
                     int32_t LockType, int32_t Options) {
  if (state_->open) RaiseDataError(adErrObjectOpen, "Recordset");
  if (LockType != adLockUnspecified) this->LockType(LockType);
  if (CursorType != adOpenUnspecified) state_->cursorType = CursorType;
  sp<Connection> connection = ResolveConnection(ActiveConnection, state_->connection);
  if (Source.IsObject()) {
    auto command = Source.AsObjectOf<Command>();
    if (!command) RaiseDataError(adErrInvalidArgument, "Recordset", "Source is not a Command");
    if (!command->ActiveConnection) command->ActiveConnection = connection;
    auto result = command->Execute();
    if (result->State() != adStateOpen) return;  // the statement returned no rows
    internal::RecordsetAccess::Adopt(*this, result->state_->store, command->ActiveConnection);
    return;
  }
  if (Source.VarType() != vbString || Source.Str().empty())
    RaiseDataError(adErrInvalidArgument, "Recordset",
                   "Source must be SQL text, a Command or the path of a saved-rows file");
  if (Options == adCmdFile || !connection) {
    auto store = internal::DecodeSavedRows(internal::ReadWholeFile(Source.Str()), Source.Str());
    internal::RecordsetAccess::Adopt(*this, std::move(store), nullptr);
    // Rows from a file are edited in memory unless a lock mode says otherwise.
    if (!state_->lockTypeSet) state_->lockType = adLockBatchOptimistic;
    return;
  }
  if (connection->State() != adStateOpen) RaiseDataError(adErrInvalidConnection, "Recordset");
  std::shared_ptr<internal::RowStore> store;
  internal::ConnectionAccess::RunOnSession(*connection,
                                           [&](const std::shared_ptr<internal::Session>& session) {
                                             auto statement = session->Prepare(Source.Str());
                                             store = internal::RunStatement(*statement, nullptr);
                                           });
  if (!store) return;
  internal::RecordsetAccess::Adopt(*this, std::move(store), connection);
}

void Recordset::Close() {
  state_->RequireOpen();
  state_->open = false;
  state_->pending.clear();
  state_->editMode = adEditNone;
  state_->connection.reset();
}

int32_t Recordset::State() const { return state_->open ? adStateOpen : adStateClosed; }

sp<Connection> Recordset::ActiveConnection() const { return state_->connection; }

void Recordset::SetActiveConnection(sp<Connection> connection) {
  state_->connection = std::move(connection);
}

bool Recordset::BOF() const {
  state_->RequireOpen();
  return state_->place == Place::BeforeFirst || state_->Empty();
}

bool Recordset::EOF_() const {
  state_->RequireOpen();
  return state_->place == Place::AfterLast || state_->Empty();
}

int32_t Recordset::AbsolutePosition() const {
  state_->RequireOpen();
  if (state_->Empty()) return adPosUnknown;
  if (state_->place == Place::BeforeFirst) return adPosBOF;
  if (state_->place == Place::AfterLast) return adPosEOF;
  return static_cast<int32_t>(state_->row + 1);
}

void Recordset::AbsolutePosition(int32_t position) {
  state_->RequireOpen();
  if (position < 1 || position > state_->store->RowCount())
    RaiseDataError(adErrInvalidArgument, "Recordset",
                   "Position " + std::to_string(position) + " is outside the rows");
  if (state_->editMode != adEditNone) Update();
  state_->MoveTo(position - 1);
}

int32_t Recordset::RecordCount() const {
  state_->RequireOpen();
  return static_cast<int32_t>(state_->store->RowCount());
}

void Recordset::MoveFirst() {
  state_->RequireOpen();
  if (state_->editMode != adEditNone) Update();
  state_->MoveTo(state_->Empty() ? -1 : 0);
}

void Recordset::MoveLast() {
  state_->RequireOpen();
  if (state_->editMode != adEditNone) Update();
  state_->MoveTo(state_->Empty() ? -1 : state_->store->RowCount() - 1);
}

void Recordset::MoveNext() {
  state_->RequireOpen();
  if (EOF_()) RaiseDataError(adErrNoCurrentRecord, "Recordset");
  if (state_->editMode != adEditNone) Update();
  state_->MoveTo(state_->place == Place::BeforeFirst ? 0 : state_->row + 1);
}

void Recordset::MovePrevious() {
  state_->RequireOpen();
  if (BOF()) RaiseDataError(adErrNoCurrentRecord, "Recordset");
  if (state_->editMode != adEditNone) Update();
  state_->MoveTo(state_->place == Place::AfterLast ? state_->store->RowCount() - 1
                                                   : state_->row - 1);
}

const sp<data::Fields>& Recordset::Fields() const { return fields_; }

int32_t Recordset::EditMode() const { return state_->editMode; }

void Recordset::AddNew() {
  state_->RequireOpen();
  if (state_->lockType == adLockReadOnly) RaiseDataError(adErrFeatureNotAvailable, "Recordset");
  if (state_->editMode != adEditNone) Update();
  int64_t position = state_->store->AppendNew();
  state_->MoveTo(position);
  state_->editMode = adEditAdd;
}

void Recordset::Update() {
  state_->RequireOpen();
  if (state_->editMode == adEditNone) return;
  state_->RequireCurrentRow();
  bool isNew = state_->editMode == adEditAdd;
  const sp<Connection>& connection = state_->connection;
  if (connection && connection->State() == adStateOpen)
    internal::ConnectionAccess::RunOnSession(
        *connection, [&](const std::shared_ptr<internal::Session>& session) {
          internal::WriteRowThrough(*session, *state_->store, state_->row, state_->pending, isNew);
        });
  for (const auto& [column, value] : state_->pending)
    state_->store->SetValue(state_->row, column, value);
  state_->pending.clear();
  state_->editMode = adEditNone;
}

void Recordset::CancelUpdate() {
  state_->RequireOpen();
  if (state_->editMode == adEditAdd && state_->place == Place::OnRow &&
      state_->row == state_->store->RowCount() - 1) {
    state_->store->RemoveLast();
    state_->MoveTo(state_->store->RowCount() - 1);
  }
  state_->pending.clear();
  state_->editMode = adEditNone;
}

sp<Recordset> Recordset::Clone(int32_t lockType) const {
  state_->RequireOpen();
  auto clone = std::make_shared<Recordset>();
  RecordsetState& copy = *clone->state_;
  copy.cursorLocation = state_->cursorLocation;
  copy.cursorType = state_->cursorType;
  copy.lockType = lockType == adLockUnspecified ? state_->lockType : lockType;
  copy.lockTypeSet = true;
  internal::RecordsetAccess::Adopt(*clone, state_->store, state_->connection);
  return clone;
}

void Recordset::Save(const std::string& fileName, int32_t persistFormat) {
  state_->RequireOpen();
  if (persistFormat != adPersistADTG)
    RaiseDataError(
        adErrInvalidArgument, "Recordset",
        "Only the binary saved-rows format (0) is supported, not " + std::to_string(persistFormat));
  internal::WriteFileAtomically(fileName, internal::EncodeSavedRows(*state_->store));
}

}  // namespace orvex::data
