#include "orvex/host.hpp"

#include <syslog.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <optional>

#include "orvex/automation_error.hpp"
#include "platform/data/secret_redaction.hpp"
#include "platform/host/gtk_message_box.hpp"
#include "platform/host/terminal_message_box.hpp"

namespace orvex {

// The locale of the last UserLocale, built again only when the process's locale name changes.
struct Host::Impl {
  std::optional<Locale> cachedLocale;
  std::string cachedLocaleName;
};

Host::Host() : impl_(std::make_unique<Impl>()) {}

Host::~Host() = default;

std::string Host::ComputerName() {
  char buffer[256] = {};
  if (gethostname(buffer, sizeof buffer - 1) != 0) return "";
  return buffer;
}

bool Host::IsNT() { return false; }

void Host::WriteEventLog(const std::string& text, int32_t eventType) {
  int priority = LOG_INFO;
  if (eventType == evtError) priority = LOG_ERR;
  if (eventType == evtWarning) priority = LOG_WARNING;
  // The system log is readable far beyond the process: no password goes there, whoever calls.
  const bool holdsSecrets = data::internal::HoldsSecrets(text);
  openlog("ORVEX", LOG_PID, LOG_USER);
  syslog(priority, "%s", holdsSecrets ? data::internal::RedactSecrets(text).c_str() : text.c_str());
  closelog();
}

int32_t Host::ShowMessageBox(const std::string& prompt, int32_t style, const std::string& title,
                             const std::string& helpFile, int32_t helpContext) {
  if (host::DesktopAvailable())
    return host::ShowGtkMessageBox(prompt, style, title, helpFile, helpContext);
  return host::ShowTerminalMessageBox(prompt, style, title, helpFile, helpContext);
}

Date Host::Now() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
              local.tm_sec);
}

namespace {

// The locale name the process runs under, as the C library would choose it for LC_TIME.
std::string ProcessLocaleName() {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

thread_local std::shared_ptr<Host> threadHost;

}  // namespace

Locale Host::UserLocale() {
  std::string name = ProcessLocaleName();
  if (!impl_->cachedLocale || impl_->cachedLocaleName != name) {
    impl_->cachedLocale = Locale::FromName(name);
    impl_->cachedLocaleName = name;
  }
  return *impl_->cachedLocale;
}

void SetHost(std::shared_ptr<Host> host) { threadHost = std::move(host); }

std::shared_ptr<Host> CurrentHostPtr() {
  if (!threadHost) threadHost = std::make_shared<Host>();
  return threadHost;
}

Host& CurrentHost() { return *CurrentHostPtr(); }

}  // namespace orvex
