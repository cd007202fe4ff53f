#include <gtest/gtest.h>

#include <string>

#include "history/packet.h"
#include "history/record_set.h"
#include "tests/support/history_text.h"

// What each field type word of a file does to a history on load: which words bind `licao`,
// what their ranges do to a value, and how a refusal is worded.
namespace tecladim::history {
namespace {

// A one-record history whose `licao` is declared with `typeWord` and holds `value`.
std::string HistoryWithLicaoOf(std::string_view typeWord, std::string_view value) {
  std::string file = testing_support::TrainerHistoryHead;
  const std::string declared = "attrname=\"licao\" fieldtype=\"i4\"";
  file.replace(file.find(declared), declared.size(), "attrname=\"licao\" fieldtype=\"" + std::string(typeWord) + "\"");
  return file + "<PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA><ROWDATA><ROW RowState=\"4\" licao=\"" + std::string(value) +
         "\" data=\"20240305T14:00:00000\" erros=\"0\"/></ROWDATA></DATAPACKET>";
}

// The lesson the history shows, or the load's error text.
std::string LoadedLicao(std::string_view typeWord, std::string_view value) {
  RecordSet set("cds1");
  try {
    set.LoadFromPacket(ReadPacket(HistoryWithLicaoOf(typeWord, value)));
  } catch (const std::exception& e) {
    return e.what();
  }
  const std::u16string shown = set.DisplayText("licao");
  return {shown.begin(), shown.end()};
}

TEST(FieldTypesOnLoad, EachWordBindsLicaoWithinItsRangeOrIsRefusedByItsName) {
  struct Row {
    std::string_view word;
    std::string_view value;
    std::string_view loaded;
  };
  const Row rows[] = {
      {"i4", "192", "192"},
      {"I4", "192", "192"},  // the letter case of a type word does not matter
      {"int", "192", "192"},
      {"i4", "2147483648", "2147483647"},  // a value past its type is held at the type's edge
      {"i4", "-2147483649", "-2147483648"},
      {"i1", "200", "127"},
      {"i1", "-200", "-128"},
      {"i2", "40000", "32767"},
      {"ui1", "-1", "0"},
      {"ui1", "300", "255"},
      {"ui2", "70000", "65535"},
      {"i8", "1", "cds1: Type mismatch for field 'licao', expecting: Integer actual: LargeInt"},
      {"ui4", "1", "cds1: Type mismatch for field 'licao', expecting: Integer actual: LongWord"},
      {"uint", "1", "cds1: Type mismatch for field 'licao', expecting: Integer actual: LongWord"},
      {"string", "1", "cds1: Type mismatch for field 'licao', expecting: Integer actual: String"},
      {"string.uni", "1", "cds1: Type mismatch for field 'licao', expecting: Integer actual: WideString"},
      {"r8", "1", "cds1: Type mismatch for field 'licao', expecting: Integer actual: Float"},
      {"boolean", "1", "cds1: Type mismatch for field 'licao', expecting: Integer actual: Boolean"},
      {"fixed", "1", "cds1: Type mismatch for field 'licao', expecting: Integer actual: BCD"},
      {"dateTime", "20240305T14:00:00000", "cds1: Type mismatch for field 'licao', expecting: Integer actual: DateTime"},
      {"SQLdateTime", "20240305T14:00:00000", "cds1: Type mismatch for field 'licao', expecting: Integer actual: TimeStamp"},
      {"money", "1", "Invalid field type."},
      {"i4 ", "1", "Invalid field type."},
      {"i16", "1", "Invalid field type."},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.word) + " = " + std::string(r.value));
    EXPECT_EQ(LoadedLicao(r.word, r.value), r.loaded);
  }
}

TEST(FieldTypesOnLoad, DataTakesEveryWordOfADateAndATimeAndNoOther) {
  const auto loadedData = [](std::string_view typeWord) -> std::string {
    std::string file = HistoryWithLicaoOf("i4", "1");
    const std::string declared = "attrname=\"data\" fieldtype=\"dateTime\"";
    file.replace(file.find(declared), declared.size(), "attrname=\"data\" fieldtype=\"" + std::string(typeWord) + "\"");
    RecordSet set("cds1");
    try {
      set.LoadFromPacket(ReadPacket(file));
    } catch (const std::exception& e) {
      return e.what();
    }
    const std::u16string shown = set.DisplayText("data");
    return {shown.begin(), shown.end()};
  };
  EXPECT_EQ(loadedData("dateTime"), "05/03/2024 14:00:00");
  EXPECT_EQ(loadedData("DATETIME"), "05/03/2024 14:00:00");
  EXPECT_EQ(loadedData("SQLdateTime"), "05/03/2024 14:00:00");
  EXPECT_EQ(loadedData("date"), "cds1: Type mismatch for field 'data', expecting: DateTime actual: Date");
  EXPECT_EQ(loadedData("time"), "cds1: Type mismatch for field 'data', expecting: DateTime actual: Time");
  EXPECT_EQ(loadedData("SQLdateTimeOffset"),
            "cds1: Type mismatch for field 'data', expecting: DateTime actual: TimeStampOffset");
}

}  // namespace
}  // namespace tecladim::history
