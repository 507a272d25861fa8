// This program links the library's objects itself, so the library cannot find the desktop module
// beside its own file: the module built with it is named before any test runs.
#include <cstdlib>

namespace {

const bool kModuleNamed = [] {
#ifdef ORVEX_GTK_MODULE_PATH
  setenv("ORVEX_GTK_MODULE", ORVEX_GTK_MODULE_PATH, 0);
#endif
  return true;
}();

}  // namespace
