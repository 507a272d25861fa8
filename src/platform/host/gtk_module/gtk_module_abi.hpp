// What the desktop message-box module offers the library: one C entry point, found with dlsym,
// that returns a table of functions. The module is built with the library from the same
// headers, so the table's C++ types agree; its version refuses a module of another build.
#pragma once

#include <cstdint>
#include <string>

#include "platform/host/gtk_message_box.hpp"

namespace orvex::host {

inline constexpr int32_t kGtkModuleVersion = 1;
inline constexpr const char* kGtkModuleEntry = "orvex_gtk_module";
inline constexpr const char* kGtkModuleFile = "orvex-gtk.so";

struct GtkModule {
  int32_t version;
  // True when GTK started on the named display and the calling thread is the one it started on.
  bool (*desktopAvailable)();
  // Shows the box and blocks until a button closes it; only after desktopAvailable() was true.
  int32_t (*show)(const std::string& prompt, int32_t style, const std::string& title,
                  const std::string& helpFile, int32_t helpContext);
  void (*setObserver)(ShownBoxObserver observer);
};

}  // namespace orvex::host
