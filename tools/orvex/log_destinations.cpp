#include "log_destinations.hpp"

#include <cctype>
#include <sstream>
#include <utility>

#include "cli_args.hpp"
#include "orvex/types.hpp"

namespace orvex::cli {

namespace {

constexpr std::pair<const char*, int32_t> kDestinationNames[] = {
    {"event", ltRAISEEVENT},  {"raise", ltRAISEERROR}, {"file", ltFILE},
    {"eventlog", ltEVENTLOG}, {"msgbox", ltMSGBOX},    {"db", ltDB},
    {"email", ltEMAIL},       {"msgonly", ltMSG_ONLY}, {"xml", ltXML},
};

constexpr std::pair<const char*, int32_t> kFailureFlags[] = {
    {"etwelrLOGTODB_FAILED", etwelrLOGTODB_FAILED},
    {"etwelrLOGTOFILE_FAILED", etwelrLOGTOFILE_FAILED},
    {"etwelrLOGTONT_FAILED", etwelrLOGTONT_FAILED},
    {"etwelrLOGTOXML_FAILED", etwelrLOGTOXML_FAILED},
};

constexpr const char* kAnswerNames[] = {
    "",          "etwelrOK", "etwelrCANCEL", "etwelrABORT", "etwelrRETRY", "etwelrIGNORE",
    "etwelrYES", "etwelrNO"};

int32_t DestinationBit(const std::string& command, const std::string& name) {
  for (const auto& [known, bit] : kDestinationNames)
    if (name == known) return bit;
  if (!name.empty() && (std::isdigit(static_cast<unsigned char>(name[0])) != 0))
    return ParseNumber(command, "destination", name);
  throw UsageError(command, "unknown destination '" + name +
                                "' (use event, raise, file, db, xml, eventlog, msgbox, msgonly)");
}

}  // namespace

int32_t ParseDestinations(const std::string& command, const std::string& list) {
  int32_t elt = 0;
  std::stringstream names(list);
  std::string name;
  while (std::getline(names, name, ','))
    if (!name.empty()) elt |= DestinationBit(command, name);
  return elt;
}

std::string ResultWordNames(int32_t result) {
  const uint32_t word = static_cast<uint32_t>(result);
  std::string names = (word & 0xF0000000u) == static_cast<uint32_t>(etwelrNSERROR) ? "etwelrNSERROR"
                                                                                   : "etwelrSERROR";
  for (const auto& [name, flag] : kFailureFlags)
    if ((result & flag) != 0) names += std::string("|") + name;
  const int32_t answer = result & 0x7;
  if (answer != 0) names += std::string("|") + kAnswerNames[answer];
  return names;
}

}  // namespace orvex::cli
