#include "platform/automation/language_tag.hpp"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <cctype>

namespace orvex::languages {

namespace {

bool AllOf(const std::string& text, size_t from, size_t to, int (*test)(int)) {
  for (size_t i = from; i < to; ++i)
    if (!test(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

// A primary subtag of two or three letters, then subtags of two to eight letters or digits.
bool ShapedLikeTag(const std::string& name) {
  size_t start = 0;
  for (size_t part = 0; start <= name.size(); ++part) {
    size_t end = name.find_first_of("_-", start);
    if (end == std::string::npos) end = name.size();
    const size_t length = end - start;
    const bool fits = part == 0 ? length >= 2 && length <= 3 && AllOf(name, start, end, isalpha)
                                : length >= 2 && length <= 8 && AllOf(name, start, end, isalnum);
    if (!fits) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::string LanguageTag(const std::string& languageName) {
  const icu::UnicodeString wanted = icu::UnicodeString::fromUTF8(languageName);
  const icu::Locale english = icu::Locale::getEnglish();
  for (const char* const* code = icu::Locale::getISOLanguages(); *code != nullptr; ++code) {
    icu::UnicodeString display;
    icu::Locale(*code).getDisplayLanguage(english, display);
    if (display.caseCompare(wanted, U_FOLD_CASE_DEFAULT) == 0) return *code;
  }
  if (!ShapedLikeTag(languageName)) return "und";
  std::string tag = languageName;
  for (char& c : tag)
    if (c == '_') c = '-';
  return tag;
}

}  // namespace orvex::languages
