// A translation file's text to and from its document, by format.
#pragma once

#include <string>

#include "orvex/text_exchange.hpp"
#include "textexchange/exchange_document.hpp"

namespace orvex::textexchange {

// The file's text, with the current time of the host in a PO header.
std::string WriteDocument(const ExchangeDocument& document, ExchangeFormat format);
ExchangeDocument ReadDocument(const std::string& text, ExchangeFormat format);

}  // namespace orvex::textexchange
