// The two locales the conversion tests compare: United States and United Kingdom English.
#pragma once

#include "orvex/variant.hpp"

namespace orvex::testing {

inline const Locale kUS = Locale::EnglishUS();
inline const Locale kUK = Locale::EnglishUK();

}  // namespace orvex::testing
