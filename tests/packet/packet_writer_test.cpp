#include <gtest/gtest.h>

#include "history/packet.h"
#include "packet_test_data.h"

namespace tecladim::history {
namespace {

using namespace testdata;

std::string File(const std::string& params, const std::string& rows) {
  return std::string(Head) + params + "</METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

TEST(PacketWriter, EmptyHistoryIsTheFixedHeaderWithEmptyParamsAndNoRows) {
  EXPECT_EQ(WritePacket(HistoryPacket()),
            "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
            "<FIELD attrname=\"licao\" fieldtype=\"i4\"/><FIELD attrname=\"data\" fieldtype=\"dateTime\"/>"
            "<FIELD attrname=\"erros\" fieldtype=\"i4\"/><FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/>"
            "<FIELD attrname=\"fim\" fieldtype=\"dateTime\"/><FIELD attrname=\"tempo\" fieldtype=\"dateTime\"/>"
            "</FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
}

TEST(PacketWriter, OneRecordIsTheWholeFileOfSevenPieces) {
  Packet p = HistoryPacket();
  Append(p, RecordOneValues());
  const std::string expected =
      std::string("<?xml version=\"1.0\" standalone=\"yes\"?>  ") +
      "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>" +
      "<FIELD attrname=\"licao\" fieldtype=\"i4\"/><FIELD attrname=\"data\" fieldtype=\"dateTime\"/>"
      "<FIELD attrname=\"erros\" fieldtype=\"i4\"/>" +
      "<FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/><FIELD attrname=\"fim\" fieldtype=\"dateTime\"/>"
      "<FIELD attrname=\"tempo\" fieldtype=\"dateTime\"/>" +
      "</FIELDS><PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA><ROWDATA>" +
      "<ROW RowState=\"4\" licao=\"1\" data=\"20240305T14:03:27123\" erros=\"3\" inicio=\"20240305T13:58:10000\" "
      "fim=\"20240305T14:03:27000\" tempo=\"18991230T00:05:17000\"/>" +
      "</ROWDATA></DATAPACKET>";
  EXPECT_EQ(WritePacket(p), expected);
}

TEST(PacketWriter, ThreeAppendedRecordsKeepRecordNumberOrderWhateverTheirDates) {
  Packet p = HistoryPacket();
  const CivilDate day{2024, 3, 5};
  Append(p, {1, Ms(day, 14, 0, 0, 0), 0, {}, {}, {}});
  Append(p, {2, Ms(day, 9, 0, 0, 0), 1, {}, {}, {}});  // clock set back
  Append(p, {3, Ms(day, 12, 0, 0, 0), 2, {}, {}, {}});
  EXPECT_EQ(WritePacket(p),
            File("<PARAMS CHANGE_LOG=\"1 0 4 2 0 4 3 0 4\"/>",
                 "<ROW RowState=\"4\" licao=\"1\" data=\"20240305T14:00:00000\" erros=\"0\"/>"
                 "<ROW RowState=\"4\" licao=\"2\" data=\"20240305T09:00:00000\" erros=\"1\"/>"
                 "<ROW RowState=\"4\" licao=\"3\" data=\"20240305T12:00:00000\" erros=\"2\"/>"));
}

struct DateCase {
  const char* name;
  std::int64_t ms;
  const char* text;
};

class PacketWriterDates : public testing::TestWithParam<DateCase> {};

TEST_P(PacketWriterDates, WritesTheDateAndOnlyANonMidnightTime) {
  Packet p = HistoryPacket();
  Append(p, {{}, {}, {}, {}, {}, GetParam().ms}, 0);
  EXPECT_EQ(WritePacket(p), File("<PARAMS/>", std::string("<ROW tempo=\"") + GetParam().text + "\"/>"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, PacketWriterDates,
    testing::Values(
        DateCase{"ZeroDurationIsTheBareBaseDate", 0, "18991230"},
        DateCase{"MidnightInicioIsItsDateAlone", Ms({2024, 3, 5}, 0, 0, 0, 0), "20240305"},
        DateCase{"MillisecondsFillTheFiveSecondDigits", Ms({2024, 3, 5}, 14, 3, 27, 123), "20240305T14:03:27123"},
        DateCase{"OneMillisecondAfterMidnight", Ms({2024, 3, 5}, 0, 0, 0, 1), "20240305T00:00:00001"},
        DateCase{"NegativeDurationUnderADayIsItsMagnitude", -(40 * 60 * 1000), "18991230T00:40:00000"},
        DateCase{"DayBeforeTheBaseKeepsItsTimeOfDay", Ms({1899, 12, 29}, 6, 0, 0, 0), "18991229T06:00:00000"},
        DateCase{"EarlyYearsArePaddedToFourDigits", Ms({12, 1, 2}, 0, 0, 0, 0), "00120102"},
        DateCase{"DurationOfMoreThanADayShowsItsDate", Ms({1899, 12, 31}, 0, 0, 5, 0), "18991231T00:00:05000"},
        DateCase{"LastDayOfYear9999", Ms({9999, 12, 31}, 23, 59, 59, 999), "99991231T23:59:59999"},
        DateCase{"BeyondYear9999IsHeldAtItsLastDay", Ms({9999, 12, 31}, 0, 0, 0, 0) + 3 * MsPerDay, "99991231"},
        DateCase{"FirstDayOfYear1", Ms({1, 1, 1}, 8, 0, 0, 0), "00010101T08:00:00000"},
        DateCase{"BeforeYear1IsHeldAtItsFirstDay", Ms({1, 1, 1}, 0, 0, 0, 0) - 2 * MsPerDay, "00010101"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PacketWriter, BlankFieldsAndStatusZeroAreLeftOut) {
  Packet p = HistoryPacket();
  Append(p, {-5, {}, {}, {}, {}, {}}, 0);
  Append(p, {{}, {}, {}, {}, {}, {}}, 0);
  EXPECT_EQ(WritePacket(p), File("<PARAMS/>", "<ROW licao=\"-5\"/><ROW/>"));
}

Column TextColumn(std::string name, std::vector<std::string> values) {
  Column c;
  c.def.name = std::move(name);
  c.def.type = "string";
  c.kind = ValueKind::Text;
  for (auto& v : values) {
    c.texts.push_back(std::move(v));
    c.present.push_back(1);
  }
  return c;
}

TEST(PacketWriter, TextValuesAreEscapedAndNonAsciiBecomesReferences) {
  Packet p;
  p.columns.push_back(TextColumn("obs", {"<a> & 'b' \"c\"\r\n\t\\ \x01", "ç€", std::string("x\xff", 2)}));
  p.rowStates = {0, 0, 0};
  const std::string text = WritePacket(p);
  EXPECT_NE(text.find("<ROW obs=\"&lt;a&gt; &amp; &apos;b&apos; &quot;c&quot;&#013;&#010;&#009;&#092; &#001;\"/>"
                      "<ROW obs=\"&#231;&#8364;\"/><ROW obs=\"x&#65533;\"/>"),
            std::string::npos)
      << text;
}

TEST(PacketWriter, FieldNamesWithBlanksOrSymbolsGetFieldnameAndUnderscores) {
  Packet p;
  p.columns.push_back(TextColumn("nota (final)?", {"a"}));
  p.columns.push_back(TextColumn("a!#$%*b", {"b"}));
  p.rowStates = {0};
  const std::string text = WritePacket(p);
  EXPECT_NE(text.find("<FIELD fieldname=\"nota (final)?\" attrname=\"nota__final__\" fieldtype=\"string\"/>"
                      "<FIELD fieldname=\"a!#$%*b\" attrname=\"a_____b\" fieldtype=\"string\"/>"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("<ROW nota__final__=\"a\" a_____b=\"b\"/>"), std::string::npos) << text;
}

TEST(PacketWriter, ExtraFieldKeepsItsTypeFlagsAndParamsInItsPlace) {
  Packet p = HistoryPacket();
  Column extra = TextColumn("turma", {"3º B"});
  extra.def.type = "string.uni";
  extra.def.required = true;
  extra.def.params = {{"WIDTH", "40"}};
  p.columns.insert(p.columns.begin() + 3, std::move(extra));
  p.rowStates = {4};
  for (Column& c : p.columns) {
    if (c.kind != ValueKind::Text) {
      c.numbers.push_back(7);
      c.present.push_back(c.def.name == "licao" ? 1 : 0);
    }
  }
  p.params = {{"DEFAULT_ORDER", "data"}};
  const std::string text = WritePacket(p);
  EXPECT_NE(text.find("<FIELD attrname=\"erros\" fieldtype=\"i4\"/>"
                      "<FIELD attrname=\"turma\" fieldtype=\"string.uni\" WIDTH=\"40\" required=\"true\"/>"
                      "<FIELD attrname=\"inicio\""),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("<PARAMS DEFAULT_ORDER=\"data\"/>"), std::string::npos) << text;
  EXPECT_NE(text.find("<ROW RowState=\"4\" licao=\"7\" turma=\"3&#186; B\"/>"), std::string::npos) << text;
}

TEST(PacketWriter, TagnameFieldIsWrittenAsChildElement) {
  Packet p;
  p.columns.push_back(TextColumn("obs", {"a<b", "c"}));
  p.columns[0].def.fromTag = true;
  p.columns[0].present[1] = 0;
  p.rowStates = {0, 4};
  const std::string text = WritePacket(p);
  EXPECT_NE(text.find("<FIELD tagname=\"obs\" fieldtype=\"string\"/>"), std::string::npos) << text;
  EXPECT_NE(text.find("<ROW><obs>a&lt;b</obs></ROW><ROW RowState=\"4\"/>"), std::string::npos) << text;
}

}  // namespace
}  // namespace tecladim::history
