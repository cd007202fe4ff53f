#include "history/key_stats_file.h"

#include <gtest/gtest.h>

#include <string>

#include "history/datetime.h"
#include "history/packet.h"

namespace tecladim::history {
namespace {

DateTime At(int day, int hour, int minute, int second, int ms = 0) {
  return EncodeDateTime({2024, 3, static_cast<unsigned>(day)}, {hour, minute, second, ms});
}

// Lesson 31 finished with slips on "ã" (typed "á" and "a") and at a line's end; lesson 1
// left half way when the lesson changed.
std::vector<ExerciseKeyStats> TwoExercises() {
  ExerciseKeyStats done;
  done.licao = 31;
  done.data = At(5, 11, 0, 3, 417);
  done.inicio = At(5, 10, 55, 0);
  done.fim = At(5, 11, 0, 3);
  done.keys = {
      {u'ã', 40, 3, 9200, 38, {{u'á', 2}, {u'a', 1}}},
      {u'é', 45, 0, 8100, 45, {}},
      {u' ', 120, 2, 21000, 118, {{u'\b', 1}, {u'9', 1}}},
      {u'\r', 0, 1, 0, 0, {{u';', 1}}},
  };
  ExerciseKeyStats left;
  left.licao = 1;
  left.data = At(5, 11, 20, 0, 5);
  left.inicio = At(5, 11, 18, 30);
  left.fim = At(5, 11, 20, 0);
  left.end = ExerciseEnd::Left;
  left.keys = {{u'ç', 10, 4, 3000, 9, {{u'c', 4}}}, {u'a', 15, 0, 2500, 15, {}}};
  return {done, left};
}

void ExpectSame(const std::vector<ExerciseKeyStats>& a, const std::vector<ExerciseKeyStats>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].licao, b[i].licao);
    EXPECT_EQ(ToStamp(a[i].data), ToStamp(b[i].data)) << "data to the millisecond";
    EXPECT_EQ(ToStamp(a[i].inicio), ToStamp(b[i].inicio));
    EXPECT_EQ(ToStamp(a[i].fim), ToStamp(b[i].fim));
    EXPECT_EQ(a[i].end, b[i].end);
    EXPECT_EQ(a[i].keys, b[i].keys);
  }
}

TEST(KeyStatsFile, ExercisesReadBackAsWritten) {
  const auto written = TwoExercises();
  const std::string bytes = WritePacket(KeyStatsPacket(written));
  ExpectSame(ReadKeyStats(ReadPacket(bytes)), written);
}

// A close writes its exercises at the end of the file without reading it: the bytes must be
// those of the whole write, and a file laid out otherwise is left to the whole merge.
TEST(KeyStatsFile, ExercisesWrittenAtTheEndGiveTheBytesOfTheWholeWrite) {
  const auto both = TwoExercises();
  const std::string first = WritePacket(KeyStatsPacket({both.begin(), 1}));
  const std::optional<std::size_t> end = EndOfExercises(first);
  const std::optional<std::string> rows = ExerciseRows({both.begin() + 1, 1});
  ASSERT_TRUE(end && rows);
  EXPECT_EQ(first.substr(0, *end) + *rows + std::string(KeyStatsFileEnd()), WritePacket(KeyStatsPacket(both)));

  const std::string other = WritePacket(Packet{});
  const struct {
    const char* name;
    std::string bytes;
  } refused[] = {
      {"empty", ""},
      {"cut at its end", first.substr(0, first.size() - 5)},
      {"another packet's fields", other},
      {"a field more", [&] {
         Packet p = ReadPacket(first);
         p.columns.push_back(p.columns.front());
         p.columns.back().def.name = "extra";
         return WritePacket(p);
       }()},
  };
  for (const auto& r : refused) EXPECT_FALSE(EndOfExercises(r.bytes)) << r.name;
}

// The form other programs read: stamps on an exercise's first row only, zeros left blank.
TEST(KeyStatsFile, WritesTheseBytes) {
  ExerciseKeyStats e;
  e.licao = 34;
  e.data = At(5, 11, 0, 3, 417);
  e.inicio = At(5, 10, 55, 0);
  e.fim = At(5, 11, 0, 3);
  e.end = ExerciseEnd::Left;
  e.keys = {{u'ç', 12, 2, 2400, 11, {{u'c', 2}}}, {u'a', 30, 0, 5100, 30, {}}};
  const std::string expected =
      "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
      "<FIELD attrname=\"licao\" fieldtype=\"i4\"/><FIELD attrname=\"data\" fieldtype=\"dateTime\"/>"
      "<FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/><FIELD attrname=\"fim\" fieldtype=\"dateTime\"/>"
      "<FIELD attrname=\"situacao\" fieldtype=\"string\"/><FIELD attrname=\"tecla\" fieldtype=\"string\"/>"
      "<FIELD attrname=\"acertos\" fieldtype=\"i4\"/><FIELD attrname=\"erros\" fieldtype=\"i4\"/>"
      "<FIELD attrname=\"ms\" fieldtype=\"i8\"/><FIELD attrname=\"medidos\" fieldtype=\"i4\"/>"
      "<FIELD attrname=\"trocas\" fieldtype=\"string\"/></FIELDS><PARAMS/></METADATA><ROWDATA>"
      "<ROW licao=\"34\" data=\"20240305T11:00:03417\" inicio=\"20240305T10:55:00000\" "
      "fim=\"20240305T11:00:03000\" situacao=\"interrompido\" tecla=\"&#231;\" acertos=\"12\" erros=\"2\" "
      "ms=\"2400\" medidos=\"11\" trocas=\"99:2\"/>"
      "<ROW tecla=\"a\" acertos=\"30\" ms=\"5100\" medidos=\"30\"/>"
      "</ROWDATA></DATAPACKET>";
  EXPECT_EQ(WritePacket(KeyStatsPacket({&e, 1})), expected);
}

