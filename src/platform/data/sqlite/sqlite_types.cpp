#include "platform/data/sqlite/sqlite_types.hpp"

#include <cctype>
#include <cstdlib>
#include <vector>

#include "orvex/data.hpp"

namespace orvex::data::internal::sqlite {

namespace {

constexpr int32_t kLongTextSize = 1073741823;
constexpr int32_t kLongBinarySize = 2147483647;

struct DeclaredType {
  std::string name;           // upper case, blanks collapsed, without the arguments
  std::vector<int32_t> args;  // the numbers between parentheses
};

DeclaredType SplitDeclaredType(const std::string& declared) {
  DeclaredType result;
  size_t open = declared.find('(');
  std::string name = declared.substr(0, open);
  bool blank = false;
  for (char c : name) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      blank = !result.name.empty();
    } else {
      if (blank) result.name += ' ';
      blank = false;
      result.name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  if (open != std::string::npos) {
    const char* cursor = declared.c_str() + open + 1;
    while (*cursor != '\0' && *cursor != ')') {
      char* end = nullptr;
      long number = std::strtol(cursor, &end, 10);
      if (end == cursor) break;
      result.args.push_back(static_cast<int32_t>(number));
      cursor = end;
      while (*cursor == ' ' || *cursor == ',') ++cursor;
    }
  }
  return result;
}

void Set(ColumnInfo& column, int32_t type, int32_t size, int32_t precision = 255,
         int32_t scale = 255) {
  column.type = type;
  column.definedSize = size;
  column.precision = precision;
  column.numericScale = scale;
}

bool SetFixedType(const std::string& name, ColumnInfo& column) {
  if (name == "SMALLINT")
    Set(column, adSmallInt, 2, 5);
  else if (name == "INTEGER" || name == "INT")
    Set(column, adInteger, 4, 10);
  else if (name == "BIGINT")
    Set(column, adBigInt, 8, 19);
  else if (name == "REAL" || name == "FLOAT" || name == "DOUBLE" || name == "DOUBLE PRECISION")
    Set(column, adDouble, 8, 15);
  else if (name == "MONEY")
    Set(column, adCurrency, 8, 19);
  else if (name == "BOOLEAN" || name == "BIT")
    Set(column, adBoolean, 2);
  else if (name == "TINYINT")
    Set(column, adUnsignedTinyInt, 1, 3);
  else if (name == "DATETIME" || name == "TIMESTAMP")
    Set(column, adDate, 8);
  else if (name == "DATE")
    Set(column, adDBDate, 6);
  else if (name == "TIME")
    Set(column, adDBTime, 6);
  else
    return false;
  column.attributes |= adFldFixed;
  return true;
}

bool SetDecimalType(const DeclaredType& declared, ColumnInfo& column) {
  bool isDecimal = declared.name == "DECIMAL";
  if (!isDecimal && declared.name != "NUMERIC") return false;
  int32_t precision = declared.args.empty() ? 18 : declared.args[0];
  int32_t scale = declared.args.size() > 1 ? declared.args[1] : 0;
  Set(column, isDecimal ? adDecimal : adNumeric, isDecimal ? 16 : 19, precision, scale);
  column.attributes |= adFldFixed;
  return true;
}

// Character types with a length; without one they are long text.
bool SetCharacterType(const DeclaredType& declared, ColumnInfo& column) {
  int32_t type = 0;
  if (declared.name == "CHAR" || declared.name == "CHARACTER")
    type = adChar;
  else if (declared.name == "VARCHAR" || declared.name == "CHARACTER VARYING")
    type = adVarChar;
  else if (declared.name == "NCHAR")
    type = adWChar;
  else if (declared.name == "NVARCHAR")
    type = adVarWChar;
  else
    return false;
  if (declared.args.empty()) {
    Set(column, adLongVarWChar, kLongTextSize);
    column.attributes |= adFldLong;
  } else {
    Set(column, type, declared.args[0]);
    if (type == adChar || type == adWChar) column.attributes |= adFldFixed;
  }
  return true;
}

// SQLite's own affinity rules for declared types outside the table.
void SetByAffinity(const std::string& name, ColumnInfo& column) {
  if (name.find("INT") != std::string::npos) {
    Set(column, adInteger, 4, 10);
    column.attributes |= adFldFixed;
  } else if (name.find("BLOB") != std::string::npos) {
    Set(column, adLongVarBinary, kLongBinarySize);
    column.attributes |= adFldLong;
  } else if (name.find("REAL") != std::string::npos || name.find("FLOA") != std::string::npos ||
             name.find("DOUB") != std::string::npos) {
    Set(column, adDouble, 8, 15);
    column.attributes |= adFldFixed;
  } else {
    Set(column, adLongVarWChar, kLongTextSize);
    column.attributes |= adFldLong;
  }
}

}  // namespace

void DescribeDeclaredType(const std::string& declaredType, ColumnInfo& column) {
  DeclaredType declared = SplitDeclaredType(declaredType);
  if (declared.name.empty()) {
    Set(column, adVariant, 16);
    return;
  }
  if (SetFixedType(declared.name, column) || SetDecimalType(declared, column) ||
      SetCharacterType(declared, column))
    return;
  SetByAffinity(declared.name, column);
}

}  // namespace orvex::data::internal::sqlite
