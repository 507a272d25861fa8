// What every text table keeps for its loads: the connection string, the language of the last load
// and, for each language, what the object loaded for it first.
#pragma once

#include <map>
#include <memory>
#include <string>

namespace orvex::texttables {

template <class Loaded>
struct LoadedLanguages {
  std::string mstrConnectingString;
  std::string mstrLanguage;
  // Key: the language name, compared exactly. Entries are added once and never removed.
  std::map<std::string, std::shared_ptr<Loaded>> mdicCache;

  // Records the language of a load ("English" when none is named) and returns what this object
  // loaded for that language before, or nullptr.
  std::shared_ptr<Loaded> StartLoad(const std::string& Language) {
    mstrLanguage = Language.empty() ? "English" : Language;
    auto cached = mdicCache.find(mstrLanguage);
    return cached != mdicCache.end() ? cached->second : nullptr;
  }
};

}  // namespace orvex::texttables
