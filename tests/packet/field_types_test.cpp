#include <gtest/gtest.h>

#include "history/field_types.h"

namespace tecladim::history {
namespace {

TEST(FieldTypes, FindFieldType) {
  struct Row {
    std::string_view word;
    ValueKind kind;
    std::int64_t min;
    std::int64_t max;
    std::string_view setName;
    bool holdsHistoryField;
  };
  const Row rows[] = {
      {"i1", ValueKind::Integer, -128, 127, "ShortInt", true},
      {"i2", ValueKind::Integer, -32768, 32767, "SmallInt", true},
      {"i4", ValueKind::Integer, -2147483648LL, 2147483647, "Integer", true},
      {"I4", ValueKind::Integer, -2147483648LL, 2147483647, "Integer", true},
      {"int", ValueKind::Integer, -2147483648LL, 2147483647, "Integer", true},
      {"i8", ValueKind::Integer, INT64_MIN, INT64_MAX, "LargeInt", false},
      {"ui1", ValueKind::Integer, 0, 255, "Byte", true},
      {"ui2", ValueKind::Integer, 0, 65535, "Word", true},
      {"ui4", ValueKind::Integer, 0, 4294967295LL, "LongWord", false},
      {"uint", ValueKind::Integer, 0, 4294967295LL, "LongWord", false},
      {"dateTime", ValueKind::DateTime, 0, 0, "DateTime", true},
      {"DATETIME", ValueKind::DateTime, 0, 0, "DateTime", true},
      {"SQLdateTime", ValueKind::DateTime, 0, 0, "TimeStamp", true},
      {"date", ValueKind::DateTime, 0, 0, "Date", false},
      {"time", ValueKind::DateTime, 0, 0, "Time", false},
      {"SQLdateTimeOffset", ValueKind::DateTime, 0, 0, "TimeStampOffset", false},
      {"r4", ValueKind::Text, 0, 0, "Single", false},
      {"r8", ValueKind::Text, 0, 0, "Float", false},
      {"r10", ValueKind::Text, 0, 0, "Extended", false},
      {"boolean", ValueKind::Text, 0, 0, "Boolean", false},
      {"string", ValueKind::Text, 0, 0, "String", false},
      {"string.uni", ValueKind::Text, 0, 0, "WideString", false},
      {"bin.hex", ValueKind::Text, 0, 0, "Blob", false},
      {"fixed", ValueKind::Text, 0, 0, "BCD", false},
      {"fixedFMT", ValueKind::Text, 0, 0, "FMTBcd", false},
      {"nested", ValueKind::Text, 0, 0, "DataSet", false},
      {"struct", ValueKind::Text, 0, 0, "ADT", false},
      {"IntArray", ValueKind::Text, 0, 0, "Array", false},
      {"UIntArray", ValueKind::Text, 0, 0, "Array", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.word);
    const FieldType* type = FindFieldType(r.word);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->kind, r.kind);
    EXPECT_EQ(type->min, r.min);
    EXPECT_EQ(type->max, r.max);
    EXPECT_EQ(type->setName, r.setName);
    EXPECT_EQ(type->holdsHistoryField, r.holdsHistoryField);
  }
}

TEST(FieldTypes, UnknownWords) {
  for (const std::string_view word : {"money", "", "i4 ", " i4", "i16", "datetime2", "string.un", "currency"}) {
    SCOPED_TRACE(word);
    EXPECT_EQ(FindFieldType(word), nullptr);
  }
}

TEST(FieldTypes, KindOfTypeAnswersFromTheSameTable) {
  ValueKind kind = ValueKind::Text;
  EXPECT_TRUE(KindOfType("ui2", kind));
  EXPECT_EQ(kind, ValueKind::Integer);
  EXPECT_TRUE(KindOfType("sqldatetime", kind));
  EXPECT_EQ(kind, ValueKind::DateTime);
  EXPECT_FALSE(KindOfType("money", kind));
  EXPECT_EQ(kind, ValueKind::DateTime);  // untouched
}

}  // namespace
}  // namespace tecladim::history
