#include "orvex/modules.hpp"

namespace orvex::MMain {

thread_local std::string gstrComputerName;

namespace {
thread_local bool mainRan = false;
}  // namespace

void Main() {
  gstrComputerName = MErrors::ComputerName();
  mainRan = true;
}

void EnsureMain() {
  if (!mainRan) Main();
}

}  // namespace orvex::MMain

namespace orvex::MMain {

std::string ExpandPlaceholders(const std::string& text, const SafeArray& values) {
  std::string result = text;
  if (!values.IsDimensioned()) return result;
  // The placeholder number counts from 1 for index 0, whatever the array's lower bound.
  for (int32_t i = 0; i <= values.UBound(); ++i) {
    const std::string placeholder = "%" + std::to_string(i + 1);
    const std::string replacement = CStr(values[i]);
    std::string replaced;
    size_t from = 0;
    for (size_t at = result.find(placeholder); at != std::string::npos;
         at = result.find(placeholder, from)) {
      replaced.append(result, from, at - from).append(replacement);
      from = at + placeholder.size();
    }
    replaced.append(result, from, std::string::npos);
    result = std::move(replaced);
  }
  return result;
}

}  // namespace orvex::MMain
