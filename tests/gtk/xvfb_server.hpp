// A virtual X server of the test's own, on a display number the server picks itself (so that
// concurrent test runs never collide), stopped when the object ends.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

namespace orvex::testing {

class XvfbServer {
 public:
  // Starts Xvfb with one 1024x768x24 screen; nullptr when Xvfb is missing or did not start.
  static std::unique_ptr<XvfbServer> Start();
  ~XvfbServer();
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // ":N", for DISPLAY.
  const std::string& DisplayName() const { return displayName_; }

 private:
  XvfbServer(pid_t pid, std::string displayName)
      : pid_(pid), displayName_(std::move(displayName)) {}

  pid_t pid_;
  std::string displayName_;
};

}  // namespace orvex::testing
