#include "textexchange/table_texts.hpp"

#include <cctype>
#include <charconv>

#include "orvex/automation_error.hpp"
#include "platform/automation/ascii_case.hpp"

namespace orvex::textexchange {

namespace {

constexpr const char* kSource = "ORVEX.TextExchange";

bool IsPlainName(std::string_view name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

void RequirePlainName(const std::string& what, const std::string& name, bool qualified) {
  const size_t dot = qualified ? name.find('.') : std::string::npos;
  const bool plain = dot == std::string::npos
                         ? IsPlainName(name)
                         : IsPlainName(std::string_view(name).substr(0, dot)) &&
                               IsPlainName(std::string_view(name).substr(dot + 1));
  if (!plain)
    Raise(errInvalidProcedureCall, kSource,
          "The " + what + " '" + name +
              "' is not a plain name (letters, digits and _, not starting with a digit)");
}

}  // namespace

std::string TextOfValue(const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return "";
  return value.VarType() == vbString ? value.Str() : CStr(value);
}

std::optional<int32_t> ParseId(std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  const std::string_view digits = text.substr(negative ? 1 : 0);
  if (digits.empty() || (digits[0] == '0' && (digits.size() > 1 || negative))) return std::nullopt;
  int32_t id = 0;
  const auto read = std::from_chars(text.data(), text.data() + text.size(), id);
  if (read.ec != std::errc() || read.ptr != text.data() + text.size()) return std::nullopt;
  return id;
}

std::unique_ptr<TableTexts> OpenTableTexts(const TextTableSource& source,
                                           const std::string& sourceLanguage,
                                           const std::string& language) {
  RequirePlainName("language", language, false);
  RequirePlainName("source language", sourceLanguage, false);
  if (ascii::EqualsIgnoringCase(sourceLanguage, language))
    Raise(errInvalidProcedureCall, kSource,
          "The language and the source language are the same column '" + language + "'");
  switch (source.kind) {
    case TextTableSource::Kind::Database:
      RequirePlainName("table", source.table, true);
      return OpenDatabaseTexts(source.location, source.table);
    case TextTableSource::Kind::Glossary:
      return OpenGlossaryTexts(source.location);
    case TextTableSource::Kind::SavedRows:
      return OpenSavedRowsTexts(source.location);
  }
  Raise(errInvalidProcedureCall, kSource, "Unknown kind of table");
}

}  // namespace orvex::textexchange
