#include "platform/data/postgres/postgres_types.hpp"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "orvex/data.hpp"

namespace orvex::data::internal::postgres {

namespace {

// Type OIDs of the built-in types (fixed in the server's catalog).
enum TypeOid : unsigned {
  kBool = 16,
  kBytea = 17,
  kName = 19,
  kInt8 = 20,
  kInt2 = 21,
  kInt4 = 23,
  kText = 25,
  kOid = 26,
  kFloat4 = 700,
  kFloat8 = 701,
  kMoney = 790,
  kBpchar = 1042,
  kVarchar = 1043,
  kDate = 1082,
  kTime = 1083,
  kTimestamp = 1114,
  kTimestamptz = 1184,
  kTimetz = 1266,
  kNumeric = 1700,
};

constexpr int32_t kLongTextSize = 1073741823;
constexpr int32_t kLongBinarySize = 2147483647;
constexpr int kTypmodHeader = 4;  // the server adds 4 to every length modifier

void Set(ColumnInfo& column, int32_t type, int32_t size, int32_t attributes,
         int32_t precision = 255, int32_t scale = 255) {
  column.type = type;
  column.definedSize = size;
  column.precision = precision;
  column.numericScale = scale;
  column.attributes |= attributes;
}

void SetLongText(ColumnInfo& column) { Set(column, adLongVarWChar, kLongTextSize, adFldLong); }

void SetCharacter(ColumnInfo& column, int32_t type, int typeModifier) {
  if (typeModifier < kTypmodHeader) {
    SetLongText(column);  // no length given: as long as text
    return;
  }
  Set(column, type, typeModifier - kTypmodHeader, type == adChar ? adFldFixed : 0);
}

void SetNumeric(ColumnInfo& column, int typeModifier) {
  if (typeModifier < kTypmodHeader) {
    Set(column, adNumeric, 19, adFldFixed);  // unconstrained: precision and scale not known
    return;
  }
  int32_t packed = typeModifier - kTypmodHeader;
  Set(column, adNumeric, 19, adFldFixed, (packed >> 16) & 0xFFFF, packed & 0x7FF);
}

std::string DecodeHexBytea(const char* text, int length) {
  if (length < 2 || text[0] != '\\' || text[1] != 'x') return std::string(text, length);
  std::string bytes;
  bytes.reserve((length - 2) / 2);
  auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  for (int i = 2; i + 1 < length; i += 2)
    bytes += static_cast<char>((nibble(text[i]) << 4) | nibble(text[i + 1]));
  return bytes;
}

// "$1,234.56" or "-$1,234.56" (lc_monetary is C in every session) as a number.
double ReadMoney(const std::string& text) {
  std::string digits;
  for (char c : text)
    if (c == '-' || c == '.' || (c >= '0' && c <= '9')) digits += c;
  return std::strtod(digits.c_str(), nullptr);
}

}  // namespace

void DescribeColumnType(unsigned typeOid, int typeModifier, ColumnInfo& column) {
  switch (typeOid) {
    case kInt2:
      return Set(column, adSmallInt, 2, adFldFixed, 5);
    case kInt4:
    case kOid:
      return Set(column, adInteger, 4, adFldFixed, 10);
    case kInt8:
      return Set(column, adBigInt, 8, adFldFixed, 19);
    case kFloat4:
      return Set(column, adSingle, 4, adFldFixed, 7);
    case kFloat8:
      return Set(column, adDouble, 8, adFldFixed, 15);
    case kMoney:
      return Set(column, adCurrency, 8, adFldFixed, 19);
    case kNumeric:
      return SetNumeric(column, typeModifier);
    case kBool:
      return Set(column, adBoolean, 2, adFldFixed);
    case kTimestamp:
    case kTimestamptz:
      return Set(column, adDate, 8, adFldFixed);
    case kDate:
      return Set(column, adDBDate, 6, adFldFixed);
    case kTime:
    case kTimetz:
      return Set(column, adDBTime, 6, adFldFixed);
    case kBpchar:
      return SetCharacter(column, adChar, typeModifier);
    case kVarchar:
      return SetCharacter(column, adVarChar, typeModifier);
    case kName:
      return Set(column, adVarWChar, 63, 0);
    case kBytea:
      return Set(column, adLongVarBinary, kLongBinarySize, adFldLong);
    default:  // text and every type without a counterpart travel as text
      return SetLongText(column);
  }
}

std::string ToLocalTimestamp(const std::string& text) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, used = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d%n", &year, &month, &day, &hour, &minute,
                  &used) != 5)
    return text;
  double seconds = 0;
  int secondsUsed = 0;
  if (text.c_str()[used] == ':' &&
      std::sscanf(text.c_str() + used, ":%lf%n", &seconds, &secondsUsed) == 1)
    used += secondsUsed;
  char sign = text.c_str()[used];
  int offsetHours = 0, offsetMinutes = 0, offsetSeconds = 0;
  if ((sign != '+' && sign != '-') || std::sscanf(text.c_str() + used + 1, "%2d:%2d:%2d",
                                                  &offsetHours, &offsetMinutes, &offsetSeconds) < 1)
    return text;
  std::tm utc{};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  utc.tm_hour = hour;
  utc.tm_min = minute;
  utc.tm_sec = static_cast<int>(seconds);
  long offset = offsetHours * 3600L + offsetMinutes * 60L + offsetSeconds;
  std::time_t instant = timegm(&utc) - (sign == '-' ? -offset : offset);
  std::tm local{};
  if (localtime_r(&instant, &local) == nullptr) return text;
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return buffer;
}

NativeValue ReadCell(unsigned typeOid, const char* text, int length) {
  switch (typeOid) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
      return NativeValue::Integer(std::strtoll(text, nullptr, 10));
    case kFloat4:
    case kFloat8:
      return NativeValue::Real(std::strtod(text, nullptr));
    case kMoney:
      return NativeValue::Real(ReadMoney(text));
    case kBool:
      return NativeValue::Integer(text[0] == 't' ? 1 : 0);
    case kBytea:
      return NativeValue::Blob(DecodeHexBytea(text, length));
    case kTimestamptz:
      return NativeValue::Text(ToLocalTimestamp(std::string(text, length)));
    case kTime:
    case kTimetz:  // "HH:MM:SS" without fractions or zone, as a time of day reads
      return NativeValue::Text(std::string(text, length < 8 ? length : 8));
    default:
      return NativeValue::Text(std::string(text, length));
  }
}

}  // namespace orvex::data::internal::postgres
