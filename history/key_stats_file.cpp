#include "history/key_stats_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

#include "history/ascii_case.h"
#include "history/utf8.h"

namespace tecladim::history {
namespace {

enum Field : std::size_t { Licao, Data, Inicio, Fim, Situacao, Tecla, Acertos, Erros, Ms, Medidos, Trocas, FieldTotal };

struct FieldSpec {
  std::string_view name;
  std::string_view type;
  ValueKind kind;
};

constexpr std::array<FieldSpec, FieldTotal> Fields{{
    {"licao", "i4", ValueKind::Integer},
    {"data", "dateTime", ValueKind::DateTime},
    {"inicio", "dateTime", ValueKind::DateTime},
    {"fim", "dateTime", ValueKind::DateTime},
    {"situacao", "string", ValueKind::Text},
    {"tecla", "string", ValueKind::Text},
    {"acertos", "i4", ValueKind::Integer},
    {"erros", "i4", ValueKind::Integer},
    {"ms", "i8", ValueKind::Integer},
    {"medidos", "i4", ValueKind::Integer},
    {"trocas", "string", ValueKind::Text},
}};

constexpr std::array<Field, 5> ExerciseFields{Licao, Data, Inicio, Fim, Situacao};

std::string ErrorText(KeyStatsErrorKind kind, std::size_t row, const std::string& field) {
  const std::string at = "Row " + std::to_string(row) + ": ";
  switch (kind) {
    case KeyStatsErrorKind::FieldNotFound: return "Field '" + field + "' not found";
    case KeyStatsErrorKind::TypeMismatch: return "Type mismatch for field '" + field + "'";
    case KeyStatsErrorKind::RowWithoutExercise: return at + "no exercise (licao, data, inicio, fim)";
    case KeyStatsErrorKind::BadKey: return at + "'tecla' is not one character of its own";
    case KeyStatsErrorKind::BadSituation: return at + "'situacao' is not \"interrompido\"";
    case KeyStatsErrorKind::BadCounts: return at + "the counts of '" + field + "' do not agree";
  }
  return at + field;
}

class Rows {
 public:
  explicit Rows(Packet& packet) : packet_(packet) {}
  void Number(Field f, std::int64_t value, bool present) {
    Column& c = packet_.columns[f];
    c.numbers.push_back(present ? value : 0);
    c.present.push_back(present ? 1 : 0);
  }
  void Count(Field f, std::int64_t value) { Number(f, value, value != 0); }
  void Stamp(Field f, DateTime value, bool present) { Number(f, ToStamp(value).ms, present); }
  void Text(Field f, std::string value) {
    Column& c = packet_.columns[f];
    c.present.push_back(value.empty() ? 0 : 1);
    c.texts.push_back(std::move(value));
  }

 private:
  Packet& packet_;
};

std::string TrocasText(const std::vector<WrongKey>& typedInstead) {
  std::string text;
  for (const WrongKey& w : typedInstead) {
    if (!text.empty()) text += ' ';
    text += std::to_string(static_cast<unsigned>(w.typed));
    text += ':';
    text += std::to_string(w.count);
  }
  return text;
}

// The columns of the table, found by name whatever the letter case, of the table's kinds.
std::array<const Column*, FieldTotal> BindFields(const Packet& packet) {
  std::array<const Column*, FieldTotal> bound{};
  for (std::size_t f = 0; f < FieldTotal; ++f) {
    const auto it = std::find_if(packet.columns.begin(), packet.columns.end(),
                                 [&](const Column& c) { return EqualIgnoringAsciiCase(c.def.name, Fields[f].name); });
    if (it == packet.columns.end())
      throw KeyStatsError(KeyStatsErrorKind::FieldNotFound, 0, std::string(Fields[f].name));
    if (it->kind != Fields[f].kind)
      throw KeyStatsError(KeyStatsErrorKind::TypeMismatch, 0, std::string(Fields[f].name));
    bound[f] = &*it;
  }
  return bound;
}

class RowReader {
 public:
  RowReader(const std::array<const Column*, FieldTotal>& columns, std::size_t row)
      : columns_(columns), row_(row), rowNumber_(row + 1) {}

