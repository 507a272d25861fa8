#include "call_literals.hpp"

#include "cli_args.hpp"
#include "orvex/locale.hpp"

namespace orvex::cli {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

// Numbers and dates are read in the invariant English form, whatever the user's locale, so that
// scripts mean the same everywhere.
Variant Typed(const std::string& type, const std::string& value) {
  const Variant text(value);
  const Locale& invariant = Locale::EnglishUS();
  if (type == "int" || type == "long") return Variant(CLng(text, invariant));
  if (type == "short") return Variant(CInt(text, invariant));
  if (type == "double") return Variant(CDbl(text, invariant));
  if (type == "bool") return Variant(CBool(text, invariant));
  if (type == "date") return Variant(CDate(text, invariant));
  if (type == "str") return text;
  throw UsageError("call", "unknown literal type '" + type + ":'");
}

}  // namespace

Variant ParseLiteral(const std::string& text) {
  if (text == "null") return Variant::Null();
  if (text == "missing") return Variant::Missing();
  for (const char* type : {"int", "long", "short", "double", "bool", "date", "str"}) {
    const std::string prefix = std::string(type) + ":";
    if (StartsWith(text, prefix)) return Typed(type, text.substr(prefix.size()));
  }
  return Variant(text);
}

std::string DescribeValue(const Variant& value) {
  if (value.IsNull()) return "Null";
  if (value.IsEmpty()) return "Empty";
  if (value.IsMissing()) return "Missing";
  if (value.IsObject()) return value.AsObjectRef() ? "(object)" : "Nothing";
  if (value.IsArray()) {
    const SafeArray& array = value.Array();
    std::string text = "{";
    for (size_t i = 0; i < array.Elements().size(); ++i)
      text += (i == 0 ? "" : ", ") + DescribeValue(array.Elements()[i]);
    return text + "}";
  }
  return CStr(value);
}

}  // namespace orvex::cli
