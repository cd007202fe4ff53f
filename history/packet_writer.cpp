#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "history/datetime.h"
#include "history/packet.h"
#include "history/utf8.h"

namespace tecladim::history {
namespace {

constexpr std::string_view Declaration = "<?xml version=\"1.0\" standalone=\"yes\"?>  ";
constexpr std::string_view RowStateName = "RowState";
constexpr std::string_view ChangeLogName = "CHANGE_LOG";

// The whole file is built in one string; values are formatted into this small block first
// so that a million rows cost a few thousand appends instead of tens of millions.
class Out {
 public:
  explicit Out(std::string& text) : text_(text) {}
  ~Out() { Flush(); }
  Out(const Out&) = delete;
  Out& operator=(const Out&) = delete;

  static constexpr std::size_t BlockSize = 65536;
  static constexpr std::size_t SmallRoom = 128;  // a number, a date or a reference

  // Space for at most n (<= BlockSize) bytes; Commit says how many were used.
  char* Room(std::size_t n = SmallRoom) {
    if (used_ + n > block_.size()) Flush();
    return block_.data() + used_;
  }
  void Commit(char* end) { used_ = static_cast<std::size_t>(end - block_.data()); }

  void Put(std::string_view s) {
    if (s.size() > block_.size() - used_) {
      Flush();
      if (s.size() > block_.size() / 2) {
        text_.append(s);
        return;
      }
    }
    std::memcpy(block_.data() + used_, s.data(), s.size());
    used_ += s.size();
  }
  void Put(char c) {
    if (used_ == block_.size()) Flush();
    block_[used_++] = c;
  }

  void Flush() {
    text_.append(block_.data(), used_);
    used_ = 0;
  }