constexpr std::string_view Head =
    "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"licao\" fieldtype=\"i4\"/><FIELD attrname=\"data\" fieldtype=\"dateTime\"/>"
    "<FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/><FIELD attrname=\"fim\" fieldtype=\"dateTime\"/>"
    "<FIELD attrname=\"situacao\" fieldtype=\"string\"/><FIELD attrname=\"tecla\" fieldtype=\"string\"/>"
    "<FIELD attrname=\"acertos\" fieldtype=\"i4\"/><FIELD attrname=\"erros\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"ms\" fieldtype=\"i8\"/><FIELD attrname=\"medidos\" fieldtype=\"i4\"/>"
    "<FIELD attrname=\"trocas\" fieldtype=\"string\"/></FIELDS><PARAMS/></METADATA><ROWDATA>";
constexpr std::string_view Tail = "</ROWDATA></DATAPACKET>";
constexpr std::string_view Stamps =
    "licao=\"1\" data=\"20240305T11:00:03417\" inicio=\"20240305T10:55:00000\" fim=\"20240305T11:00:03000\" ";

struct Damage {
  const char* name;
  std::string rows;
  KeyStatsErrorKind kind;
  std::size_t row;
};

std::string Row(std::string_view attributes) { return "<ROW " + std::string(attributes) + "/>"; }
std::string First(std::string_view attributes) { return Row(std::string(Stamps) + std::string(attributes)); }

const Damage Damages[] = {
    {"a key row before any exercise", Row("tecla=\"a\" acertos=\"1\""), KeyStatsErrorKind::RowWithoutExercise, 1},
    {"an exercise without its end", Row("licao=\"1\" data=\"20240305\" inicio=\"20240305T10:55:00000\" tecla=\"a\""),
     KeyStatsErrorKind::RowWithoutExercise, 1},
    {"a second exercise with only its situation", First("tecla=\"a\"") + Row("situacao=\"interrompido\" tecla=\"s\""),
     KeyStatsErrorKind::RowWithoutExercise, 2},
    {"no key", First("acertos=\"1\""), KeyStatsErrorKind::BadKey, 1},
    {"two characters for one key", First("tecla=\"as\""), KeyStatsErrorKind::BadKey, 1},
    {"one key twice in one exercise", First("tecla=\"a\"") + Row("tecla=\"a\""), KeyStatsErrorKind::BadKey, 2},
    {"an unknown situation", First("situacao=\"feito\" tecla=\"a\""), KeyStatsErrorKind::BadSituation, 1},
    {"keys typed instead not adding up to the errors", First("tecla=\"a\" erros=\"3\" trocas=\"115:2\""),
     KeyStatsErrorKind::BadCounts, 1},
    {"keys typed instead unreadable", First("tecla=\"a\" erros=\"2\" trocas=\"115-2\""), KeyStatsErrorKind::BadCounts,
     1},
    {"a trailing space after the pairs", First("tecla=\"a\" erros=\"2\" trocas=\"115:2 \""),
     KeyStatsErrorKind::BadCounts, 1},
    {"more timed keys than right ones", First("tecla=\"a\" acertos=\"3\" medidos=\"4\""), KeyStatsErrorKind::BadCounts,
     1},
    {"a negative count", First("tecla=\"a\" acertos=\"-1\""), KeyStatsErrorKind::BadCounts, 1},
};

TEST(KeyStatsFile, DamagedRowsAreRefusedWithTheirRow) {
  for (const Damage& d : Damages) {
    const Packet packet = ReadPacket(std::string(Head) + d.rows + std::string(Tail));
    try {
      ReadKeyStats(packet);
      ADD_FAILURE() << d.name << ": read without an error";
    } catch (const KeyStatsError& e) {
      EXPECT_EQ(e.kind(), d.kind) << d.name << ": " << e.what();
      EXPECT_EQ(e.row(), d.row) << d.name;
    }
  }
}

// The history itself, or another packet, given for the statistics.
TEST(KeyStatsFile, ForeignPacketNamesTheMissingField) {
  const std::string history =
      "<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
      "<FIELD attrname=\"licao\" fieldtype=\"i4\"/><FIELD attrname=\"data\" fieldtype=\"dateTime\"/>"
      "<FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/><FIELD attrname=\"fim\" fieldtype=\"dateTime\"/>"
      "</FIELDS><PARAMS/></METADATA><ROWDATA/></DATAPACKET>";
  try {
    ReadKeyStats(ReadPacket(history));
    FAIL() << "read without an error";
  } catch (const KeyStatsError& e) {
    EXPECT_EQ(e.kind(), KeyStatsErrorKind::FieldNotFound);
    EXPECT_STREQ(e.what(), "Field 'situacao' not found");
  }
  std::string typed(Head);
  typed.replace(typed.find("\"acertos\" fieldtype=\"i4\""), 24, "\"acertos\" fieldtype=\"string\"");
  try {
    ReadKeyStats(ReadPacket(typed + std::string(Tail)));
    FAIL() << "read without an error";
  } catch (const KeyStatsError& e) {
    EXPECT_EQ(e.kind(), KeyStatsErrorKind::TypeMismatch) << e.what();
  }
}

TEST(KeyStatsFile, NoExercisesNoRows) {
  EXPECT_TRUE(ReadKeyStats(ReadPacket(WritePacket(KeyStatsPacket({})))).empty());
}

}  // namespace
}  // namespace tecladim::history
