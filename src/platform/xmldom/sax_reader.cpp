#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

#include "orvex/automation_error.hpp"
#include "platform/scripting/file_descriptor.hpp"
#include "platform/scripting/file_io.hpp"
#include "platform/xmldom/sax.hpp"
#include "platform/xmldom/sax_session.hpp"
#include "platform/xmldom/source_url.hpp"

namespace orvex::xmldom {
namespace {

constexpr size_t kChunkSize = 256 * 1024;
constexpr const char* kProhibitDtd = "prohibit-dtd";

struct Feature {
  bool value;
  bool settable;
};

// The features the reader knows. The fixed ones state what the reader always does: it resolves
// namespaces, and never loads external entities, schemas or anything over the network.
std::map<std::string, Feature> DefaultFeatures() {
  return {
      {"http://xml.org/sax/features/namespaces", {true, false}},
      {"http://xml.org/sax/features/namespace-prefixes", {false, false}},
      {"http://xml.org/sax/features/external-general-entities", {false, false}},
      {"http://xml.org/sax/features/external-parameter-entities", {false, false}},
      {"normalize-line-breaks", {true, false}},
      {kProhibitDtd, {false, true}},
      {"exhaustive-errors", {false, false}},
      {"schema-validation", {false, false}},
      {"server-http-request", {false, false}},
      {"use-schema-location", {false, false}},
      {"use-inline-schema", {false, false}},
  };
}

}  // namespace

struct SAXXMLReader::State {
  std::shared_ptr<ContentHandler> content;
  std::shared_ptr<ErrorHandler> errors;
  std::string baseURL;
  std::string secureBaseURL;
  std::map<std::string, Feature> features = DefaultFeatures();

  SessionOptions Options(std::string systemId, bool ignoreDeclaredEncoding) const {
    return {content, errors, features.at(kProhibitDtd).value, ignoreDeclaredEncoding,
            std::move(systemId)};
  }
};

SAXXMLReader::SAXXMLReader() : state_(std::make_unique<State>()) {}
SAXXMLReader::~SAXXMLReader() = default;

std::shared_ptr<ContentHandler> SAXXMLReader::contentHandler() const { return state_->content; }
void SAXXMLReader::contentHandler(std::shared_ptr<ContentHandler> handler) {
  state_->content = std::move(handler);
}
std::shared_ptr<ErrorHandler> SAXXMLReader::errorHandler() const { return state_->errors; }
void SAXXMLReader::errorHandler(std::shared_ptr<ErrorHandler> handler) {
  state_->errors = std::move(handler);
}

bool SAXXMLReader::getFeature(const std::string& name) const {
  auto found = state_->features.find(name);
  if (found == state_->features.end()) {
    Raise(kInvalidArgument, kSaxSource, "Unknown feature '" + name + "'.");
  }
  return found->second.value;
}

void SAXXMLReader::putFeature(const std::string& name, bool value) {
  auto found = state_->features.find(name);
  if (found == state_->features.end()) {
    Raise(kInvalidArgument, kSaxSource, "Unknown feature '" + name + "'.");
  }
  if (!found->second.settable && found->second.value != value) {
    Raise(kNotImplemented, kSaxSource,
          "The feature '" + name + "' cannot be set to " + (value ? "true." : "false."));
  }
  found->second.value = value;
}

std::string SAXXMLReader::baseURL() const { return state_->baseURL; }
void SAXXMLReader::baseURL(const std::string& url) { state_->baseURL = url; }
std::string SAXXMLReader::secureBaseURL() const { return state_->secureBaseURL; }
void SAXXMLReader::secureBaseURL(const std::string& url) { state_->secureBaseURL = url; }

void SAXXMLReader::parse(const std::string& text) {
  SaxSession session(state_->Options(state_->baseURL, true));
  std::string_view rest(text);
  session.Parse([&rest](char* buffer, size_t capacity) {
    size_t count = std::min(capacity, rest.size());
    std::memcpy(buffer, rest.data(), count);
    rest.remove_prefix(count);
    return count;
  });
}

void SAXXMLReader::parseURL(const std::string& url) {
  std::string path = LocalPathOf(url, state_->baseURL);
  scripting::FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) throw scripting::ErrorFromErrno(errno, path, kSaxSource);
  SaxSession session(state_->Options(path, false));
  // The parser asks for a few kilobytes at a time; the file is read in larger pieces.
  std::string chunk(kChunkSize, '\0');
  std::string_view buffered;
  session.Parse([&](char* buffer, size_t capacity) -> size_t {
    while (buffered.empty()) {
      ssize_t got = ::read(file.get(), chunk.data(), chunk.size());
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) throw scripting::ErrorFromErrno(errno, path, kSaxSource);
      if (got == 0) return 0;
      buffered = std::string_view(chunk.data(), static_cast<size_t>(got));
    }
    size_t count = std::min(capacity, buffered.size());
    std::memcpy(buffer, buffered.data(), count);
    buffered.remove_prefix(count);
    return count;
  });
}

}  // namespace orvex::xmldom
