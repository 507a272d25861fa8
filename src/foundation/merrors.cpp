#include "orvex/host.hpp"
#include "orvex/modules.hpp"

namespace orvex::MErrors {

namespace {

constexpr uint32_t kNonSeverePattern = 0x90000000u;
constexpr uint32_t kSeverePattern = 0xA0000000u;

bool HasPattern(int32_t number, uint32_t pattern) {
  return (static_cast<uint32_t>(number) & pattern) == pattern;
}

}  // namespace

std::string BuildErrSource(const std::string& className, const std::string& procName,
                           const std::string& priorSource) {
  // A prior source holding "@" went through a component already: the new link goes in front
  // of the whole chain. Otherwise the prior source stands before this computer's name.
  if (priorSource.find('@') != std::string::npos)
    return className + "." + procName + "@" + ComputerName() + " >> " + priorSource;
  return className + "." + procName + "::" + priorSource + "@" + ComputerName();
}

std::string ComputerName() {
  try {
    return CurrentHost().ComputerName();
  } catch (...) {
    return "";
  }
}

int32_t COMError(int32_t number) {
  return static_cast<int32_t>(static_cast<uint32_t>(number) | 0x80040000u);
}

int32_t NSError(int32_t number) {
  return static_cast<int32_t>(static_cast<uint32_t>(number) | kNonSeverePattern);
}

int32_t PlainErrNumber(int32_t number) {
  uint32_t bits = static_cast<uint32_t>(number);
  if (HasPattern(number, kNonSeverePattern)) return static_cast<int32_t>(bits & 0x6FFFFFFFu);
  if (HasPattern(number, kSeverePattern)) return static_cast<int32_t>(bits & 0x5FFFFFFFu);
  return number;
}

bool IsNonSevere(int32_t number) { return HasPattern(number, kNonSeverePattern); }

bool IsSevere(int32_t number) { return HasPattern(number, kSeverePattern); }

}  // namespace orvex::MErrors