 private:
  std::string& text_;
  std::array<char, BlockSize> block_{};
  std::size_t used_ = 0;
};

char* Put(char* p, std::string_view s) {
  std::memcpy(p, s.data(), s.size());
  return p + s.size();
}

char* PutNumber(char* p, std::int64_t value) { return std::to_chars(p, p + 24, value).ptr; }

char* PutDigits(char* p, unsigned value, int width) {
  for (int i = width - 1; i >= 0; --i) {
    p[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return p + width;
}

constexpr std::array<char, 200> DigitPairs = [] {
  std::array<char, 200> t{};
  for (int i = 0; i < 100; ++i) {
    t[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    t[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return t;
}();

char* PutTwoDigits(char* p, unsigned value) {
  std::memcpy(p, DigitPairs.data() + 2 * value, 2);
  return p + 2;
}

// Bytes that an attribute value cannot hold as they are.
constexpr std::array<bool, 256> NeedsEscape = [] {
  std::array<bool, 256> t{};
  for (int c = 0; c < 32; ++c) t[static_cast<std::size_t>(c)] = true;
  for (int c = 127; c < 256; ++c) t[static_cast<std::size_t>(c)] = true;
  for (const char c : std::string_view("<>&'\"\\")) t[static_cast<unsigned char>(c)] = true;
  return t;
}();

// A value as the file holds it: the five XML characters by name, control characters and
// the backslash as three-digit references, and everything beyond ASCII as a numeric
// reference, so the file is plain ASCII whatever code page reads it. A byte that is not
// UTF-8 is written as U+FFFD rather than as something no reader can decode.
void PutEscaped(Out& out, std::string_view s) {
  std::size_t run = 0;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (!NeedsEscape[c]) {
      ++i;
      continue;
    }
    out.Put(s.substr(run, i - run));
    char* p = out.Room();
    std::size_t step = 1;
    switch (c) {
      case '<': p = Put(p, "&lt;"); break;
      case '>': p = Put(p, "&gt;"); break;
      case '&': p = Put(p, "&amp;"); break;
      case '\'': p = Put(p, "&apos;"); break;
      case '"': p = Put(p, "&quot;"); break;
      default:
        if (c < 0x80) {
          p = Put(p, "&#");
          p = PutDigits(p, c, 3);
        } else {
          std::uint32_t cp = 0xFFFD;
          const std::size_t len = DecodeUtf8(s, i, cp);
          if (len == 0) cp = 0xFFFD;
          else step = len;
          p = Put(p, "&#");
          p = PutNumber(p, cp);
        }
        *p++ = ';';
    }
    out.Commit(p);
    i += step;
    run = i;
  }
  out.Put(s.substr(run));
}

// The name a field goes by in `attrname`/`tagname` and in the rows: characters that cannot
// stand in a name become "_", and a name already taken (two fields that would read alike)
// gets a number, so that every field keeps its own values in the next load.
class NameSet {
 public:
  bool Contains(const std::string& name) const { return taken_.contains(name); }
  void Insert(const std::string& name) { taken_.insert(name); }
  // Where to go on numbering names made from `base`, so that many fields of one name
  // are numbered in one pass.
  int& NextNumber(const std::string& base) { return next_.try_emplace(base, 2).first->second; }

 private:
  std::unordered_set<std::string> taken_;
  std::unordered_map<std::string, int> next_;
};

std::string SafeName(const std::string& name, NameSet& taken) {
  std::string safe = name;
  for (char& c : safe) {
    if (!IsPlainName(std::string_view(&c, 1))) c = '_';
  }
  if (safe.empty()) safe.push_back('_');
  if (taken.Contains(safe)) {
    for (int& n = taken.NextNumber(safe);; ++n) {
      std::string candidate = safe;
      candidate += '_';
      candidate += std::to_string(n);
      if (!taken.Contains(candidate)) {
        safe = std::move(candidate);
        ++n;
        break;
      }
    }
  }
  taken.Insert(safe);
  return safe;
}

// The type word written for a column: its own when it names the column's kind, else the
// widest word of that kind, so the file always reads back.
std::string_view TypeWordOf(const Column& column) {
  ValueKind kind{};
  if (KindOfType(column.def.type, kind) && kind == column.kind) return column.def.type;
  switch (column.kind) {
    case ValueKind::Integer: return "i8";
    case ValueKind::DateTime: return "dateTime";
    case ValueKind::Text: return "string";
  }
  return "string";
}

bool IsFieldAttributeName(std::string_view name) {
  for (const std::string_view known :
       {"attrname", "tagname", "fieldname", "fieldtype", "readonly", "required", "hidden", "linkfield"})
    if (name == known) return true;
  return false;
}

void PutAttribute(Out& out, std::string_view name, std::string_view value) {
  out.Put(' ');
  out.Put(name);
  out.Put("=\"");
  PutEscaped(out, value);
  out.Put('"');
}

void PutFieldDescription(Out& out, const Column& column, const std::string& safeName) {
  const FieldDef& def = column.def;
  out.Put("<FIELD");
  if (safeName != def.name) PutAttribute(out, "fieldname", def.name);
  PutAttribute(out, def.fromTag ? "tagname" : "attrname", safeName);
  PutAttribute(out, "fieldtype", TypeWordOf(column));
  for (const auto& [name, value] : def.params) {
    if (IsPlainName(name) && !IsFieldAttributeName(name)) PutAttribute(out, name, value);
  }
  if (def.readonly) out.Put(" readonly=\"true\"");
  if (def.required) out.Put(" required=\"true\"");
  if (def.hidden) out.Put(" hidden=\"true\"");
  if (def.linkfield) out.Put(" linkfield=\"true\"");
  out.Put("/>");
}

void PutChangeLog(Out& out, const std::vector<ChangeLogEntry>& log) {
  out.Put(" CHANGE_LOG=\"");
  bool first = true;
  for (const ChangeLogEntry& e : log) {
    char* p = out.Room();
    if (!first) *p++ = ' ';
    first = false;
    p = PutNumber(p, e.record);
    *p++ = ' ';
    p = PutNumber(p, e.replaced);
    *p++ = ' ';
    p = PutNumber(p, e.kind);
    out.Commit(p);
  }
  out.Put('"');
}

void PutParams(Out& out, const Packet& packet) {
  out.Put("<PARAMS");
  if (!packet.changeLog.empty()) PutChangeLog(out, packet.changeLog);
  for (const auto& [name, value] : packet.params) {
    if (IsPlainName(name) && name != ChangeLogName) PutAttribute(out, name, value);
  }
  out.Put("/>");
}

// Dates repeat from row to row (a day's exercises), so the eight date digits are kept.
class DateText {
 public:
  // "YYYYMMDD", then "THH:MM:SSmmm" (seconds and milliseconds as five digits) unless the
  // value is exactly midnight. Days beyond the four-digit years are held at their limits.
  char* Put(char* p, std::int64_t ms) {
    const Stamp stamp{ms};
    std::int64_t day = std::clamp(stamp.Day(), FirstDay, LastDay);
    if (day != day_) {
      day_ = day;
      const CivilDate date = CivilFromDays(day);
      char* d = PutDigits(digits_.data(), static_cast<unsigned>(date.year), 4);
      d = PutDigits(d, date.month, 2);
      PutDigits(d, date.day, 2);
    }
    p = tecladim::history::Put(p, std::string_view(digits_.data(), digits_.size()));
    const auto msOfDay = static_cast<unsigned>(stamp.MsOfDay());
    if (msOfDay != 0) {
      const unsigned secondsMs = msOfDay % 60'000;
      *p++ = 'T';
      p = PutTwoDigits(p, msOfDay / 3'600'000);
      *p++ = ':';
      p = PutTwoDigits(p, msOfDay / 60'000 % 60);
      *p++ = ':';
      *p++ = static_cast<char>('0' + secondsMs / 10'000);
      p = PutTwoDigits(p, secondsMs / 100 % 100);
      p = PutTwoDigits(p, secondsMs % 100);
    }
    return p;
  }

 private:
  std::int64_t day_ = FirstDay - 1;
  std::array<char, 8> digits_{};
};

struct ColumnOut {
  const Column* column;
  std::string prefix;  // ` name="` for an attribute, `<name>` for a child element
  std::string close;   // `</name>` for a child element
  DateText dates{};    // per column: `data` and `tempo` lie on different days
};

bool IsPresent(const Column& c, std::size_t row) { return row < c.present.size() && c.present[row] != 0; }

constexpr std::size_t MaxValueText = 24;  // an int64 or a date and time

char* PutValue(char* p, ColumnOut& a, std::size_t row) {
  const Column& c = *a.column;
  const std::int64_t n = row < c.numbers.size() ? c.numbers[row] : 0;
  return c.kind == ValueKind::Integer ? PutNumber(p, n) : a.dates.Put(p, n);
}

// The usual history: numbers and dates only, a whole row in one go.
bool RowsFitOneRoom(const std::vector<ColumnOut>& attributes, const std::vector<ColumnOut>& children,
                    std::size_t& rowBound) {
  rowBound = 32;
  for (const ColumnOut& a : attributes) {
    if (a.column->kind == ValueKind::Text) return false;
    rowBound += a.prefix.size() + MaxValueText + 1;
  }
  return children.empty() && rowBound <= Out::BlockSize / 2;
}

char* PutRowStart(char* p, std::uint8_t state) {
  p = Put(p, "<ROW");
  if (state != 0) {
    p = Put(p, " RowState=\"");
    p = PutNumber(p, state);
    *p++ = '"';
  }
  return p;
}

void PutRows(Out& out, const Packet& packet, std::vector<ColumnOut>& attributes, std::vector<ColumnOut>& children) {
  const std::size_t rows = packet.RowCount();
  std::size_t rowBound = 0;
  if (RowsFitOneRoom(attributes, children, rowBound)) {
    for (std::size_t row = 0; row < rows; ++row) {
      char* p = PutRowStart(out.Room(rowBound), packet.rowStates[row]);
      for (ColumnOut& a : attributes) {
        if (!IsPresent(*a.column, row)) continue;
        p = Put(p, a.prefix);
        p = PutValue(p, a, row);
        *p++ = '"';
      }
      p = Put(p, "/>");
      out.Commit(p);
    }
    return;
  }
  for (std::size_t row = 0; row < rows; ++row) {
    out.Commit(PutRowStart(out.Room(), packet.rowStates[row]));
    for (ColumnOut& a : attributes) {
      const Column& c = *a.column;
      if (!IsPresent(c, row)) continue;
      out.Put(a.prefix);
      if (c.kind == ValueKind::Text) {
        PutEscaped(out, row < c.texts.size() ? std::string_view(c.texts[row]) : std::string_view());
        out.Put('"');
      } else {
        char* p = PutValue(out.Room(), a, row);
        *p++ = '"';
        out.Commit(p);
      }
    }
    bool open = false;
    for (ColumnOut& t : children) {
      const Column& c = *t.column;
      if (!IsPresent(c, row)) continue;
      if (!open) out.Put('>');
      open = true;
      out.Put(t.prefix);
      if (c.kind == ValueKind::Text) PutEscaped(out, row < c.texts.size() ? std::string_view(c.texts[row]) : std::string_view());
      else out.Commit(PutValue(out.Room(), t, row));
      out.Put(t.close);
    }
    out.Put(open ? std::string_view("</ROW>") : std::string_view("/>"));
  }
}

std::size_t EstimatedSize(const Packet& packet) {
  std::size_t perRow = 24;
  for (const Column& c : packet.columns) {
    perRow += c.def.name.size() + 4;
    perRow += c.kind == ValueKind::DateTime ? 21 : c.kind == ValueKind::Integer ? 4 : 16;
  }
  return 512 + packet.columns.size() * 96 + packet.changeLog.size() * 13 + packet.RowCount() * perRow;
}

}  // namespace

std::string WritePacket(const Packet& packet) {
  std::string text;
  text.reserve(EstimatedSize(packet));
  {
    Out out(text);
    out.Put(Declaration);
    out.Put("<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");

    NameSet taken;
    taken.Insert(std::string(RowStateName));
    std::vector<ColumnOut> attributes;
    std::vector<ColumnOut> children;
    for (const Column& column : packet.columns) {
      const std::string safe = SafeName(column.def.name, taken);
      PutFieldDescription(out, column, safe);
      if (column.def.fromTag) children.push_back({&column, "<" + safe + ">", "</" + safe + ">", {}});
      else attributes.push_back({&column, " " + safe + "=\"", {}, {}});
    }
    out.Put("</FIELDS>");
    PutParams(out, packet);
    out.Put("</METADATA><ROWDATA>");
    PutRows(out, packet, attributes, children);
    out.Put("</ROWDATA></DATAPACKET>");
  }
  return text;
}

}  // namespace tecladim::history
