// The language tag (BCP 47) that translation files name for a language the library knows by the
// name of its column: "English" is "en", "Arabic" is "ar".
#pragma once

#include <string>

namespace orvex::languages {

// The tag of a language given by its English name (as ICU's locale data names it, any case), or
// the name itself with "_" as "-" when it is already shaped like a tag ("de_DE", "pt-BR"), else
// "und" (undetermined).
std::string LanguageTag(const std::string& languageName);

}  // namespace orvex::languages
