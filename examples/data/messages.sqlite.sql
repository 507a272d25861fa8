-- Sample multilingual tables for SQLite. A row added without an ID gets the next one.

-- Message texts, one column per language; the column is named by the language.
DROP TABLE IF EXISTS Messages;
CREATE TABLE Messages (
  ID INTEGER PRIMARY KEY,
  English TEXT,
  Arabic TEXT
);
INSERT INTO Messages (ID, English, Arabic) VALUES
  (1, 'File not found', 'الملف غير موجود'),
  (2, 'Access denied', 'تم رفض الوصول'),
  (3, 'The disk is full', 'القرص ممتلئ'),
  (4, 'The operation completed successfully', 'تمت العملية بنجاح'),
  (5, 'Are you sure you want to delete this record?', 'هل أنت متأكد من أنك تريد حذف هذا السجل؟'),
  (6, 'Cannot connect to the database', 'تعذر الاتصال بقاعدة البيانات'),
  (7, 'Invalid date', 'تاريخ غير صالح'),
  (8, 'Please enter your password', 'الرجاء إدخال كلمة المرور'),
  (9, 'Warning', 'تحذير'),
  (10, 'Error', 'خطأ'),
  (11, 'Do you want to save the changes?', 'هل تريد حفظ التغييرات؟'),
  (12, 'The file is read-only', 'الملف للقراءة فقط');

-- Single texts read and written by language and ID (CTextTable.TextE).
DROP TABLE IF EXISTS LanguageStrings;
CREATE TABLE LanguageStrings (
  ID INTEGER PRIMARY KEY,
  English TEXT,
  Arabic TEXT
);
INSERT INTO LanguageStrings (ID, English, Arabic) VALUES
  (1, 'Save', 'حفظ'),
  (2, 'Cancel', 'إلغاء'),
  (3, 'Open', 'فتح'),
  (4, 'Close', 'إغلاق'),
  (5, 'Print', 'طباعة'),
  (6, 'Help', 'مساعدة');
