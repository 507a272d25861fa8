// What the runtime's conversions take from their surroundings when a caller names nothing: the
// user's locale (for the overloads without one) and the local time (whose year completes a date
// written without one). The automation part only asks; the host part answers, from the calling
// thread's Host, so that a test's host decides both.
#pragma once

#include "orvex/date.hpp"
#include "orvex/locale.hpp"

namespace orvex::surroundings {

Locale UserLocale();
Date Now();

}  // namespace orvex::surroundings
