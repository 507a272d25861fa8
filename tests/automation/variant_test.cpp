#include <gtest/gtest.h>

#include "orvex/dispatch.hpp"
#include "orvex/variant.hpp"
#include "support/automation_matchers.hpp"

namespace orvex {
namespace {

struct PlainObject : Object {};

TEST(Variant, ReportsTheSubtypeOfEachConstructor) {
  EXPECT_EQ(Variant().VarType(), vbEmpty);
  EXPECT_EQ(Variant::Null().VarType(), vbNull);
  EXPECT_EQ(Variant(int16_t{2}).VarType(), vbInteger);
  EXPECT_EQ(Variant(int32_t{2}).VarType(), vbLong);
  EXPECT_EQ(Variant(uint8_t{2}).VarType(), vbByte);
  EXPECT_EQ(Variant(1.5f).VarType(), vbSingle);
  EXPECT_EQ(Variant(1.5).VarType(), vbDouble);
  EXPECT_EQ(Variant(Currency{15000}).VarType(), vbCurrency);
  EXPECT_EQ(Variant(Date(2020, 1, 2)).VarType(), vbDate);
  EXPECT_EQ(Variant("text").VarType(), vbString);
  EXPECT_EQ(Variant(std::string("text")).VarType(), vbString);
  EXPECT_EQ(Variant(true).VarType(), vbBoolean);
  EXPECT_EQ(Variant(Decimal::FromInt64(3)).VarType(), vbDecimal);
  EXPECT_EQ(Variant(TErrorObject{}).VarType(), vbUserDefinedType);
  EXPECT_EQ(Variant(TDllErrorInfo{}).VarType(), vbUserDefinedType);
  EXPECT_EQ(Variant(nullptr).VarType(), vbObject);
  EXPECT_EQ(Variant(std::make_shared<PlainObject>()).VarType(), vbObject);
  EXPECT_EQ(Variant::Error(5).VarType(), vbError);
  EXPECT_EQ(Variant(SafeArray(0, 2)).VarType(), vbArray | vbVariant);
  SafeArray strings(1, 2);
  strings.SetElementType(vbString);
  EXPECT_EQ(Variant(strings).VarType(), vbArray | vbString);
}

TEST(Variant, MissingIsTheParameterNotFoundError) {
  const Variant missing = Variant::Missing();
  EXPECT_TRUE(missing.IsMissing());
  EXPECT_EQ(missing.VarType(), vbError);
  EXPECT_EQ(missing.ErrorCode(), static_cast<int32_t>(0x80020004u));
  EXPECT_FALSE(Variant::Error(2042).IsMissing());
  EXPECT_FALSE(Variant().IsMissing());
}

TEST(Variant, RawAccessRaisesTypeMismatchOnAnotherSubtype) {
  EXPECT_EQ(Variant(int32_t{7}).I4(), 7);
  EXPECT_EQ(Variant("abc").Str(), "abc");
  EXPECT_AUTOMATION_ERROR(Variant(int32_t{7}).I2(), 13, "", "Type mismatch");
  EXPECT_AUTOMATION_ERROR(Variant("7").I4(), 13, "", "");
  EXPECT_AUTOMATION_ERROR(Variant().Str(), 13, "", "");
  EXPECT_AUTOMATION_ERROR(Variant(1.0).Array(), 13, "", "");
  EXPECT_AUTOMATION_ERROR(Variant(1.0).AsErrorObject(), 13, "", "");
}

TEST(Variant, GivesObjectsAndRecordsBack) {
  TErrorObject error{5, "Invalid", 3, "help.chm", 0, "Src"};
  EXPECT_EQ(Variant(error).AsErrorObject(), error);
  EXPECT_AUTOMATION_ERROR(Variant(error).AsDllErrorInfo(), 13, "", "");

  EXPECT_EQ(Variant(nullptr).AsObject(), nullptr);
  EXPECT_EQ(Variant::Nothing().AsObjectRef(), nullptr);
  auto plain = std::make_shared<PlainObject>();
  const Variant holder(plain);
  EXPECT_EQ(holder.AsObjectRef(), plain);
  EXPECT_EQ(holder.AsObjectOf<PlainObject>(), plain);
  // An object that is not late-bound cannot be handed out as one.
  EXPECT_AUTOMATION_ERROR(holder.AsObject(), 13, "", "");
  EXPECT_AUTOMATION_ERROR(Variant("x").AsObject(), 13, "", "");
}

TEST(Variant, CopiesArraysDeeply) {
  Variant original(SafeArray::Of(0, {Variant(int32_t{1}), Variant("two")}));
  Variant copy = original;
  copy.Array()[0] = Variant(int32_t{99});
  EXPECT_EQ(original.Array()[0].I4(), 1);
  EXPECT_EQ(copy.Array()[0].I4(), 99);

  Variant assigned;
  assigned = original;
  original.Array()[1] = Variant("changed");
  EXPECT_EQ(assigned.Array()[1].Str(), "two");

  // Nested arrays are copied at every level.
  Variant outer(SafeArray::Of(1, {original}));
  Variant outerCopy = outer;
  outerCopy.Array()[1].Array()[0] = Variant(int32_t{7});
  EXPECT_EQ(outer.Array()[1].Array()[0].I4(), 1);
}

TEST(Variant, MovedFromVariantReadsAsEmpty) {
  Variant source("text");
  Variant target(std::move(source));
  EXPECT_EQ(target.Str(), "text");
  EXPECT_EQ(source.VarType(), vbEmpty);  // NOLINT(bugprone-use-after-move)
  source = Variant(int16_t{4});
  EXPECT_EQ(source.I2(), 4);
}

}  // namespace
}  // namespace orvex
