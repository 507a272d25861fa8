#include "platform/host/gtk_message_box.hpp"

#include <dlfcn.h>

#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "orvex/automation_error.hpp"
#include "orvex/host.hpp"
#include "platform/host/gtk_module/gtk_module_abi.hpp"

namespace orvex::host {
namespace {

bool DisplayNamed() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

// The folder this library was loaded from, with its trailing '/' ("" when unknown).
std::string LibraryFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&DisplayNamed), &info) == 0 || info.dli_fname == nullptr)
    return "";
  std::string path = info.dli_fname;
  return path.substr(0, path.rfind('/') + 1);
}

// The module's table, or nullptr when no module of this build loads: GTK's libraries are absent,
// or the module is not installed. Tried once per process. ORVEX_GTK_MODULE names a module file
// of its own (ignored in a set-user-ID program); else the module is looked for beside the
// library, in its orvex/ folder (installed) and in the folder itself (a build tree), then where
// the build installs it.
const GtkModule* LoadModule() {
  std::vector<std::string> candidates;
  if (const char* named = secure_getenv("ORVEX_GTK_MODULE"); named != nullptr && *named != '\0')
    candidates.emplace_back(named);
  const std::string folder = LibraryFolder();
  if (!folder.empty()) {
    candidates.push_back(folder + "orvex/" + kGtkModuleFile);
    candidates.push_back(folder + kGtkModuleFile);
  }
#ifdef ORVEX_GTK_MODULE_INSTALLED
  // A program that links the library's objects itself (the orvex tool) finds the installed one.
  candidates.emplace_back(ORVEX_GTK_MODULE_INSTALLED);
#endif
  for (const std::string& candidate : candidates) {
    void* handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) continue;
    using Entry = const GtkModule* (*)();
    auto entry = reinterpret_cast<Entry>(dlsym(handle, kGtkModuleEntry));
    const GtkModule* module = entry != nullptr ? entry() : nullptr;
    // Kept loaded for the life of the process: GTK cannot be unloaded once started.
    if (module != nullptr && module->version == kGtkModuleVersion) return module;
    dlclose(handle);
  }
  return nullptr;
}

std::mutex moduleMutex;
bool moduleTried = false;
const GtkModule* loadedModule = nullptr;
ShownBoxObserver pendingObserver;

// The loaded module; loads it on the first call. With load false, only a module already loaded.
const GtkModule* Module(bool load) {
  std::lock_guard<std::mutex> lock(moduleMutex);
  if (!moduleTried && load) {
    moduleTried = true;
    loadedModule = LoadModule();
    if (loadedModule != nullptr && pendingObserver) {
      loadedModule->setObserver(std::move(pendingObserver));
      pendingObserver = nullptr;
    }
  }
  return loadedModule;
}

}  // namespace

bool GtkMessageBoxBuiltIn() { return Module(true) != nullptr; }

bool DesktopAvailable() {
  // No display named: the module (and with it GTK) is not even loaded.
  const GtkModule* module = Module(DisplayNamed());
  return module != nullptr && module->desktopAvailable();
}

int32_t ShowGtkMessageBox(const std::string& prompt, int32_t style, const std::string& title,
                          const std::string& helpFile, int32_t helpContext) {
  if (!DesktopAvailable()) Raise(kNoInteractiveDesktop, "ORVEX.Host");
  return Module(false)->show(prompt, style, title, helpFile, helpContext);
}

void SetShownBoxObserver(ShownBoxObserver observer) {
  std::lock_guard<std::mutex> lock(moduleMutex);
  if (loadedModule != nullptr) {
    loadedModule->setObserver(std::move(observer));
  } else {
    pendingObserver = std::move(observer);
  }
}

}  // namespace orvex::host
