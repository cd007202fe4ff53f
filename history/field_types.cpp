#include "history/field_types.h"

#include <array>
#include <limits>

#include "history/ascii_case.h"

namespace tecladim::history {
namespace {

using Limits8 = std::numeric_limits<std::int8_t>;
using Limits16 = std::numeric_limits<std::int16_t>;
using Limits32 = std::numeric_limits<std::int32_t>;
using Limits64 = std::numeric_limits<std::int64_t>;

constexpr ValueKind Int = ValueKind::Integer;
constexpr ValueKind Date = ValueKind::DateTime;
constexpr ValueKind Text = ValueKind::Text;

constexpr std::array<FieldType, 27> FieldTypes{{
    {"i1", Int, Limits8::min(), Limits8::max(), "ShortInt", true},
    {"i2", Int, Limits16::min(), Limits16::max(), "SmallInt", true},
    {"i4", Int, Limits32::min(), Limits32::max(), "Integer", true},
    {"i8", Int, Limits64::min(), Limits64::max(), "LargeInt", false},
    {"int", Int, Limits32::min(), Limits32::max(), "Integer", true},
    {"ui1", Int, 0, std::numeric_limits<std::uint8_t>::max(), "Byte", true},
    {"ui2", Int, 0, std::numeric_limits<std::uint16_t>::max(), "Word", true},
    {"ui4", Int, 0, std::numeric_limits<std::uint32_t>::max(), "LongWord", false},
    {"uint", Int, 0, std::numeric_limits<std::uint32_t>::max(), "LongWord", false},
    {"date", Date, 0, 0, "Date", false},
    {"time", Date, 0, 0, "Time", false},
    {"dateTime", Date, 0, 0, "DateTime", true},
    {"SQLdateTime", Date, 0, 0, "TimeStamp", true},
    {"SQLdateTimeOffset", Date, 0, 0, "TimeStampOffset", false},
    {"r4", Text, 0, 0, "Single", false},
    {"r8", Text, 0, 0, "Float", false},
    {"r10", Text, 0, 0, "Extended", false},
    {"boolean", Text, 0, 0, "Boolean", false},
    {"string", Text, 0, 0, "String", false},
    {"string.uni", Text, 0, 0, "WideString", false},
    {"bin.hex", Text, 0, 0, "Blob", false},
    {"fixed", Text, 0, 0, "BCD", false},
    {"fixedFMT", Text, 0, 0, "FMTBcd", false},
    {"nested", Text, 0, 0, "DataSet", false},
    {"struct", Text, 0, 0, "ADT", false},
    {"IntArray", Text, 0, 0, "Array", false},
    {"UIntArray", Text, 0, 0, "Array", false},
}};

}  // namespace

const FieldType* FindFieldType(std::string_view word) {
  for (const FieldType& t : FieldTypes)
    if (EqualIgnoringAsciiCase(t.word, word)) return &t;
  return nullptr;
}

bool KindOfType(std::string_view typeWord, ValueKind& kind) {
  const FieldType* type = FindFieldType(typeWord);
  if (type == nullptr) return false;
  kind = type->kind;
  return true;
}

}  // namespace tecladim::history
