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
  RecordsetState& state = *recordset.impl_->state;
  state.store = std::move(store);
  state.connection = std::move(connection);
  state.cursorLocation = adUseClient;
  state.cursorType = adOpenStatic;
  state.open = true;
  state.editMode = adEditNone;
  state.pending.clear();
  state.MoveTo(0);
  recordset.impl_->RefreshFields();
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

Recordset::Recordset() : impl_(std::make_unique<Impl>()) {}

Recordset::~Recordset() = default;

void Recordset::Impl::RefreshFields() {
  std::vector<sp<Field>> items;
  int32_t count = static_cast<int32_t>(state->store->Columns().size());
  for (int32_t i = 0; i < count; ++i) items.push_back(std::make_shared<Field>(state, i));
  fields = std::make_shared<data::Fields>(std::move(items));
}

int32_t Recordset::CursorLocation() const { return impl_->state->cursorLocation; }
void Recordset::CursorLocation(int32_t location) {
  if (location != adUseServer && location != adUseClient)
    RaiseDataError(adErrInvalidArgument, "Recordset");
  impl_->state->cursorLocation = location;
}
int32_t Recordset::CursorType() const { return impl_->state->cursorType; }
void Recordset::CursorType(int32_t cursorType) {
  if (impl_->state->open) RaiseDataError(adErrObjectOpen, "Recordset");
  impl_->state->cursorType = cursorType;
}
int32_t Recordset::LockType() const { return impl_->state->lockType; }
void Recordset::LockType(int32_t lockType) {
  if (impl_->state->open) RaiseDataError(adErrObjectOpen, "Recordset");
  if (lockType < adLockReadOnly || lockType > adLockBatchOptimistic)
    RaiseDataError(adErrInvalidArgument, "Recordset",
                   "Lock type " + std::to_string(lockType) + " is not one of 1 to 4");
  impl_->state->lockType = lockType;
  impl_->state->lockTypeSet = true;
}

