// orvex text export|import: a table's texts to and from PO and XLIFF files for translators.
#pragma once

#include "commands.hpp"

namespace orvex::cli {

// True for the actions that RunTextExchange handles.
bool IsTextExchangeAction(const Argv& argv);
int RunTextExchange(const Argv& argv);

}  // namespace orvex::cli
