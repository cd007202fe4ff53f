#include <gtest/gtest.h>

#include "history/packet.h"
#include "packet_test_data.h"

namespace tecladim::history {
namespace {

using namespace testdata;

const char* const Fields =
    "<FIELDS><FIELD attrname=\"licao\" fieldtype=\"i4\"/><FIELD attrname=\"data\" fieldtype=\"dateTime\"/>"
    "<FIELD attrname=\"erros\" fieldtype=\"i4\"/><FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/>"
    "<FIELD attrname=\"fim\" fieldtype=\"dateTime\"/><FIELD attrname=\"tempo\" fieldtype=\"dateTime\"/></FIELDS>";

std::string OneRecordFile() {
  return std::string(Head) + "<PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA><ROWDATA>" + RecordOne +
         "</ROWDATA></DATAPACKET>";
}

Packet OneRecordPacket() {
  Packet p = HistoryPacket();
  Append(p, RecordOneValues());
  return p;
}

TEST(PacketReader, ReadsBackWhatTheWriterWrote) {
  Packet p = HistoryPacket();
  Append(p, RecordOneValues());
  Append(p, {157, Ms({2024, 1, 1}, 0, 0, 0, 0), 0, {}, Ms({1899, 12, 29}, 23, 0, 0, 0), 0});
  Append(p, {{}, {}, {}, {}, {}, {}}, 0);
  EXPECT_EQ(ReadPacket(WritePacket(p)), p);
  EXPECT_EQ(ReadPacket(OneRecordFile()), OneRecordPacket());
}

TEST(PacketReader, NegativeDurationUnderADayReadsBackAsItsMagnitude) {
  Packet p = HistoryPacket();
  Append(p, {{}, {}, {}, {}, {}, -(40 * 60 * 1000)});
  EXPECT_EQ(ReadPacket(WritePacket(p)).columns[5].numbers[0], 40 * 60 * 1000);
}

struct VariantCase {
  const char* name;
  std::string text;
};

class PacketReaderVariants : public testing::TestWithParam<VariantCase> {};

TEST_P(PacketReaderVariants, LoadsToTheSameHistory) {
  EXPECT_EQ(ReadPacket(GetParam().text), OneRecordPacket());
}

INSTANTIATE_TEST_SUITE_P(
    Files, PacketReaderVariants,
    testing::Values(
        VariantCase{"LineBreaksAndIndentation",
                    "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">\r\n  <METADATA>\n"
                    "    <FIELDS>\n      <FIELD attrname=\"licao\" fieldtype=\"i4\"/>\n"
                    "      <FIELD attrname=\"data\" fieldtype=\"dateTime\" />\n\t<FIELD attrname=\"erros\" fieldtype=\"i4\"/>\n"
                    "<FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/><FIELD attrname=\"fim\" fieldtype=\"dateTime\"/>"
                    "<FIELD attrname=\"tempo\" fieldtype=\"dateTime\"/>\n    </FIELDS>\n"
                    "    <PARAMS CHANGE_LOG=\"1 0 4\"/>\n  </METADATA>\n  <ROWDATA>\n    " +
                        std::string(RecordOne) + "\n  </ROWDATA>\n</DATAPACKET>\n"},
        VariantCase{"AttributesInAnotherOrder",
                    "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD fieldtype=\"i4\" attrname=\"licao\"/>"
                    "<FIELD fieldtype=\"dateTime\" attrname=\"data\"/><FIELD fieldtype=\"i4\" attrname=\"erros\"/>"
                    "<FIELD fieldtype=\"dateTime\" attrname=\"inicio\"/><FIELD fieldtype=\"dateTime\" attrname=\"fim\"/>"
                    "<FIELD fieldtype=\"dateTime\" attrname=\"tempo\"/></FIELDS><PARAMS CHANGE_LOG=\"1 0 4\"/>"
                    "</METADATA><ROWDATA><ROW tempo=\"18991230T00:05:17000\" fim=\"20240305T14:03:27000\" "
                    "erros=\"3\" inicio=\"20240305T13:58:10000\" data=\"20240305T14:03:27123\" licao=\"1\" "
                    "RowState=\"4\"/></ROWDATA></DATAPACKET>"},
        VariantCase{"DeclarationWithEncodingUtf8AndByteOrderMark",
                    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>" +
                        OneRecordFile().substr(40)},
        VariantCase{"CommentsAndInstructionsBetweenElements",
                    "<!-- history --><?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><!-- a --><METADATA>" +
                        std::string(Fields) + "<!-- b --><PARAMS CHANGE_LOG=\"1 0 4\"/><?pi x?></METADATA>"
                        "<ROWDATA><!-- c -->" + RecordOne + "</ROWDATA></DATAPACKET><!-- end -->"},
        VariantCase{"NoDataPacketAroundTheRest",
                    "<METADATA>" + std::string(Fields) + "<PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA><ROWDATA>" +
                        RecordOne + "</ROWDATA>"},
        VariantCase{"ExtraElementsAndUnusedRowAttributesArePassedOver",
                    "<DATAPACKET><METADATA>" + std::string(Fields) +
                        "<PARAMS CHANGE_LOG=\"1 0 4\"><PARAM Name=\"x\" Value=\"1\"/></PARAMS><INDEXES><I/></INDEXES>"
                        "</METADATA><ROWDATA><ROW RowState=\"4\" licao=\"1\" data=\"20240305T14:03:27123\" "
                        "erros=\"3\" inicio=\"20240305T13:58:10000\" fim=\"20240305T14:03:27000\" "
                        "tempo=\"18991230T00:05:17000\" other=\"9\"/></ROWDATA><TRAILER/></DATAPACKET>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PacketReader, TagnameFieldsReadFromChildElements) {
  Packet p = ReadPacket(
      "<METADATA><FIELDS><FIELD tagname=\"licao\" fieldtype=\"i4\"/>"
                    "<FIELD attrname=\"data\" fieldtype=\"dateTime\"/><FIELD tagname=\"erros\" fieldtype=\"i4\"/>"
                    "<FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/><FIELD attrname=\"fim\" fieldtype=\"dateTime\"/>"
                    "<FIELD attrname=\"tempo\" fieldtype=\"dateTime\"/></FIELDS><PARAMS CHANGE_LOG=\"1 0 4\"/></METADATA>"
                    "<ROWDATA><ROW RowState=\"4\" data=\"20240305T14:03:27123\" inicio=\"20240305T13:58:10000\" "
                    "fim=\"20240305T14:03:27000\" tempo=\"18991230T00:05:17000\"><licao>1</licao> <erros>3<!--x--></erros>"
                    "</ROW></ROWDATA>");
  EXPECT_TRUE(p.columns[0].def.fromTag);
  EXPECT_TRUE(p.columns[2].def.fromTag);
  p.columns[0].def.fromTag = p.columns[2].def.fromTag = false;
  EXPECT_EQ(p, OneRecordPacket());
}

TEST(PacketReader, TagnameFieldsAreRememberedAsSuch) {
  const Packet p = ReadPacket(
      "<METADATA><FIELDS><FIELD tagname=\"licao\" fieldtype=\"i4\"/></FIELDS></METADATA>"
      "<ROWDATA><ROW><licao>12</licao></ROW><ROW><licao/></ROW><ROW/></ROWDATA>");
  ASSERT_EQ(p.columns.size(), 1u);
  EXPECT_TRUE(p.columns[0].def.fromTag);
  EXPECT_EQ(p.columns[0].numbers[0], 12);
  EXPECT_EQ(p.columns[0].present, (std::vector<std::uint8_t>{1, 0, 0}));
}

TEST(PacketReader, RowWithoutRowStateHasStatusZeroAndIsSavedWithoutIt) {
  const std::string file = std::string(Head) + "<PARAMS/></METADATA><ROWDATA><ROW licao=\"5\"/></ROWDATA></DATAPACKET>";
  const Packet p = ReadPacket(file);
  EXPECT_EQ(p.rowStates, std::vector<std::uint8_t>{0});
  EXPECT_TRUE(p.changeLog.empty());
  EXPECT_EQ(WritePacket(p), file);
}

TEST(PacketReader, RowWithoutErrosHasErrosBlank) {
  const Packet p = ReadPacket(std::string(Head) + "<PARAMS/></METADATA><ROWDATA><ROW licao=\"5\"/></ROWDATA></DATAPACKET>");
  EXPECT_EQ(p.columns[2].def.name, "erros");
  EXPECT_EQ(p.columns[2].present[0], 0);
  EXPECT_EQ(p.columns[0].present[0], 1);
}

TEST(PacketReader, SeventhFieldWithItsParamsSurvivesTheNextSave) {
  const std::string file =
      std::string(Head).insert(std::string(Head).find("</FIELDS>"),
                               "<FIELD attrname=\"turma\" fieldtype=\"string\" WIDTH=\"10\" readonly=\"TRUE\"/>") +
      "<PARAMS CHANGE_LOG=\"1 0 4\" LCID=\"1046\"><PARAM Name=\"p\" Value=\"1\"/></PARAMS></METADATA><ROWDATA>"
      "<ROW RowState=\"4\" licao=\"1\" turma=\"3&#186; &lt;B&gt;\"/><ROW RowState=\"4\" licao=\"2\"/></ROWDATA></DATAPACKET>";
  const Packet p = ReadPacket(file);
  ASSERT_EQ(p.columns.size(), 7u);
  const Column& turma = p.columns[6];
  EXPECT_EQ(turma.def.name, "turma");
  EXPECT_EQ(turma.kind, ValueKind::Text);
  EXPECT_TRUE(turma.def.readonly);
  EXPECT_EQ(turma.def.params, (std::vector<std::pair<std::string, std::string>>{{"WIDTH", "10"}}));
  EXPECT_EQ(turma.texts[0], "3º <B>");
  EXPECT_EQ(turma.present, (std::vector<std::uint8_t>{1, 0}));
  EXPECT_EQ(p.params, (std::vector<std::pair<std::string, std::string>>{{"LCID", "1046"}}));
  EXPECT_EQ(p.changeLog, (std::vector<ChangeLogEntry>{{1, 0, 4}}));
  const std::string saved = WritePacket(p);
  EXPECT_NE(saved.find("<FIELD attrname=\"turma\" fieldtype=\"string\" WIDTH=\"10\" readonly=\"true\"/>"),
            std::string::npos);
  EXPECT_NE(saved.find("<PARAMS CHANGE_LOG=\"1 0 4\" LCID=\"1046\"/>"), std::string::npos);
  EXPECT_NE(saved.find("turma=\"3&#186; &lt;B&gt;\""), std::string::npos);
  EXPECT_EQ(ReadPacket(saved), p);
}

TEST(PacketReader, FieldnameGivesTheNameAndRowsUseAttrname) {
  const Packet p = ReadPacket(
      "<METADATA><FIELDS><FIELD fieldname=\"nota final\" attrname=\"nota_final\" fieldtype=\"i2\"/></FIELDS>"
      "</METADATA><ROWDATA><ROW nota_final=\"99999\"/></ROWDATA>");
  EXPECT_EQ(p.columns[0].def.name, "nota final");
  EXPECT_EQ(p.columns[0].numbers[0], 32767);  // clamped to the i2 range
  EXPECT_EQ(ReadPacket(WritePacket(p)), p);
}

TEST(PacketReader, ChangeLogOfManyEntriesIsReadWhole) {
  std::string log;
  for (int k = 1; k <= 1000; ++k) {
    if (k > 1) log += ' ';
    log += std::to_string(k);
    log += " 0 4";
  }
  const Packet p = ReadPacket(std::string(Head) + "<PARAMS CHANGE_LOG=\"" + log + " 7\"/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
  ASSERT_EQ(p.changeLog.size(), 1000u);  // the incomplete last entry is dropped
  EXPECT_EQ(p.changeLog[999], (ChangeLogEntry{1000, 0, 4}));
}

struct ValueCase {
  const char* name;
  const char* type;
  const char* text;
  std::optional<std::int64_t> value;
};

class PacketReaderValues : public testing::TestWithParam<ValueCase> {};

TEST_P(PacketReaderValues, ReadsLeniently) {
  const Packet p = ReadPacket(std::string("<METADATA><FIELDS><FIELD attrname=\"v\" fieldtype=\"") + GetParam().type +
                               "\"/></FIELDS></METADATA><ROWDATA><ROW v=\"" + GetParam().text + "\"/></ROWDATA>");
  const Column& c = p.columns[0];
  if (GetParam().value) {
    ASSERT_EQ(c.present[0], 1);
    EXPECT_EQ(c.numbers[0], *GetParam().value);
  } else {
    EXPECT_EQ(c.present[0], 0);
    EXPECT_EQ(c.numbers[0], 0);
  }
}

const CivilDate March5{2024, 3, 5};

INSTANTIATE_TEST_SUITE_P(
    Integers, PacketReaderValues,
    testing::Values(ValueCase{"Plain", "i4", "123", 123}, ValueCase{"TypeWordInCapitals", "I4", "9", 9}, ValueCase{"BlanksAndSign", "i4", "  -7", -7},
                    ValueCase{"PlusSign", "i4", "+3", 3}, ValueCase{"TrailingTextIgnored", "i4", "5x", 5},
                    ValueCase{"LetterFirstIsBlank", "i4", "x5", std::nullopt},
                    ValueCase{"EmptyIsBlank", "i4", "", std::nullopt},
                    ValueCase{"NoDigitIsBlank", "i4", "-", std::nullopt},
                    ValueCase{"SymbolBeforeDigitIsZero", "i4", "#5", 0},
                    ValueCase{"ReferenceIsDecoded", "i4", "&#52;2", 42},
                    ValueCase{"I4OverflowIsClamped", "i4", "99999999999", 2147483647},
                    ValueCase{"I4UnderflowIsClamped", "i4", "-99999999999999999999999999", -2147483648LL},
                    ValueCase{"I8TakesTheWholeRange", "i8", "-9223372036854775808", INT64_MIN},
                    ValueCase{"UnsignedNegativeIsZero", "ui4", "-3", 0},
                    ValueCase{"UnsignedWide", "uint", "4294967295", 4294967295LL}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Dates, PacketReaderValues,
    testing::Values(ValueCase{"DateAlone", "dateTime", "20240305", Ms(March5, 0, 0, 0, 0)},
                    ValueCase{"DateAndTime", "dateTime", "20240305T14:03:27123", Ms(March5, 14, 3, 27, 123)},
                    ValueCase{"SeparatorsPassedOver", "dateTime", "2024-03-05", Ms(March5, 0, 0, 0, 0)},
                    ValueCase{"ShortSecondsPaddedRight", "dateTime", "20240305T10:20:30", Ms(March5, 10, 20, 30, 0)},
                    ValueCase{"TimeNotDirectlyAfterDateIgnored", "date", "20240305 T10:20:30000", Ms(March5, 0, 0, 0, 0)},
                    ValueCase{"HourOutOfRangeKeepsTheDate", "dateTime", "20240305T24:00:00000", Ms(March5, 0, 0, 0, 0)},
                    ValueCase{"SecondsOutOfRangeKeepTheDate", "dateTime", "20240305T10:00:60000", Ms(March5, 0, 0, 0, 0)},
                    ValueCase{"DayBeforeTheBase", "dateTime", "18991229T06:00:00000", Ms({1899, 12, 29}, 6, 0, 0, 0)},
                    ValueCase{"MonthAboveTwelveIsBlank", "dateTime", "20241305", std::nullopt},
                    ValueCase{"DayAboveThirtyOneIsBlank", "dateTime", "20240332", std::nullopt},
                    ValueCase{"DayTheMonthLacksIsBlank", "dateTime", "20230229", std::nullopt},
                    ValueCase{"MonthZeroIsBlank", "dateTime", "20240005", std::nullopt},
                    ValueCase{"YearZeroIsBlank", "dateTime", "00000101", std::nullopt},
                    ValueCase{"TooFewDigitsIsBlank", "dateTime", "2024035", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct TextCase {
  const char* name;
  std::string file;
  std::string value;
};

class PacketReaderTexts : public testing::TestWithParam<TextCase> {};

TEST_P(PacketReaderTexts, DecodesToUtf8) {
  const Packet p = ReadPacket(GetParam().file);
  EXPECT_EQ(p.columns[0].texts[0], GetParam().value);
  EXPECT_EQ(ReadPacket(WritePacket(p)), p);
}

std::string TextFile(const std::string& prolog, const std::string& value) {
  return prolog + "<METADATA><FIELDS><FIELD attrname=\"t\" fieldtype=\"string\"/></FIELDS></METADATA>"
                  "<ROWDATA><ROW t=\"" + value + "\"/></ROWDATA>";
}

INSTANTIATE_TEST_SUITE_P(
    References, PacketReaderTexts,
    testing::Values(
        TextCase{"FiveEntities", TextFile("", "&lt;&gt;&amp;&apos;&quot;"), "<>&'\""},
        TextCase{"NumericReferences", TextFile("", "&#013;&#010;&#x41;&#231;&#x1F600;"), "\r\nAç\xF0\x9F\x98\x80"},
        TextCase{"UnknownReferencesKeptAsWritten", TextFile("", "&nbsp; &#xD800; &#99999999; & x"),
                 "&nbsp; &#xD800; &#99999999; & x"},
        TextCase{"AnsiFileIsWindows1252", TextFile("", "caf\xe9 \x80"), "café €"},
        TextCase{"DeclaredUtf8KeepsItsBytes", TextFile("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "ção"), "ção"},
        TextCase{"ByteOrderMarkMeansUtf8", TextFile("\xEF\xBB\xBF", "ção"), "ção"},
        TextCase{"InvalidUtf8DespiteDeclarationIsAnsi",
                 TextFile("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "\xe7\xe3o"), "ção"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DamageCase {
  const char* name;
  std::string file;
  PacketErrorKind kind;
  std::size_t offset;  // where reading stopped
};

class PacketReaderDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(PacketReaderDamage, FailsWithTheReadersError) {
  try {
    ReadPacket(GetParam().file);
    FAIL() << "loaded";
  } catch (const PacketError& e) {
    EXPECT_EQ(e.kind(), GetParam().kind);
    EXPECT_STREQ(e.what(), PacketErrorText(GetParam().kind));
    EXPECT_EQ(e.offset(), GetParam().offset);
  }
}

std::string Nested(int depth) {
  std::string open, close;
  for (int i = 0; i < depth - 3; ++i) {
    open += "<a>";
    close += "</a>";
  }
  // DATAPACKET, ROWDATA and ROW are three of the open elements.
  return "<DATAPACKET><METADATA><FIELDS/></METADATA><ROWDATA><ROW>" + open + close + "</ROW></ROWDATA></DATAPACKET>";
}

const std::string Meta = "<METADATA><FIELDS>";

INSTANTIATE_TEST_SUITE_P(
    Files, PacketReaderDamage,
    testing::Values(
        DamageCase{"FileOfZeros", std::string(64, '\0'), PacketErrorKind::Mismatch, 0},
        DamageCase{"TextDocument", "  Caro aluno,\nbom dia.", PacketErrorKind::Mismatch, 2},
        DamageCase{"RowDataFirst", "<?xml version=\"1.0\"?><ROWDATA><ROW/></ROWDATA>", PacketErrorKind::NoMetaData, 21},
        DamageCase{"RowDataFirstInsideDataPacket", "<DATAPACKET Version=\"2.0\"> <ROWDATA></ROWDATA></DATAPACKET>",
                   PacketErrorKind::NoMetaData, 27},
        DamageCase{"OtherElementFirst", "<DATAPACKET><PARAMS/></DATAPACKET>", PacketErrorKind::Mismatch, 12},
        DamageCase{"FieldTypeMoney", Meta + "<FIELD attrname=\"x\" fieldtype=\"money\"/></FIELDS></METADATA><ROWDATA/>",
                   PacketErrorKind::InvalidFieldType, 18},
        DamageCase{"MissingFieldType", Meta + "<FIELD attrname=\"x\"/></FIELDS></METADATA><ROWDATA/>",
                   PacketErrorKind::InvalidFieldType, 18},
        DamageCase{"MissingAttrname", Meta + "<FIELD fieldtype=\"i4\"/></FIELDS></METADATA><ROWDATA/>",
                   PacketErrorKind::Mismatch, 18},
        DamageCase{"MetadataWithoutFields", "<METADATA><PARAMS/></METADATA><ROWDATA/>", PacketErrorKind::Mismatch, 10},
        DamageCase{"NoRowDataAfterMetadata", "<METADATA><FIELDS/></METADATA><ROWS/>", PacketErrorKind::Mismatch, 30},
        DamageCase{"RowDataSpelledOtherwise", "<METADATA><FIELDS/></METADATA><RowData/>", PacketErrorKind::Mismatch, 30},
        DamageCase{"FirstRowNotNamedRow", "<METADATA><FIELDS/></METADATA><ROWDATA><R/></ROWDATA>",
                   PacketErrorKind::Mismatch, 39},
        DamageCase{"MismatchedEndTag", "<METADATA><FIELDS></FIELD></METADATA><ROWDATA/>", PacketErrorKind::Mismatch, 20},
        DamageCase{"SingleQuotedAttribute", "<METADATA><FIELDS><FIELD attrname='x'/>", PacketErrorKind::Mismatch, 34},
        DamageCase{"BlankBeforeEquals", "<METADATA><FIELDS><FIELD attrname =\"x\"/>", PacketErrorKind::Mismatch, 33},
        DamageCase{"UnterminatedComment", "<!-- forever", PacketErrorKind::Mismatch, 12},
        DamageCase{"SixtyFourNestedElements", Nested(64), PacketErrorKind::Mismatch, 56 + 60 * 3},
        DamageCase{"BinaryForm", std::string("\x96\x19\xE0\xBD\x03\x00\x01\x00<DATAPACKET>", 20),
                   PacketErrorKind::Mismatch, 0},
        DamageCase{"OldBinaryForm", std::string("\xCD\xAB\x00\x00<DATAPACKET>", 16), PacketErrorKind::Mismatch, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// The rows above compare with PacketErrorText itself, so a typo in a text passed them all.
TEST(PacketReader, ErrorTextsAreWordForWordWhatTheErrorDisplayShows) {
  struct Row {
    const char* name;
    std::string file;
    const char* text;
  };
  const Row rows[] = {
      {"text document", "Caro aluno,", "Mismatch in datapacket."},
      {"rows before the metadata", "<?xml version=\"1.0\"?><ROWDATA><ROW/></ROWDATA>", "Datapacket contains no meta data."},
      {"money", Meta + "<FIELD attrname=\"x\" fieldtype=\"money\"/></FIELDS></METADATA><ROWDATA/>", "Invalid field type."},
      {"no fieldtype", Meta + "<FIELD attrname=\"x\"/></FIELDS></METADATA><ROWDATA/>", "Invalid field type."},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    try {
      ReadPacket(r.file);
      ADD_FAILURE() << "loaded";
    } catch (const PacketError& e) {
      EXPECT_STREQ(e.what(), r.text);
    }
  }
  EXPECT_STREQ(PacketErrorText(PacketErrorKind::Mismatch), "Mismatch in datapacket.");
  EXPECT_STREQ(PacketErrorText(PacketErrorKind::NoMetaData), "Datapacket contains no meta data.");
  EXPECT_STREQ(PacketErrorText(PacketErrorKind::InvalidFieldType), "Invalid field type.");
}

TEST(PacketReader, SixtyThreeNestedElementsAreStillRead) {
  EXPECT_EQ(ReadPacket(Nested(MaxOpenElements)).RowCount(), 1u);
}

TEST(PacketReader, TruncatedAtEveryByteFailsWithMismatch) {
  Packet p = HistoryPacket();
  Append(p, RecordOneValues());
  Append(p, {2, {}, 0, {}, {}, {}});
  const std::string file = WritePacket(p);
  for (std::size_t n = 0; n < file.size(); ++n) {
    try {
      ReadPacket(std::string_view(file).substr(0, n));
      ADD_FAILURE() << "loaded when cut at " << n;
    } catch (const PacketError& e) {
      EXPECT_EQ(e.kind(), PacketErrorKind::Mismatch) << n;
      EXPECT_LE(e.offset(), n);
    }
  }
}

// Used to make the reader reserve gigabytes: blank fields cost memory but no file bytes,
// so a small file of many empty rows over many text fields exhausted memory.
TEST(PacketReader, WideFileOfEmptyRowsIsRefusedInsteadOfExhaustingMemory) {
  std::string file = "<METADATA><FIELDS>";
  for (int i = 0; i < 2000; ++i) file += "<F attrname=\"f" + std::to_string(i) + "\" fieldtype=\"string\"/>";
  file += "</FIELDS></METADATA><ROWDATA>";
  for (int i = 0; i < 100000; ++i) file += "<ROW/>";
  file += "</ROWDATA>";
  EXPECT_THROW(ReadPacket(file), PacketError);
}

// Used to lose values: "a b" is written as attrname "a_b", the name another field already had.
TEST(PacketReader, FieldsWhoseNamesWriteAlikeKeepTheirOwnValues) {
  const Packet p = ReadPacket(
      "<METADATA><FIELDS><FIELD fieldname=\"a b\" attrname=\"x\" fieldtype=\"i4\"/>"
      "<FIELD attrname=\"a_b\" fieldtype=\"i4\"/><FIELD attrname=\"RowState\" fieldtype=\"i4\"/></FIELDS></METADATA>"
      "<ROWDATA><ROW x=\"1\" a_b=\"2\" RowState=\"300\"/></ROWDATA>");
  EXPECT_EQ(p.rowStates[0], 255);
  const Packet again = ReadPacket(WritePacket(p));
  EXPECT_EQ(again, p);
  EXPECT_EQ(again.columns[0].numbers[0], 1);
  EXPECT_EQ(again.columns[1].numbers[0], 2);
  EXPECT_EQ(again.columns[2].numbers[0], 300);
}

TEST(PacketReader, FirstAttributeOfANameCountsForEveryFieldOfThatName) {
  const Packet p = ReadPacket(
      "<METADATA><FIELDS><FIELD attrname=\"n\" fieldtype=\"i4\"/><FIELD attrname=\"n\" fieldtype=\"string\"/>"
      "</FIELDS></METADATA><ROWDATA><ROW n=\"x\" n=\"5\"/></ROWDATA>");
  EXPECT_EQ(p.columns[0].present[0], 0);  // "x" is no integer; the later "5" is not taken
  EXPECT_EQ(p.columns[1].texts[0], "x");
  EXPECT_EQ(ReadPacket(WritePacket(p)), p);
}

TEST(PacketReader, RowsLongerThanTheFirstOnesAreAllRead) {
  std::string file = "<METADATA><FIELDS><FIELD attrname=\"t\" fieldtype=\"string\"/></FIELDS></METADATA><ROWDATA>";
  for (int i = 0; i < 100; ++i) file += "<ROW/>";
  for (int i = 0; i < 3000; ++i) file += "<ROW t=\"" + std::string(40, 'a') + std::to_string(i) + "\"/>";
  file += "</ROWDATA>";
  const Packet p = ReadPacket(file);
  ASSERT_EQ(p.RowCount(), 3100u);
  EXPECT_EQ(p.columns[0].texts[3099], std::string(40, 'a') + "2999");
  EXPECT_EQ(p.columns[0].present[99], 0);
}

// Used to write a file that no longer read: a name holding a quote or "=" went into the
// rows unchanged.
TEST(PacketReader, FieldNameWithMarkupCharactersStaysReadable) {
  Packet p;
  Column c;
  c.def.name = "a=\"b\" <c>ç";
  c.def.type = "i4";
  c.kind = ValueKind::Integer;
  c.numbers = {5};
  c.present = {1};
  p.columns.push_back(c);
  p.rowStates = {0};
  EXPECT_EQ(ReadPacket(WritePacket(p)), p);
}

}  // namespace
}  // namespace tecladim::history

namespace tecladim::history {
namespace {

using namespace testdata;

bool Bent(const std::string& file) {
  ReadReport report;
  ReadPacket(file, report);
  return report.bent;
}

std::string WithRow(const std::string& row, const std::string& params = "<PARAMS CHANGE_LOG=\"1 0 4\"/>") {
  return std::string(Head) + params + "</METADATA><ROWDATA>" + row + "</ROWDATA></DATAPACKET>";
}

// What the writer writes reads back unbent, whatever it holds: the first save after a
// bent load must not be taken for another bend at the next start.
TEST(PacketReaderBends, NothingTheWriterWritesIsBent) {
  Packet p = HistoryPacket();
  Append(p, RecordOneValues());
  Append(p, {-2147483647 - 1, Ms({1, 1, 1}, 0, 0, 0, 0), 2147483647, {}, Ms({1899, 12, 29}, 23, 59, 59, 999), 0});
  Append(p, {{}, {}, {}, {}, {}, {}}, 0);
  Column turma;
  turma.def.name = "turma";
  turma.def.type = "string";
  turma.def.fromTag = true;
  turma.texts = {"3º <B> & \"x\"", "", ""};
  turma.present = {1, 0, 1};
  p.columns.push_back(turma);
  p.params = {{"LCID", "1046"}};
  EXPECT_FALSE(Bent(WritePacket(p)));
  EXPECT_FALSE(Bent(WritePacket(HistoryPacket())));
  EXPECT_FALSE(Bent(OneRecordFile()));
}

struct BendCase {
  const char* name;
  std::string file;
};

class PacketReaderBends : public testing::TestWithParam<BendCase> {};

// Each was read (leniently, as before) into something a save would write differently.
TEST_P(PacketReaderBends, FileTheSaveWouldNotGiveBackIsBent) {
  ReadReport report;
  EXPECT_NO_THROW(ReadPacket(GetParam().file, report));
  EXPECT_TRUE(report.bent);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PacketReaderBends,
    testing::Values(
        BendCase{"LessonBeyondThirtyTwoBitsIsClamped", WithRow("<ROW RowState=\"4\" licao=\"2147483648\"/>")},
        BendCase{"DateInMonthThirteenIsDropped", WithRow("<ROW RowState=\"4\" data=\"20241305T10:00:00000\"/>")},
        BendCase{"TimeOutOfRangeBecomesMidnight", WithRow("<ROW RowState=\"4\" tempo=\"18991230T99:99:99999\"/>")},
        BendCase{"LettersInANumberMakeItBlank", WithRow("<ROW RowState=\"4\" erros=\"x3\"/>")},
        BendCase{"NumberWithTrailingText", WithRow("<ROW RowState=\"4\" erros=\"3 erros\"/>")},
        BendCase{"ChangeLogRebuilt",
                 WithRow("<ROW RowState=\"4\" licao=\"1\"/>", "<PARAMS CHANGE_LOG=\"-1 99999999999999 4 x y\"/>")},
        BendCase{"ChangeLogWithAnIncompleteEntry",
                 WithRow("<ROW RowState=\"4\" licao=\"1\"/>", "<PARAMS CHANGE_LOG=\"1 0 4 2\"/>")},
        BendCase{"UnknownAttributeOfARow", WithRow("<ROW RowState=\"4\" licao=\"1\" nota=\"10\"/>")},
        BendCase{"SecondValueOfOneField", WithRow("<ROW RowState=\"4\" licao=\"1\" licao=\"2\"/>")},
        BendCase{"UnknownElementInARow", WithRow("<ROW RowState=\"4\" licao=\"1\"><obs>bom</obs></ROW>")},
        BendCase{"ElementInsideParams", WithRow("<ROW licao=\"1\"/>", "<PARAMS><PARAM Name=\"p\"/></PARAMS>")},
        BendCase{"RowStateOutOfRange", WithRow("<ROW RowState=\"300\" licao=\"1\"/>")}),
    [](const testing::TestParamInfo<BendCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tecladim::history
