#include "platform/data/record_spool.hpp"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>

#include "orvex/data.hpp"
#include "platform/data/connection_access.hpp"
#include "platform/data/spool_file.hpp"
#include "platform/data/native_values.hpp"

namespace orvex::data::internal {

namespace {

constexpr const char* kSuffix = ".spool";

struct SpooledRecord {
  std::string sql;
  std::vector<SpooledValue> values;
};

uint64_t Fnv1a(const std::string& text) {
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

void AppendPiece(std::string& out, char tag, int32_t number, const std::string& bytes) {
  out += tag;
  out += ' ' + std::to_string(number) + ' ' + std::to_string(bytes.size()) + '\n';
  out += bytes;
  out += '\n';
}

std::string Encode(const std::string& sql, const std::vector<SpooledValue>& values) {
  std::string out;
  AppendPiece(out, 'R', static_cast<int32_t>(values.size()), sql);
  for (const SpooledValue& v : values) {
    std::string bytes;
    char tag = 'N';
    switch (v.value.kind) {
      case NativeValue::Kind::Null:
        break;
      case NativeValue::Kind::Integer:
        tag = 'I';
        bytes = std::to_string(v.value.integer);
        break;
      case NativeValue::Kind::Real: {
        tag = 'D';
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%a", v.value.real);  // exact
        bytes = buffer;
        break;
      }
      case NativeValue::Kind::Text:
        tag = 'T';
        bytes = v.value.text;
        break;
      case NativeValue::Kind::Blob:
        tag = 'B';
        bytes = v.value.text;
        break;
    }
    AppendPiece(out, tag, v.adoType, bytes);
  }
  out += "E\n";
  return out;
}

// Reads one "<tag> <number> <length>\n<bytes>\n" piece at `at`; false when the content ends
// inside it (the tail of a write that a crash cut short).
bool ReadPiece(const std::string& content, size_t& at, char& tag, int32_t& number,
               std::string& bytes) {
  size_t end = content.find('\n', at);
  if (end == std::string::npos || end - at < 5) return false;
  tag = content[at];
  char* next = nullptr;
  long long parsedNumber = std::strtoll(content.c_str() + at + 2, &next, 10);
  unsigned long long length = std::strtoull(next, nullptr, 10);
  size_t start = end + 1;
  if (length > content.size() || start + length + 1 > content.size() ||
      content[start + length] != '\n')
    return false;
  number = static_cast<int32_t>(parsedNumber);
  bytes.assign(content, start, length);
  at = start + length + 1;
  return true;
}

std::vector<SpooledRecord> Decode(const std::string& content) {
  std::vector<SpooledRecord> records;
  size_t at = 0;
  while (at < content.size()) {
    SpooledRecord record;
    char tag = 0;
    int32_t count = 0;
    if (!ReadPiece(content, at, tag, count, record.sql) || tag != 'R') break;
    bool whole = true;
    for (int32_t i = 0; i < count && whole; ++i) {
      SpooledValue v;
      std::string bytes;
      whole = ReadPiece(content, at, tag, v.adoType, bytes);
      switch (tag) {
        case 'I':
          v.value = NativeValue::Integer(std::strtoll(bytes.c_str(), nullptr, 10));
          break;
        case 'D':
          v.value = NativeValue::Real(std::strtod(bytes.c_str(), nullptr));
          break;
        case 'T':
          v.value = NativeValue::Text(std::move(bytes));
          break;
        case 'B':
          v.value = NativeValue::Blob(std::move(bytes));
          break;
        default:
          break;
      }
      record.values.push_back(std::move(v));
    }
    if (!whole || content.compare(at, 2, "E\n") != 0) break;
    at += 2;
    records.push_back(std::move(record));
  }
  return records;
}

// The process id in "<prefix><pid>.spool".
pid_t WriterOf(const std::string& name, const std::string& prefix) {
  return static_cast<pid_t>(std::strtol(name.c_str() + prefix.size(), nullptr, 10));
}

bool ProcessHasEnded(pid_t pid) { return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH; }

// Spools already searched for files of ended processes in this process.
bool FirstLookFor(const std::string& key) {
  static std::mutex mutex;
  static std::set<std::string> seen;
  std::lock_guard lock(mutex);
  return seen.insert(key).second;
}

}  // namespace

RecordSpool::RecordSpool(std::string folder, std::string prefix)
    : folder_(std::move(folder)), prefix_(std::move(prefix)) {}

std::optional<RecordSpool> RecordSpool::For(const ConnectionString& settings) {
  std::string folder = settings.GetOr("spool folder", "");
  if (folder.empty()) return std::nullopt;
  if (folder.back() != '/') folder += '/';
  char hash[32];
  std::snprintf(hash, sizeof hash, "%016llx",
                static_cast<unsigned long long>(Fnv1a(settings.Normalized())));
  return RecordSpool(folder, std::string("orvex-") + hash + "-");
}

std::string RecordSpool::OwnFile() const {
  return folder_ + prefix_ + std::to_string(::getpid()) + kSuffix;
}

void RecordSpool::Append(const std::string& sql, const std::vector<SpooledValue>& values) const {
  SpoolFile file(OwnFile(), true);
  file.AppendThrough(Encode(sql, values));
}

bool RecordSpool::HasPending() const {
  struct stat info {};
  if (::stat(OwnFile().c_str(), &info) == 0 && info.st_size > 0) return true;
  if (!FirstLookFor(folder_ + prefix_)) return false;
  for (const std::string& name : SpoolFilesIn(folder_, prefix_, kSuffix))
    if (ProcessHasEnded(WriterOf(name, prefix_))) return true;
  return false;
}

void RecordSpool::Replay(Session& session) const {
  std::vector<std::string> paths = {OwnFile()};
  for (const std::string& name : SpoolFilesIn(folder_, prefix_, kSuffix))
    if (ProcessHasEnded(WriterOf(name, prefix_))) paths.push_back(folder_ + name);
  for (const std::string& path : paths) {
    SpoolFile file(path, false);
    if (!file.IsOpen()) continue;
    std::vector<SpooledRecord> records = Decode(file.ReadAll());
    if (records.empty()) {
      file.Remove();
      continue;
    }
    session.Begin();
    try {
      for (const SpooledRecord& record : records) {
        std::unique_ptr<Statement> statement = session.Prepare(record.sql);
        for (size_t i = 0; i < record.values.size(); ++i)
          statement->Bind(static_cast<int32_t>(i), record.values[i].value,
                          record.values[i].adoType);
        statement->Execute();
      }
      session.Commit();
    } catch (...) {
      if (session.IsLost()) throw;
      try {
        if (session.InTransaction()) session.Rollback();
      } catch (...) {
        throw;  // a session that cannot roll back leaves the file for the next try
      }
      file.MoveTo(path + ".rejected");
      continue;
    }
    file.Remove();
  }
}

void SpoolRecord(const RecordSpool& spool, const Command& command, AutomationError failure) {
  try {
    const Parameters& parameters = *command.Parameters();
    std::vector<SpooledValue> values;
    for (int32_t i = 0; i < parameters.Count(); ++i) {
      const Parameter& parameter = *parameters.Item(i);
      values.push_back({ToNative(parameter.Value, parameter.Type), parameter.Type});
    }
    spool.Append(command.CommandText, values);
    failure.Description += " (the record is kept in the spool folder)";
  } catch (const AutomationError& spoolFailure) {
    failure.Description += " (the record is lost: " + spoolFailure.Description + ")";
  }
  throw failure;
}

void ReplayPending(const RecordSpool& spool, Connection& connection) {
  if (!spool.HasPending()) return;
  ConnectionAccess::RunOnSession(connection, [&](const std::shared_ptr<Session>& session) {
    if (!session->InTransaction()) spool.Replay(*session);
  });
}

}  // namespace orvex::data::internal