void Recordset::Open(const Variant& Source, const Variant& ActiveConnection, int32_t CursorType,
                     int32_t LockType, int32_t Options) {
  if (impl_->state->open) RaiseDataError(adErrObjectOpen, "Recordset");
  if (LockType != adLockUnspecified) this->LockType(LockType);
  if (CursorType != adOpenUnspecified) impl_->state->cursorType = CursorType;
  sp<Connection> connection = ResolveConnection(ActiveConnection, impl_->state->connection);
  if (Source.IsObject()) {
    auto command = Source.AsObjectOf<Command>();
    if (!command) RaiseDataError(adErrInvalidArgument, "Recordset", "Source is not a Command");
    if (!command->ActiveConnection) command->ActiveConnection = connection;
    auto result = command->Execute();
    if (result->State() != adStateOpen) return;  // the statement returned no rows
    internal::RecordsetAccess::Adopt(*this, result->impl_->state->store, command->ActiveConnection);
    return;
  }
  if (Source.VarType() != vbString || Source.Str().empty())
    RaiseDataError(adErrInvalidArgument, "Recordset",
                   "Source must be SQL text, a Command or the path of a saved-rows file");
  if (Options == adCmdFile || !connection) {
    auto store = internal::DecodeSavedRows(internal::ReadWholeFile(Source.Str()), Source.Str());
    internal::RecordsetAccess::Adopt(*this, std::move(store), nullptr);
    // Rows from a file are edited in memory unless a lock mode says otherwise.
    if (!impl_->state->lockTypeSet) impl_->state->lockType = adLockBatchOptimistic;
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
  impl_->state->RequireOpen();
  impl_->state->open = false;
  impl_->state->pending.clear();
  impl_->state->editMode = adEditNone;
  impl_->state->connection.reset();
}

int32_t Recordset::State() const { return impl_->state->open ? adStateOpen : adStateClosed; }

sp<Connection> Recordset::ActiveConnection() const { return impl_->state->connection; }

void Recordset::SetActiveConnection(sp<Connection> connection) {
  impl_->state->connection = std::move(connection);
}

bool Recordset::BOF() const {
  impl_->state->RequireOpen();
  return impl_->state->place == Place::BeforeFirst || impl_->state->Empty();
}

bool Recordset::EOF_() const {
  impl_->state->RequireOpen();
  return impl_->state->place == Place::AfterLast || impl_->state->Empty();
}

int32_t Recordset::AbsolutePosition() const {
  impl_->state->RequireOpen();
  if (impl_->state->Empty()) return adPosUnknown;
  if (impl_->state->place == Place::BeforeFirst) return adPosBOF;
  if (impl_->state->place == Place::AfterLast) return adPosEOF;
  return static_cast<int32_t>(impl_->state->row + 1);
}

void Recordset::AbsolutePosition(int32_t position) {
  impl_->state->RequireOpen();
  if (position < 1 || position > impl_->state->store->RowCount())
    RaiseDataError(adErrInvalidArgument, "Recordset",
                   "Position " + std::to_string(position) + " is outside the rows");
  if (impl_->state->editMode != adEditNone) Update();
  impl_->state->MoveTo(position - 1);
}

int32_t Recordset::RecordCount() const {
  impl_->state->RequireOpen();
  return static_cast<int32_t>(impl_->state->store->RowCount());
}

void Recordset::MoveFirst() {
  impl_->state->RequireOpen();
  if (impl_->state->editMode != adEditNone) Update();
  impl_->state->MoveTo(impl_->state->Empty() ? -1 : 0);
}

void Recordset::MoveLast() {
  impl_->state->RequireOpen();
  if (impl_->state->editMode != adEditNone) Update();
  impl_->state->MoveTo(impl_->state->Empty() ? -1 : impl_->state->store->RowCount() - 1);
}

void Recordset::MoveNext() {
  impl_->state->RequireOpen();
  if (EOF_()) RaiseDataError(adErrNoCurrentRecord, "Recordset");
  if (impl_->state->editMode != adEditNone) Update();
  impl_->state->MoveTo(impl_->state->place == Place::BeforeFirst ? 0 : impl_->state->row + 1);
}

void Recordset::MovePrevious() {
  impl_->state->RequireOpen();
  if (BOF()) RaiseDataError(adErrNoCurrentRecord, "Recordset");
  if (impl_->state->editMode != adEditNone) Update();
  impl_->state->MoveTo(impl_->state->place == Place::AfterLast ? impl_->state->store->RowCount() - 1
                                                               : impl_->state->row - 1);
}

const sp<data::Fields>& Recordset::Fields() const { return impl_->fields; }

int32_t Recordset::EditMode() const { return impl_->state->editMode; }

void Recordset::AddNew() {
  impl_->state->RequireOpen();
  if (impl_->state->lockType == adLockReadOnly)
    RaiseDataError(adErrFeatureNotAvailable, "Recordset");
  if (impl_->state->editMode != adEditNone) Update();
  int64_t position = impl_->state->store->AppendNew();
  impl_->state->MoveTo(position);
  impl_->state->editMode = adEditAdd;
}

void Recordset::Update() {
  impl_->state->RequireOpen();
  if (impl_->state->editMode == adEditNone) return;
  impl_->state->RequireCurrentRow();
  bool isNew = impl_->state->editMode == adEditAdd;
  const sp<Connection>& connection = impl_->state->connection;
  if (connection && connection->State() == adStateOpen)
    internal::ConnectionAccess::RunOnSession(
        *connection, [&](const std::shared_ptr<internal::Session>& session) {
          internal::WriteRowThrough(*session, *impl_->state->store, impl_->state->row,
                                    impl_->state->pending, isNew);
        });
  for (const auto& [column, value] : impl_->state->pending)
    impl_->state->store->SetValue(impl_->state->row, column, value);
  impl_->state->pending.clear();
  impl_->state->editMode = adEditNone;
}

void Recordset::CancelUpdate() {
  impl_->state->RequireOpen();
  if (impl_->state->editMode == adEditAdd && impl_->state->place == Place::OnRow &&
      impl_->state->row == impl_->state->store->RowCount() - 1) {
    impl_->state->store->RemoveLast();
    impl_->state->MoveTo(impl_->state->store->RowCount() - 1);
  }
  impl_->state->pending.clear();
  impl_->state->editMode = adEditNone;
}

sp<Recordset> Recordset::Clone(int32_t lockType) const {
  impl_->state->RequireOpen();
  auto clone = std::make_shared<Recordset>();
  RecordsetState& copy = *clone->impl_->state;
  copy.cursorLocation = impl_->state->cursorLocation;
  copy.cursorType = impl_->state->cursorType;
  copy.lockType = lockType == adLockUnspecified ? impl_->state->lockType : lockType;
  copy.lockTypeSet = true;
  internal::RecordsetAccess::Adopt(*clone, impl_->state->store, impl_->state->connection);
  return clone;
}

void Recordset::Save(const std::string& fileName, int32_t persistFormat) {
  impl_->state->RequireOpen();
  if (persistFormat != adPersistADTG)
    RaiseDataError(
        adErrInvalidArgument, "Recordset",
        "Only the binary saved-rows format (0) is supported, not " + std::to_string(persistFormat));
  internal::WriteFileAtomically(fileName, internal::EncodeSavedRows(*impl_->state->store));
}

}  // namespace orvex::data
