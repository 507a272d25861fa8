#include "orvex/text_table.hpp"

#include "foundation/error_path.hpp"
#include "foundation/show_rule.hpp"
#include "orvex/modules.hpp"

namespace orvex {

namespace {
constexpr const char* kClassName = "ORVEX.CTextTable";
}  // namespace

CTextTable::CTextTable() { MMain::EnsureMain(); }

CTextTable::~CTextTable() = default;

void CTextTable::ConnectingString(const std::string& connectingString) {
  mstrConnectingString = connectingString;
}

std::string CTextTable::Text(int32_t ID) {
  (void)ID;
  // The database lookup arrives with the data layer; until then no rows are ever loaded.
  return "";
}

int32_t CTextTable::Show(int16_t MessageID, int32_t Buttons, const Variant& Source,
                         const std::string& Helpfile, int32_t HelpContext) {
  try {
    return foundation::ShowFromTable([this](int32_t id) { return Text(id); }, mstrLanguage,
                                     MessageID, Buttons, Source, Helpfile, HelpContext);
  } catch (...) {
    foundation::RaiseAgain(kClassName, "Show");
  }
}

}  // namespace orvex