  bool Present(Field f) const {
    const Column& c = *columns_[f];
    return row_ < c.present.size() && c.present[row_] != 0;
  }
  std::int64_t Number(Field f) const { return Present(f) ? columns_[f]->numbers[row_] : 0; }
  std::string_view Text(Field f) const {
    return Present(f) && row_ < columns_[f]->texts.size() ? std::string_view(columns_[f]->texts[row_]) : "";
  }
  std::int32_t Count(Field f) const {
    const std::int64_t n = Number(f);
    if (n < 0 || n > std::numeric_limits<std::int32_t>::max()) Fail(KeyStatsErrorKind::BadCounts, f);
    return static_cast<std::int32_t>(n);
  }
  DateTime Stamped(Field f) const { return FromStamp(Stamp{Number(f)}); }
  [[noreturn]] void Fail(KeyStatsErrorKind kind, Field f) const {
    throw KeyStatsError(kind, rowNumber_, std::string(Fields[f].name));
  }

 private:
  const std::array<const Column*, FieldTotal>& columns_;
  std::size_t row_;
  std::size_t rowNumber_;
};

// One UTF-16 unit, written as one UTF-8 character.
char16_t KeyOf(const RowReader& r) {
  const std::string_view text = r.Text(Tecla);
  std::uint32_t cp = text.empty() ? 0 : static_cast<unsigned char>(text[0]);
  std::size_t length = 1;
  if (cp >= 0x80) length = DecodeUtf8(text, 0, cp);
  if (text.empty() || length == 0 || length != text.size() || cp > 0xFFFF) r.Fail(KeyStatsErrorKind::BadKey, Tecla);
  return static_cast<char16_t>(cp);
}

// "115:2 100:1": pairs of decimal numbers, one space between pairs.
std::vector<WrongKey> TypedInstead(const RowReader& r) {
  const std::string_view text = r.Text(Trocas);
  std::vector<WrongKey> result;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p != end) {
    unsigned code = 0;
    std::int32_t count = 0;
    auto [afterCode, codeError] = std::from_chars(p, end, code);
    if (codeError != std::errc() || afterCode == end || *afterCode != ':' || code > 0xFFFF)
      r.Fail(KeyStatsErrorKind::BadCounts, Trocas);
    auto [afterCount, countError] = std::from_chars(afterCode + 1, end, count);
    if (countError != std::errc() || count <= 0) r.Fail(KeyStatsErrorKind::BadCounts, Trocas);
    result.push_back({static_cast<char16_t>(code), count});
    p = afterCount;
    if (p != end && (*p != ' ' || ++p == end)) r.Fail(KeyStatsErrorKind::BadCounts, Trocas);
  }
  return result;
}

KeyCounts KeyRow(const RowReader& r) {
  KeyCounts k;
  k.expected = KeyOf(r);
  k.right = r.Count(Acertos);
  k.wrong = r.Count(Erros);
  k.rightMs = r.Number(Ms);
  k.timedRight = r.Count(Medidos);
  if (k.rightMs < 0) r.Fail(KeyStatsErrorKind::BadCounts, Ms);
  if (k.timedRight > k.right) r.Fail(KeyStatsErrorKind::BadCounts, Medidos);
  k.typedInstead = TypedInstead(r);
  std::int64_t instead = 0;
  for (const WrongKey& w : k.typedInstead) instead += w.count;
  if (instead != k.wrong) r.Fail(KeyStatsErrorKind::BadCounts, Trocas);
  return k;
}

}  // namespace

KeyStatsError::KeyStatsError(KeyStatsErrorKind kind, std::size_t row, std::string field)
    : std::runtime_error(ErrorText(kind, row, field)), kind_(kind), row_(row) {}

Packet KeyStatsPacket(std::span<const ExerciseKeyStats> exercises) {
  Packet packet;
  for (const FieldSpec& f : Fields) {
    Column c;
    c.def.name = std::string(f.name);
    c.def.type = std::string(f.type);
    c.kind = f.kind;
    packet.columns.push_back(std::move(c));
  }
  Rows rows(packet);
  for (const ExerciseKeyStats& e : exercises) {
    bool first = true;
    for (const KeyCounts& k : e.keys) {
      rows.Number(Licao, e.licao, first);
      rows.Stamp(Data, e.data, first);
      rows.Stamp(Inicio, e.inicio, first);
      rows.Stamp(Fim, e.fim, first);
      rows.Text(Situacao, first && e.end == ExerciseEnd::Left ? std::string(LeftExerciseText) : std::string());
      rows.Text(Tecla, Utf8FromUtf16({&k.expected, 1}));
      rows.Count(Acertos, k.right);
      rows.Count(Erros, k.wrong);
      rows.Count(Ms, k.rightMs);
      rows.Count(Medidos, k.timedRight);
      rows.Text(Trocas, TrocasText(k.typedInstead));
      packet.rowStates.push_back(0);
      first = false;
    }
  }
  return packet;
}

