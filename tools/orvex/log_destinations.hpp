// Destination names of the log commands and the ELogType flag word they stand for.
#pragma once

#include <cstdint>
#include <string>

namespace orvex::cli {

// "file,db,xml" -> ltFILE | ltDB | ltXML. Names: event, raise, file, eventlog, msgbox, db, email,
// msgonly, xml; a number stands for itself. A UsageError for an unknown name.
int32_t ParseDestinations(const std::string& command, const std::string& list);

// The names of the result word of LogError ("etwelrSERROR|etwelrLOGTOFILE_FAILED|etwelrOK").
std::string ResultWordNames(int32_t result);

}  // namespace orvex::cli
