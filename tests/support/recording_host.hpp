// A Host for tests: records message boxes and event-log entries, answers boxes from a script,
// and gives a fixed computer name, clock and locale. Installed for the calling thread while the
// guard lives.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "orvex/automation_error.hpp"
#include "orvex/host.hpp"

namespace orvex::testing {

struct RecordedBox {
  std::string prompt;
  int32_t style = 0;
  std::string title;
  std::string helpFile;
  int32_t helpContext = 0;

  // "prompt|style|title|helpFile|helpContext", to check a box in one comparison.
  std::string Text() const {
    return prompt + "|" + std::to_string(style) + "|" + title + "|" + helpFile + "|" +
           std::to_string(helpContext);
  }
};

struct RecordedEvent {
  std::string text;
  int32_t type = 0;
};

class RecordingHost : public Host {
 public:
  std::string computerName = "TESTPC";
  bool isNT = false;
  Date now = Date(2026, 12, 5, 19, 29, 54);
  Locale locale = Locale::EnglishUS();
  std::deque<int32_t> answers;  // scripted answers; 1 (OK) when empty
  bool failBoxes = false;       // ShowMessageBox raises, as without a desktop
  bool failEventLog = false;

  std::vector<RecordedBox> boxes;
  std::vector<RecordedEvent> events;

  std::string ComputerName() override { return computerName; }
  bool IsNT() override { return isNT; }
  void WriteEventLog(const std::string& text, int32_t eventType) override {
    if (failEventLog) Raise(errPermissionDenied, "EventLog", "The event log is full");
    events.push_back({text, eventType});
  }
  int32_t ShowMessageBox(const std::string& prompt, int32_t style, const std::string& title,
                         const std::string& helpFile, int32_t helpContext) override {
    if (failBoxes) Raise(kNoInteractiveDesktop, "ORVEX.Host");
    boxes.push_back({prompt, style, title, helpFile, helpContext});
    if (answers.empty()) return 1;
    int32_t answer = answers.front();
    answers.pop_front();
    return answer;
  }
  Date Now() override { return now; }
  // Every box shown so far, a Text() line each.
  std::string BoxesText() const {
    std::string text;
    for (const RecordedBox& box : boxes) text += box.Text() + "\n";
    return text;
  }
  Locale UserLocale() override { return locale; }
};

// Installs a RecordingHost for the calling thread and restores the default host afterwards.
class HostGuard {
 public:
  HostGuard() : host_(std::make_shared<RecordingHost>()) { SetHost(host_); }
  ~HostGuard() { SetHost(nullptr); }
  HostGuard(const HostGuard&) = delete;
  HostGuard& operator=(const HostGuard&) = delete;

  RecordingHost& operator*() const { return *host_; }
  RecordingHost* operator->() const { return host_.get(); }

 private:
  std::shared_ptr<RecordingHost> host_;
};

}  // namespace orvex::testing
