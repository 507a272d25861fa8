#include "demo_data.hpp"

namespace orvex::cli::demo {

const std::vector<MessageRow>& Messages() {
  static const std::vector<MessageRow> rows = {
      {1, "File not found", "الملف غير موجود"},
      {2, "Access denied", "تم رفض الوصول"},
      {3, "Invalid user name or password", "اسم المستخدم أو كلمة المرور غير صحيحة"},
      {4, "The database is not available", "قاعدة البيانات غير متاحة"},
      {5, "The operation completed successfully", "تمت العملية بنجاح"},
      {6, "Are you sure you want to delete this record?",
       "هل أنت متأكد من أنك تريد حذف هذا السجل؟"},
      {7, "The amount exceeds the allowed limit", "المبلغ يتجاوز الحد المسموح به"},
      {8, "Transaction saved", "تم حفظ المعاملة"},
      {9, "Connection to the server failed", "فشل الاتصال بالخادم"},
      {10, "Please try again later", "يرجى المحاولة مرة أخرى لاحقاً"},
  };
  return rows;
}

const std::vector<MessageRow>& LanguageStrings() {
  static const std::vector<MessageRow> rows = {
      {1, "Welcome", "مرحباً"}, {2, "Save", "حفظ"},   {3, "Cancel", "إلغاء"},
      {4, "Exit", "خروج"},     {5, "Search", "بحث"}, {6, "Settings", "الإعدادات"},
  };
  return rows;
}

const std::vector<std::string>& Schema() {
  static const std::vector<std::string> statements = {
      "CREATE TABLE Messages (ID INTEGER PRIMARY KEY, English VARCHAR(255), Arabic VARCHAR(255))",
      "CREATE TABLE LanguageStrings (ID INTEGER PRIMARY KEY, English VARCHAR(255), "
      "Arabic VARCHAR(255))",
      "CREATE TABLE ErrorLog (lErrorNumber INTEGER, strDescription VARCHAR(255), "
      "strSource VARCHAR(255), dDate DATETIME)",
      "CREATE TABLE EventLog (strEvent VARCHAR(255), dDate DATETIME)",
      "CREATE TABLE Transactions (Id INTEGER, Port VARCHAR(10), Transactor VARCHAR(50), "
      "Amount DECIMAL(12,2), Name VARCHAR(50), Status VARCHAR(20), WhenAt DATETIME)",
  };
  return statements;
}

}  // namespace orvex::cli::demo
