// The user's locale as the automation runtime's conversions read it: date and time patterns,
// separators and designators, filled from ICU's locale data.
#pragma once

#include <string>
#include "orvex/export.h"

ORVEX_PUBLIC_BEGIN

namespace orvex {

class Locale {
 public:
  enum class DateOrder { MDY, DMY, YMD };

  // en-US: M/d/yyyy h:mm:ss AM/PM, "." decimal, "," grouping.
  static Locale EnglishUS();
  // en-GB: dd/MM/yyyy HH:mm:ss, "." decimal, "," grouping.
  static Locale EnglishUK();
  // Any ICU locale name ("de_DE", "ar_SA", "fr-FR", "C" ...). Unknown names fall back to ICU's
  // root data, as ICU does. Short-date years always have four digits, as on the desktop.
  static Locale FromName(const std::string& name);

  std::string name;                // e.g. "en_US"
  std::string shortDatePattern;    // tokens d dd M MM yyyy, e.g. "M/d/yyyy"
  std::string longTimePattern;     // tokens h hh H HH mm ss tt, e.g. "h:mm:ss tt"
  std::string dateSeparator;       // e.g. "/"
  std::string timeSeparator;       // e.g. ":"
  std::string decimalSeparator;    // e.g. "."
  std::string thousandsSeparator;  // e.g. ","
  std::string amDesignator;        // e.g. "AM"
  std::string pmDesignator;        // e.g. "PM"
  DateOrder dateOrder = DateOrder::MDY;
};

}  // namespace orvex

ORVEX_PUBLIC_END
