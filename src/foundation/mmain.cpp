#include "orvex/modules.hpp"

namespace orvex::MMain {

thread_local std::string gstrComputerName;

namespace {
thread_local bool tlsMainRan = false;
}  // namespace

void Main() {
  gstrComputerName = MErrors::ComputerName();
  tlsMainRan = true;
}

void EnsureMain() {
  if (!tlsMainRan) Main();
}

}  // namespace orvex::MMain