namespace {

// What the writer lays around the rows: the start of the file up to its first row, and its
// end after the last.
struct Layout {
  std::string head, end;
};
constexpr std::string_view RowsOpen = "<ROWDATA>", RowsClose = "</ROWDATA>";

std::optional<Layout> LayoutOf(const std::string& bytes) {
  const std::size_t rowsStart = bytes.find(RowsOpen);
  const std::size_t rowsEnd = bytes.rfind(RowsClose);
  if (rowsStart == std::string::npos || rowsEnd == std::string::npos || rowsEnd < rowsStart) return std::nullopt;
  return Layout{bytes.substr(0, rowsStart + RowsOpen.size()), bytes.substr(rowsEnd)};
}

const Layout& WrittenLayout() {
  static const Layout layout = [] {
    ExerciseKeyStats sample;
    sample.keys.push_back({u'a', 1, 0, 0, 0, {}});
    return LayoutOf(WritePacket(KeyStatsPacket({&sample, 1}))).value_or(Layout{});
  }();
  return layout;
}

}  // namespace

std::optional<std::size_t> EndOfExercises(std::string_view bytes) {
  const Layout& layout = WrittenLayout();
  if (layout.head.empty() || bytes.size() < layout.head.size() + layout.end.size() || !bytes.starts_with(layout.head) ||
      !bytes.ends_with(layout.end))
    return std::nullopt;
  return bytes.size() - layout.end.size();
}

std::optional<std::string> ExerciseRows(std::span<const ExerciseKeyStats> added) {
  const std::string fresh = WritePacket(KeyStatsPacket(added));
  const Layout& layout = WrittenLayout();
  const std::optional<Layout> mine = LayoutOf(fresh);
  if (!mine || mine->head != layout.head || mine->end != layout.end) return std::nullopt;
  return fresh.substr(layout.head.size(), fresh.size() - layout.head.size() - layout.end.size());
}

std::string_view KeyStatsFileEnd() { return WrittenLayout().end; }

std::vector<ExerciseKeyStats> ReadKeyStats(const Packet& packet) {
  const auto columns = BindFields(packet);
  std::vector<ExerciseKeyStats> exercises;
  for (std::size_t row = 0; row < packet.RowCount(); ++row) {
    const RowReader r(columns, row);
    const bool startsExercise =
        std::any_of(ExerciseFields.begin(), ExerciseFields.end(), [&](Field f) { return r.Present(f); });
    if (startsExercise) {
      for (const Field f : {Licao, Data, Inicio, Fim})
        if (!r.Present(f)) r.Fail(KeyStatsErrorKind::RowWithoutExercise, f);
      ExerciseKeyStats e;
      e.licao = static_cast<std::int32_t>(r.Number(Licao));
      e.data = r.Stamped(Data);
      e.inicio = r.Stamped(Inicio);
      e.fim = r.Stamped(Fim);
      if (r.Present(Situacao)) {
        if (r.Text(Situacao) != LeftExerciseText) r.Fail(KeyStatsErrorKind::BadSituation, Situacao);
        e.end = ExerciseEnd::Left;
      }
      exercises.push_back(std::move(e));
    } else if (exercises.empty()) {
      r.Fail(KeyStatsErrorKind::RowWithoutExercise, Inicio);
    }
    KeyCounts k = KeyRow(r);
    auto& keys = exercises.back().keys;
    if (std::any_of(keys.begin(), keys.end(), [&](const KeyCounts& seen) { return seen.expected == k.expected; }))
      r.Fail(KeyStatsErrorKind::BadKey, Tecla);
    keys.push_back(std::move(k));
  }
  return exercises;
}

}  // namespace tecladim::history
