// Case folding of ASCII letters, as names, keys and keywords are compared throughout the
// library: the bytes of every other character compare exactly, whatever the process's locale.
#pragma once

#include <string>
#include <string_view>

namespace orvex::ascii {

inline char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string Lower(std::string text) {
  for (char& c : text) c = Lower(c);
  return text;
}

inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// True when `word` stands at `at` in `text`, in any case.
inline bool StandsAt(std::string_view text, size_t at, std::string_view word) {
  return at <= text.size() && EqualsIgnoringCase(text.substr(at, word.size()), word);
}

}  // namespace orvex::ascii
