// Each declared column type as the providers describe it, write a value to it and read it back,
// hold Null in it, and as a saved-rows file keeps it: one table for both, so that where SQLite and
// PostgreSQL should agree they are checked to.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "data_fixture.hpp"

namespace orvex::testing {
namespace {

using namespace orvex::data;

constexpr int32_t kFixed = adFldFixed | adFldIsNullable, kLong = adFldLong | adFldIsNullable,
                  kVarying = adFldIsNullable;

// How one provider describes a column and reads back the value written to it. Type 0: the
// declaration is not one of this provider's types.
struct Reading {
  int32_t type, size, attributes, precision = 255, scale = 255;
  Variant back = {};             // Empty: the value written
  const char* stored = nullptr;  // the database's own text of the value, when compared
};

struct ColumnCase {
  const char* declared;
  Variant value;
  Reading sqlite;
  std::optional<Reading> postgres = std::nullopt;  // none: as on SQLite
};

Variant Number(const char* digits) { return Variant(Decimal::Parse(digits)); }

class ColumnTypesTest : public DataTest {};

TEST_P(ColumnTypesTest, EachTypeIsDescribedWrittenReadAndHoldsNull) {
  const Variant stamp(Date(2026, 12, 5, 19, 29, 54)), clock(Date(1899, 12, 30, 19, 29, 54));
  const Variant tenths(0.1 + 0.2);  // needs all 17 digits
  const Variant blob = Bytes(std::string("\xFA\xFB\x00\xFD", 4));
  const Reading absent{0, 0, 0};
  const ColumnCase cases[] = {
      {"SMALLINT", Variant(int16_t{-7}), {adSmallInt, 2, kFixed, 5}},
      {"INTEGER", Variant(int32_t{2147483647}), {adInteger, 4, kFixed, 10}},
      {"BIGINT", Number("3000000000"), {adBigInt, 8, kFixed, 19}},
      {"MEDIUMINT", Variant("12"), {adInteger, 4, kFixed, 10, 255, Variant(int32_t{12})}, absent},
      {"TINYINT", Variant(uint8_t{200}), {adUnsignedTinyInt, 1, kFixed, 3}, absent},
      // SQLite's floating point is always 8 bytes.
      {"REAL",
       tenths,
       {adDouble, 8, kFixed, 15},
       Reading{adSingle, 4, kFixed, 7, 255, Variant(0.3f)}},
      {"FLOAT", tenths, {adDouble, 8, kFixed, 15}},
      {"DOUBLE PRECISION", tenths, {adDouble, 8, kFixed, 15}},
      {"DOUBLE", tenths, {adDouble, 8, kFixed, 15}, absent},
      {"MONEY", Variant(Currency::FromDouble(-1234.56)), {adCurrency, 8, kFixed, 19}},
      {"NUMERIC(12,4)", Number("12345678.1234"), {adNumeric, 19, kFixed, 12, 4}},
      {"NUMERIC", Number("2.5"), {adNumeric, 19, kFixed, 18, 0}, Reading{adNumeric, 19, kFixed}},
      {"DECIMAL(5)",
       Number("12"),
       {adDecimal, 16, kFixed, 5, 0},
       Reading{adNumeric, 19, kFixed, 5, 0}},
      {"DECIMAL(9,2)",
       Number("12.5"),
       {adDecimal, 16, kFixed, 9, 2},
       Reading{adNumeric, 19, kFixed, 9, 2, Number("12.50")}},
      {"BOOLEAN",
       Variant(true),
       {adBoolean, 2, kFixed, 255, 255, {}, "1"},
       Reading{adBoolean, 2, kFixed, 255, 255, {}, "true"}},
      {"BIT", Variant(true), {adBoolean, 2, kFixed}, absent},
      {"TIMESTAMP", stamp, {adDate, 8, kFixed, 255, 255, {}, "2026-12-05 19:29:54"}},
      {"DATETIME", stamp, {adDate, 8, kFixed}, absent},
      // A local time goes in and comes back as it went.
      {"TIMESTAMPTZ", stamp, absent, Reading{adDate, 8, kFixed}},
      {"DATE", stamp, {adDBDate, 6, kFixed, 255, 255, Variant(Date(2026, 12, 5)), "2026-12-05"}},
      {"TIME", stamp, {adDBTime, 6, kFixed, 255, 255, clock, "19:29:54"}},
      {"TIMETZ", stamp, absent, Reading{adDBTime, 6, kFixed, 255, 255, clock}},
      {"CHAR(3)", Variant("abc"), {adChar, 3, kFixed}},
      {"NCHAR(3)", Variant("abc"), {adWChar, 3, kFixed}, absent},
      {"VARCHAR(10)", Variant("it's ?; --"), {adVarChar, 10, kVarying}},
      {"NVARCHAR(10)", Variant("نعم"), {adVarWChar, 10, kVarying}, absent},
      {"VARCHAR", Variant("no length"), {adLongVarWChar, 1073741823, kLong}},
      {"TEXT", Variant("رسالة خطأ"), {adLongVarWChar, 1073741823, kLong}},
      // A value of another kind goes in as its text.
      {"TEXT",
       stamp,
       {adLongVarWChar, 1073741823, kLong, 255, 255, Variant("12/5/2026 7:29:54 PM")}},
      {"NVARCHAR(5)", Variant(true), {adVarWChar, 5, kVarying, 255, 255, Variant("True")}, absent},
      {"BLOB", blob, {adLongVarBinary, 2147483647, kLong}, absent},
      {"BYTEA", blob, absent,
       Reading{adLongVarBinary, 2147483647, kLong, 255, 255, {}, "\\xfafb00fd"}},
      // No declared type: the value keeps its own.
      {"", Variant(int32_t{5}), {adVariant, 16, kVarying}, absent},
  };
  auto reading = [&](const ColumnCase& c) -> const Reading& {
    return Db().IsPostgres() && c.postgres ? *c.postgres : c.sqlite;
  };
  std::vector<std::pair<std::string, const ColumnCase*>> columns;  // c<i> and its case
  std::string create = "CREATE TABLE T (Id INTEGER PRIMARY KEY, Must INTEGER NOT NULL DEFAULT 0";
  for (const ColumnCase& c : cases) {
    if (reading(c).type == 0) continue;
    columns.emplace_back("c" + std::to_string(columns.size()), &c);
    create += ", " + columns.back().first + " " + c.declared;
  }
  Run({create + ")"});

  auto connection = Connect();
  auto rs = std::make_shared<Recordset>();
  rs->CursorLocation(adUseClient);
  rs->Open(Variant("SELECT * FROM T"), Variant(connection), adOpenStatic, adLockOptimistic);
  EXPECT_TRUE(rs->BOF() && rs->EOF_());
  EXPECT_EQ(rs->AbsolutePosition(), adPosUnknown);
  // Row 1 holds the values; row 2 Null written to every column; row 3 sets none of them.
  for (int32_t id = 1; id <= 3; ++id) {
    rs->AddNew();
    rs->Fields()->Item("Id")->Value(Variant(id));
    for (const auto& [name, c] : columns)
      if (id < 3) rs->Fields()->Item(name)->Value(id == 1 ? c->value : Variant::Null());
    rs->Update();
  }
  connection->Close();

  // As read from the database, and from a saved copy of that.
  const std::string path = folder_.File("types.rows");
  Query("SELECT * FROM T ORDER BY Id")->Save(path);
  for (const auto& back : {Query("SELECT * FROM T ORDER BY Id"), OpenSaved(path)}) {
    EXPECT_EQ(back->Fields()->Item("Id")->Attributes(), adFldFixed | adFldKeyColumn);
    EXPECT_EQ(back->Fields()->Item("Must")->Attributes(), adFldFixed);
    for (const auto& [name, c] : columns) {
      SCOPED_TRACE(c->declared);
      const Reading& want = reading(*c);
      auto field = back->Fields()->Item(name);
      std::vector<std::string> values;  // rows 1 to 3
      for (back->MoveFirst(); !back->EOF_(); back->MoveNext())
        values.push_back(Shown(field->Value()));
      EXPECT_EQ(std::tuple(field->Type(), field->DefinedSize(), field->Precision(),
                           field->NumericScale(), field->Attributes(), values),
                std::tuple(want.type, want.size, want.precision, want.scale, want.attributes,
                           std::vector{Shown(want.back.IsEmpty() ? c->value : want.back),
                                       Shown(Variant::Null()), Shown(Variant::Null())}));
    }
  }
  for (const auto& [name, c] : columns) {
    if (reading(*c).stored == nullptr) continue;
    EXPECT_EQ(Db().QueryText("SELECT CAST(" + name + " AS TEXT) FROM T WHERE Id = 1"),
              reading(*c).stored)
        << c->declared;
  }
  // A computed column has no table behind it and may be Null.
  EXPECT_NE(
      Query("SELECT Id + 1 AS Next FROM T")->Fields()->Item(0)->Attributes() & adFldIsNullable, 0);
}

ORVEX_INSTANTIATE_DATABASE_TESTS(ColumnTypesTest);

}  // namespace
}  // namespace orvex::testing
