#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <unordered_map>

#include "history/datetime.h"
#include "history/packet.h"

namespace tecladim::history {
namespace {

// The columns of a load may take at most this many bytes per byte of the file (plus the
// allowance below): rows whose fields are all blank cost memory but almost no file, and a
// damaged file of a few megabytes must not ask for gigabytes.
constexpr std::size_t MaxCellBytesPerInputByte = 16;
constexpr std::size_t CellBytesAllowance = std::size_t{32} << 20;

// A character reference longer than this ("&#x0000010FFFF;") is not one.
constexpr std::size_t MaxReferenceLength = 16;

constexpr std::string_view Bom = "\xEF\xBB\xBF";
constexpr std::string_view RowStateName = "RowState";

// What the binary form of a data packet starts with; this reader does not read that form.
constexpr std::uint32_t BinaryMagic = 0xBDE01996;
constexpr std::uint32_t BinaryMagicOld = 0x0000ABCD;
constexpr std::uint16_t BinaryMaxVersion = 3;

enum class Encoding { Ansi, Utf8 };

bool IsBlank(char c) { return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::uint32_t LittleEndian32(std::string_view s, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + i])) << (8 * i);
  return v;
}

bool IsBinaryForm(std::string_view s) {
  if (s.size() < 4) return false;
  const std::uint32_t magic = LittleEndian32(s, 0);
  if (magic == BinaryMagicOld) return true;
  if (magic != BinaryMagic || s.size() < 8) return false;
  const std::uint32_t versions = LittleEndian32(s, 4);
  return (versions & 0xFFFFu) <= BinaryMaxVersion && (versions >> 16) <= BinaryMaxVersion;
}

bool IsValidUtf8(std::string_view s) {
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const auto* end = p + s.size();
  while (p < end) {
    if (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      if ((word & 0x8080808080808080ull) == 0) {
        p += 8;
        continue;
      }
    }
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    std::size_t len = 0;
    std::uint32_t cp = 0;
    std::uint32_t min = 0;
    if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1Fu; min = 0x80; }
    else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0Fu; min = 0x800; }
    else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07u; min = 0x10000; }
    else return false;
    if (end - p < static_cast<std::ptrdiff_t>(len)) return false;
    for (std::size_t k = 1; k < len; ++k) {
      if ((p[k] & 0xC0u) != 0x80u) return false;
      cp = (cp << 6) | (p[k] & 0x3Fu);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    p += len;
  }
  return true;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Windows-1252, the code page of a file that does not say it is UTF-8; 0x80 to 0x9F differ
// from Latin-1 (the five unassigned bytes keep their C1 code points, as Windows does).
constexpr std::array<std::uint16_t, 32> Cp1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The code point of a reference "&...;" at the start of s and its length; length 0 when
// s does not start with a reference this reader knows.
std::size_t ReadReference(std::string_view s, std::uint32_t& cp) {
  const std::size_t semi = s.substr(0, MaxReferenceLength).find(';');
  if (semi == std::string_view::npos) return 0;
  const std::string_view body = s.substr(1, semi - 1);
  if (body == "lt") cp = '<';
  else if (body == "gt") cp = '>';
  else if (body == "amp") cp = '&';
  else if (body == "apos") cp = '\'';
  else if (body == "quot") cp = '"';
  else if (body.size() >= 2 && body[0] == '#') {
    const bool hex = body[1] == 'x' || body[1] == 'X';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    std::uint32_t v = 0;
    for (const char c : digits) {
      std::uint32_t d = 0;
      if (IsDigit(c)) d = static_cast<std::uint32_t>(c - '0');
      else if (hex && c >= 'a' && c <= 'f') d = static_cast<std::uint32_t>(c - 'a' + 10);
      else if (hex && c >= 'A' && c <= 'F') d = static_cast<std::uint32_t>(c - 'A' + 10);
      else return 0;
      v = v * (hex ? 16 : 10) + d;
      if (v > 0x10FFFF) return 0;
    }
    if (v >= 0xD800 && v <= 0xDFFF) return 0;
    cp = v;
  } else {
    return 0;
  }
  return semi + 1;
}

// The range a value of an integer type word is held to; a wider number is clamped.
struct IntegerRange {
  std::int64_t min;
  std::int64_t max;
};

IntegerRange RangeOfType(std::string_view word) {
  constexpr std::int64_t I32Min = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t I32Max = std::numeric_limits<std::int32_t>::max();
  if (EqualNoCase(word, "i1")) return {-128, 127};
  if (EqualNoCase(word, "i2")) return {-32768, 32767};
  if (EqualNoCase(word, "i8")) return {std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()};
  if (EqualNoCase(word, "ui1")) return {0, 255};
  if (EqualNoCase(word, "ui2")) return {0, 65535};
  if (EqualNoCase(word, "ui4") || EqualNoCase(word, "uint")) return {0, std::numeric_limits<std::uint32_t>::max()};
  return {I32Min, I32Max};  // "i4", "int"
}

// An integer value: blank when a letter comes before any digit or there is no digit;
// otherwise the number at the start after blanks and a sign, 0 when the text starts
// otherwise. Too many digits saturate instead of wrapping.
std::optional<std::int64_t> ParseInteger(std::string_view t, IntegerRange range) {
  std::size_t i = 0;
  while (i < t.size() && !IsDigit(t[i])) {
    if (IsLetter(t[i])) return std::nullopt;
    ++i;
  }
  if (i == t.size()) return std::nullopt;
  std::size_t k = 0;
  while (k < t.size() && IsBlank(t[k])) ++k;
  bool negative = false;
  if (k < t.size() && (t[k] == '+' || t[k] == '-')) negative = t[k++] == '-';
  constexpr std::uint64_t Cap = std::uint64_t{1} << 63;
  std::uint64_t magnitude = 0;
  for (; k < t.size() && IsDigit(t[k]); ++k) {
    if (magnitude < Cap) magnitude = magnitude * 10 + static_cast<std::uint64_t>(t[k] - '0');
  }
  std::int64_t value = 0;
  if (negative) value = magnitude >= Cap ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(magnitude);
  else value = magnitude >= Cap ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(magnitude);
  return std::clamp(value, range.min, range.max);
}

// The number made by the digits at t[at...], at most maxDigits of them, right-padded with
// zeros to padTo digits (0 = no padding).
std::uint32_t DigitsAt(std::string_view t, std::size_t at, std::size_t maxDigits, std::size_t padTo) {
  std::uint32_t v = 0;
  std::size_t n = 0;
  for (; at + n < t.size() && n < maxDigits && IsDigit(t[at + n]); ++n) v = v * 10 + static_cast<std::uint32_t>(t[at + n] - '0');
  for (; n < padTo; ++n) v *= 10;
  return v;
}

// Converts the calendar day of a date-time value, keeping the last one: a day's
// exercises share their date. No value for a day that does not exist.
class DayCache {
 public:
  std::optional<std::int64_t> Days(int year, unsigned month, unsigned day) {
    const std::uint32_t key = static_cast<std::uint32_t>(year) * 10000u + month * 100u + day;
    if (key != key_) {
      key_ = key;
      days_ = std::nullopt;
      if (year != 0 && IsValidDate(year, month, day)) days_ = DaysFromCivil({year, month, day});
    }
    return days_;
  }

 private:
  std::uint32_t key_ = 0;  // year 0 is never valid, so 0 is no key
  std::optional<std::int64_t> days_;
};

// A date-time value: year, month and day from the next 4, 2 and 2 digits (other characters
// between them passed over); then, after a "T" right behind them, the hours, the minutes
// three characters later and seconds*1000+ms three characters after those. A day that
// does not exist (31/02, month or day 0, year 0) or too few digits make it blank; a time
// out of range keeps the date at midnight.
std::optional<std::int64_t> ParseDateTime(std::string_view t, DayCache& days) {
  std::array<int, 8> d{};
  std::size_t got = 0;
  std::size_t i = 0;
  if (t.size() >= d.size() && std::all_of(t.begin(), t.begin() + 8, IsDigit)) {  // as the writer writes it
    for (; got < d.size(); ++got) d[got] = t[got] - '0';
    i = got;
  }
  for (; i < t.size() && got < d.size(); ++i) {
    if (IsDigit(t[i])) d[got++] = t[i] - '0';
  }
  if (got < d.size()) return std::nullopt;
  const int year = d[0] * 1000 + d[1] * 100 + d[2] * 10 + d[3];
  const auto month = static_cast<unsigned>(d[4] * 10 + d[5]);
  const auto day = static_cast<unsigned>(d[6] * 10 + d[7]);
  const std::optional<std::int64_t> dayNumber = days.Days(year, month, day);
  if (!dayNumber) return std::nullopt;
  std::int32_t msOfDay = 0;
  if (i < t.size() && t[i] == 'T') {
    constexpr std::size_t NumberDigits = 9;  // enough to be out of range, never to overflow
    const std::uint32_t hours = DigitsAt(t, i + 1, NumberDigits, 0);
    const std::uint32_t minutes = DigitsAt(t, i + 4, NumberDigits, 0);
    const std::uint32_t secondsMs = DigitsAt(t, i + 7, 5, 5);
    if (hours <= 23 && minutes <= 59 && secondsMs <= 59'999)
      msOfDay = static_cast<std::int32_t>(hours * 3'600'000 + minutes * 60'000 + secondsMs);
  }
  return *dayNumber < 0 ? *dayNumber * MsPerDay - msOfDay : *dayNumber * MsPerDay + msOfDay;  // MakeStamp
}

// A column as the rows find it: by the raw `attrname` (or `tagname`) of its description.
struct ColumnKey {
  std::string_view key;
  IntegerRange range{};
  int sameKeyNext = -1;  // the next column with the same name: it takes the same value
  int first = -1;        // the first column of this name, where a value is stored from
  DayCache days;         // per column: `data` and `tempo` lie on different days
  std::size_t setInRow = 0;  // row number + 1 of the last row that gave this name a value
};

class PacketReader {
 public:
  explicit PacketReader(std::string_view bytes) : s_(bytes) {}

  Packet Read() {
    ReadDocument();
    return std::move(packet_);
  }

 private:
  using Ignore = decltype([](std::string_view, std::string_view) {});

  [[noreturn]] void Fail(PacketErrorKind kind) const { throw PacketError(kind, pos_); }
  [[noreturn]] void FailAt(PacketErrorKind kind, std::size_t at) const { throw PacketError(kind, at); }

  bool AtEnd() const { return pos_ >= s_.size(); }
  bool LookingAt(std::string_view what) const { return s_.substr(pos_, what.size()) == what; }

  void SkipBlanks() {
    while (pos_ < s_.size() && IsBlank(s_[pos_])) ++pos_;
  }

  // Skips through the end marker of a comment or processing instruction, or fails.
  void SkipPast(std::string_view endMarker) {
    const std::size_t end = s_.find(endMarker, pos_);
    if (end == std::string_view::npos) {
      pos_ = s_.size();
      Fail(PacketErrorKind::Mismatch);
    }
    pos_ = end + endMarker.size();
  }

  // Accepts a comment or processing instruction at pos_; false when there is none.
  bool SkipCommentOrInstruction() {
    if (LookingAt("<!--")) {
      pos_ += 4;
      SkipPast("-->");
      return true;
    }
    if (LookingAt("<?")) {
      pos_ += 2;
      SkipPast("?>");
      return true;
    }
    return false;
  }

  // Accepts blanks, comments and processing instructions between elements.
  void SkipMisc() {
    for (;;) {
      SkipBlanks();
      if (!SkipCommentOrInstruction()) return;
    }
  }

  // Accepts character data, comments and processing instructions inside an element; stops
  // at the "<" of the next start or end tag.
  void SkipText() {
    for (;;) {
      const std::size_t lt = s_.find('<', pos_);
      if (lt == std::string_view::npos) {
        pos_ = s_.size();
        Fail(PacketErrorKind::Mismatch);
      }
      pos_ = lt;
      if (!SkipCommentOrInstruction()) return;
    }
  }

  // Accepts "<" and an element name (anything up to a blank, "/" or ">"); returns the name.
  std::string_view ReadTagName() {
    if (AtEnd() || s_[pos_] != '<') Fail(PacketErrorKind::Mismatch);
    const std::size_t start = ++pos_;
    while (pos_ < s_.size() && !IsBlank(s_[pos_]) && s_[pos_] != '/' && s_[pos_] != '>') ++pos_;
    if (pos_ == start) Fail(PacketErrorKind::Mismatch);
    return s_.substr(start, pos_ - start);
  }

  // Accepts the attributes of a start tag, name="value" with nothing around the "=", and
  // its ">" or "/>"; hands each one to onAttribute (the value still escaped). Returns true
  // for an element closed with "/>".
  template <class OnAttribute>
  bool ReadAttributes(OnAttribute&& onAttribute) {
    for (;;) {
      SkipBlanks();
      if (AtEnd()) Fail(PacketErrorKind::Mismatch);
      const char c = s_[pos_];
      if (c == '>') {
        ++pos_;
        return false;
      }
      if (c == '/') {
        if (!LookingAt("/>")) Fail(PacketErrorKind::Mismatch);
        pos_ += 2;
        return true;
      }
      const std::size_t start = pos_;
      while (pos_ < s_.size() && s_[pos_] != '=') {
        const char n = s_[pos_];
        if (IsBlank(n) || n == '/' || n == '>' || n == '<' || n == '"') Fail(PacketErrorKind::Mismatch);
        ++pos_;
      }
      if (AtEnd() || pos_ == start) Fail(PacketErrorKind::Mismatch);
      const std::string_view name = s_.substr(start, pos_ - start);
      ++pos_;
      if (AtEnd() || s_[pos_] != '"') Fail(PacketErrorKind::Mismatch);
      const std::size_t valueStart = ++pos_;
      pos_ = FindQuote(valueStart);
      if (pos_ == s_.size()) Fail(PacketErrorKind::Mismatch);
      const std::string_view value = s_.substr(valueStart, pos_ - valueStart);
      ++pos_;
      onAttribute(name, value);
    }
  }

  // The closing quote of a value that starts at `from`, or the end of the text. Values are
  // short (a number, a date), so eight bytes are tested at a time without a library call.
  std::size_t FindQuote(std::size_t from) const {
    constexpr std::uint64_t Ones = 0x0101010101010101ull;
    constexpr std::uint64_t Highs = 0x8080808080808080ull;
    constexpr std::uint64_t Quotes = Ones * static_cast<unsigned char>('"');
    std::size_t i = from;
    for (; s_.size() - i >= 8; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, s_.data() + i, 8);
      const std::uint64_t x = word ^ Quotes;
      if (((x - Ones) & ~x & Highs) != 0) break;
    }
    while (i < s_.size() && s_[i] != '"') ++i;
    return i;
  }

  // Accepts "</name>" for the element being closed; any other end tag is a mismatch.
  void ReadEndTag(std::string_view name) {
    if (!LookingAt("</")) Fail(PacketErrorKind::Mismatch);
    pos_ += 2;
    if (!LookingAt(name)) Fail(PacketErrorKind::Mismatch);
    pos_ += name.size();
    SkipBlanks();
    if (AtEnd() || s_[pos_] != '>') Fail(PacketErrorKind::Mismatch);
    ++pos_;
  }

  void CheckDepth(int depth) const {
    if (depth > MaxOpenElements) Fail(PacketErrorKind::Mismatch);
  }

  // Accepts the content of an element this reader has no use for, through its end tag.
  void SkipContent(std::string_view name, int depth) {
    for (;;) {
      SkipText();
      if (LookingAt("</")) {
        ReadEndTag(name);
        return;
      }
      SkipElement(depth + 1);
    }
  }

  // Accepts any element with whatever it holds, nested at most MaxOpenElements deep.
  void SkipElement(int depth) {
    CheckDepth(depth);
    const std::string_view name = ReadTagName();
    if (!ReadAttributes(Ignore{})) SkipContent(name, depth);
  }

  // Decodes a raw value: the five XML entities and numeric references become characters
  // (UTF-8), unknown references stay as written, and bytes of an ANSI file are converted
  // from Windows-1252, so every text of the packet is valid UTF-8.
  void Decode(std::string_view raw, std::string& out) const {
    out.clear();
    std::size_t run = 0;
    for (std::size_t i = 0; i < raw.size();) {
      const auto c = static_cast<unsigned char>(raw[i]);
      if (c == '&') {
        std::uint32_t cp = 0;
        if (const std::size_t len = ReadReference(raw.substr(i), cp); len != 0) {
          out.append(raw.substr(run, i - run));
          AppendUtf8(out, cp);
          i += len;
          run = i;
          continue;
        }
      } else if (c >= 0x80 && encoding_ == Encoding::Ansi) {
        out.append(raw.substr(run, i - run));
        AppendUtf8(out, c < 0xA0 ? Cp1252High[c - 0x80] : c);
        run = ++i;
        continue;
      }
      ++i;
    }
    out.append(raw.substr(run));
  }

  std::string Decoded(std::string_view raw) const {
    std::string out;
    Decode(raw, out);
    return out;
  }

  // Numbers and dates are read from the raw bytes unless they hold a reference.
  std::string_view Plain(std::string_view raw) {
    if (raw.find('&') == std::string_view::npos) return raw;
    Decode(raw, scratch_);
    return scratch_;
  }

  // Accepts the optional byte-order mark, the declaration (noting encoding="UTF-8") and
  // comments before the first element.
  void ReadProlog() {
    bool utf8 = false;
    if (LookingAt(Bom)) {
      pos_ = Bom.size();
      utf8 = true;
    }
    const std::size_t textStart = pos_;
    SkipBlanks();
    if (AtEnd() || s_[pos_] != '<') Fail(PacketErrorKind::Mismatch);
    if (LookingAt("<?")) {
      const std::size_t start = pos_;
      pos_ += 2;
      SkipPast("?>");
      utf8 = utf8 || DeclaresUtf8(s_.substr(start, pos_ - start));
    }
    if (utf8 && IsValidUtf8(s_.substr(textStart))) encoding_ = Encoding::Utf8;
    SkipMisc();
  }

  // Whether a declaration has encoding="UTF-8" (either quote, any letter case).
  static bool DeclaresUtf8(std::string_view declaration) {
    if (declaration.size() < 5 || !EqualNoCase(declaration.substr(2, 3), "xml")) return false;
    for (std::size_t at = 0; at + 8 <= declaration.size(); ++at) {
      if (!EqualNoCase(declaration.substr(at, 8), "encoding")) continue;
      std::size_t k = at + 8;
      while (k < declaration.size() && IsBlank(declaration[k])) ++k;
      if (k >= declaration.size() || declaration[k] != '=') continue;
      ++k;
      while (k < declaration.size() && IsBlank(declaration[k])) ++k;
      if (k >= declaration.size() || (declaration[k] != '"' && declaration[k] != '\'')) continue;
      const std::size_t end = declaration.find(declaration[k], k + 1);
      if (end == std::string_view::npos) return false;
      return EqualNoCase(declaration.substr(k + 1, end - k - 1), "UTF-8");
    }
    return false;
  }

  // Accepts the whole file: prolog, an optional DATAPACKET around METADATA and ROWDATA.
  void ReadDocument() {
    if (IsBinaryForm(s_)) Fail(PacketErrorKind::Mismatch);
    ReadProlog();
    std::size_t tagAt = pos_;
    std::string_view name = ReadTagName();
    int depth = 1;
    const bool wrapped = name == "DATAPACKET";
    if (wrapped) {
      if (ReadAttributes(Ignore{})) Fail(PacketErrorKind::Mismatch);
      SkipMisc();
      tagAt = pos_;
      name = ReadTagName();
      depth = 2;
    }
    if (name == "ROWDATA") FailAt(PacketErrorKind::NoMetaData, tagAt);
    if (name != "METADATA") FailAt(PacketErrorKind::Mismatch, tagAt);
    ReadMetadata(depth);
    SkipMisc();
    tagAt = pos_;
    if (AtEnd() || ReadTagName() != "ROWDATA") FailAt(PacketErrorKind::Mismatch, tagAt);
    ReadRowData(depth);
    if (wrapped) SkipContent("DATAPACKET", 1);
  }

  // Accepts METADATA (its name already read): FIELDS first, then PARAMS and anything else.
  void ReadMetadata(int depth) {
    CheckDepth(depth);
    if (ReadAttributes(Ignore{})) Fail(PacketErrorKind::Mismatch);
    SkipMisc();
    const std::size_t tagAt = pos_;
    if (AtEnd() || ReadTagName() != "FIELDS") FailAt(PacketErrorKind::Mismatch, tagAt);
    ReadFields(depth + 1);
    bool paramsSeen = false;
    for (;;) {
      SkipText();
      if (LookingAt("</")) {
        ReadEndTag("METADATA");
        return;
      }
      const std::size_t childAt = pos_;
      if (!paramsSeen && ReadTagName() == "PARAMS") {
        paramsSeen = true;
        ReadParams(depth + 1);
      } else {
        pos_ = childAt;
        SkipElement(depth + 1);
      }
    }
  }

  // Accepts FIELDS (its name already read) and the field descriptions inside it.
  void ReadFields(int depth) {
    CheckDepth(depth);
    if (!ReadAttributes(Ignore{})) {
      for (;;) {
        SkipText();
        if (LookingAt("</")) {
          ReadEndTag("FIELDS");
          break;
        }
        ReadFieldDescription(depth + 1);
      }
    }
    IndexColumns();
  }

  // Accepts one field description, whatever its element name: attrname or tagname, a
  // known fieldtype, the four flags, fieldname, and other attributes kept as parameters.
  void ReadFieldDescription(int depth) {
    CheckDepth(depth);
    const std::size_t tagAt = pos_;
    const std::string_view element = ReadTagName();
    std::optional<std::string_view> attrname, tagname, fieldname, fieldtype;
    FieldDef def;
    const bool empty = ReadAttributes([&](std::string_view name, std::string_view value) {
      const auto first = [&](std::optional<std::string_view>& slot) {
        if (!slot) slot = value;
      };
      const auto flag = [&](bool& slot) { slot = slot || EqualNoCase(Plain(value), "true"); };
      if (name == "attrname") first(attrname);
      else if (name == "tagname") first(tagname);
      else if (name == "fieldname") first(fieldname);
      else if (name == "fieldtype") first(fieldtype);
      else if (name == "readonly") flag(def.readonly);
      else if (name == "required") flag(def.required);
      else if (name == "hidden") flag(def.hidden);
      else if (name == "linkfield") flag(def.linkfield);
      else if (IsPlainName(name)) def.params.emplace_back(std::string(name), Decoded(value));
    });
    if (!empty) SkipContent(element, depth);  // a nested data set's own layout is not kept
    if (!attrname && !tagname) FailAt(PacketErrorKind::Mismatch, tagAt);
    ValueKind kind{};
    if (!fieldtype) FailAt(PacketErrorKind::InvalidFieldType, tagAt);
    def.type = Decoded(*fieldtype);
    if (!KindOfType(def.type, kind)) FailAt(PacketErrorKind::InvalidFieldType, tagAt);
    def.fromTag = !attrname;
    const std::string_view key = attrname ? *attrname : *tagname;
    def.name = Decoded(fieldname ? *fieldname : key);
    keys_.push_back({key, kind == ValueKind::Integer ? RangeOfType(def.type) : IntegerRange{}, -1, -1, {}});
    Column& column = packet_.columns.emplace_back();
    column.def = std::move(def);
    column.kind = kind;
  }

  // Columns of the same name share one entry; the rest of them chain from it.
  void IndexColumns() {
    for (std::size_t i = packet_.columns.size(); i-- > 0;) {
      auto& index = packet_.columns[i].def.fromTag ? tagIndex_ : attributeIndex_;
      const auto [it, inserted] = index.try_emplace(keys_[i].key, static_cast<int>(i));
      if (!inserted) {
        keys_[i].sameKeyNext = it->second;
        it->second = static_cast<int>(i);
      }
    }
    for (std::size_t i = 0; i < keys_.size(); ++i) {
      const auto& index = packet_.columns[i].def.fromTag ? tagIndex_ : attributeIndex_;
      keys_[i].first = index.at(keys_[i].key);
    }
    cellBytesPerRow_ = 1;
    for (const Column& c : packet_.columns)
      cellBytesPerRow_ += 1 + (c.kind == ValueKind::Text ? sizeof(std::string) : sizeof(std::int64_t));
  }

  // Accepts PARAMS (its name already read): CHANGE_LOG, other attributes kept as
  // parameters, and PARAM or other elements inside, which are not kept.
  void ReadParams(int depth) {
    CheckDepth(depth);
    bool logSeen = false;
    const bool empty = ReadAttributes([&](std::string_view name, std::string_view value) {
      if (name == "CHANGE_LOG") {
        if (!logSeen) ReadChangeLog(Plain(value));
        logSeen = true;
      } else if (IsPlainName(name)) {
        packet_.params.emplace_back(std::string(name), Decoded(value));
      }
    });
    if (!empty) SkipContent("PARAMS", depth);
  }

  // Accepts the change log: numbers separated by blanks, three to an entry (an incomplete
  // last entry is dropped); a token that does not start with a digit counts as 0 and a
  // number beyond 32 bits as the largest one. One pass, straight into the entries.
  void ReadChangeLog(std::string_view text) {
    constexpr std::size_t MinEntryText = 6;  // "1 0 4 "
    packet_.changeLog.reserve(text.size() / MinEntryText + 1);
    std::array<std::uint32_t, 3> entry{};
    std::size_t filled = 0;
    std::size_t i = 0;
    while (i < text.size()) {
      while (i < text.size() && IsBlank(text[i])) ++i;
      if (i == text.size()) break;
      std::uint64_t v = 0;
      for (; i < text.size() && IsDigit(text[i]); ++i) {
        v = std::min<std::uint64_t>(v * 10 + static_cast<std::uint64_t>(text[i] - '0'),
                                    std::numeric_limits<std::uint32_t>::max());
      }
      while (i < text.size() && !IsBlank(text[i])) ++i;
      entry[filled++] = static_cast<std::uint32_t>(v);
      if (filled == entry.size()) {
        packet_.changeLog.push_back({entry[0], entry[1], entry[2]});
        filled = 0;
      }
    }
  }

  // Accepts ROWDATA (its name already read) and its rows; the first row's name must begin
  // with "ROW".
  void ReadRowData(int depth) {
    CheckDepth(depth);
    if (ReadAttributes(Ignore{})) return;
    const std::size_t limit = MaxCellBytesPerInputByte * s_.size() + CellBytesAllowance;
    maxRows_ = limit / cellBytesPerRow_;
    const std::size_t rowsStart = pos_;
    for (bool first = true;; first = false) {
      if (packet_.rowStates.size() == RowsBeforeReserve) Reserve(EstimatedRows(rowsStart));
      SkipText();
      if (LookingAt("</")) {
        ReadEndTag("ROWDATA");
        return;
      }
      const std::size_t tagAt = pos_;
      const std::string_view name = ReadTagName();
      if (first && !name.starts_with("ROW")) FailAt(PacketErrorKind::Mismatch, tagAt);
      ReadRow(name, depth + 1);
    }
  }

  // The rows of a history are all alike, so the first ones tell how many the rest of the
  // file holds; a little more is reserved, which costs address space, not memory.
  static constexpr std::size_t RowsBeforeReserve = 64;
  std::size_t EstimatedRows(std::size_t rowsStart) const {
    const std::size_t rows = packet_.rowStates.size();
    const double perRow = static_cast<double>(pos_ - rowsStart) / static_cast<double>(rows);
    const double rest = static_cast<double>(s_.size() - pos_) / perRow;
    const auto estimate = rows + static_cast<std::size_t>(rest * 1.1) + RowsBeforeReserve;
    return std::min(estimate, maxRows_);
  }

  void Reserve(std::size_t rows) {
    packet_.rowStates.reserve(rows);
    for (Column& c : packet_.columns) {
      c.present.reserve(rows);
      if (c.kind == ValueKind::Text) c.texts.reserve(rows);
      else c.numbers.reserve(rows);
    }
  }

  // Accepts one row (its name already read): RowState, one attribute per field, and child
  // elements for fields described with tagname. Every field starts blank.
  void ReadRow(std::string_view element, int depth) {
    CheckDepth(depth);
    if (packet_.rowStates.size() >= maxRows_) Fail(PacketErrorKind::Mismatch);
    const std::size_t row = packet_.rowStates.size();
    packet_.rowStates.push_back(0);
    for (Column& c : packet_.columns) {
      c.present.push_back(0);
      if (c.kind == ValueKind::Text) c.texts.emplace_back();
      else c.numbers.push_back(0);
    }
    bool stateSeen = false;
    std::size_t hint = 0;
    const bool empty = ReadAttributes([&](std::string_view name, std::string_view value) {
      if (name == RowStateName && !stateSeen) {
        stateSeen = true;
        packet_.rowStates[row] = static_cast<std::uint8_t>(ParseInteger(Plain(value), {0, 255}).value_or(0));
      }
      const int column = FindAttributeColumn(name, hint);
      if (column >= 0) {
        hint = static_cast<std::size_t>(column) + 1;
        SetValue(column, row, value);
      }
    });
    if (!empty) ReadRowContent(element, row, depth);
  }

  // The attributes of a row usually come in field order, so the next field is tried first.
  int FindAttributeColumn(std::string_view name, std::size_t hint) const {
    if (hint < keys_.size() && !packet_.columns[hint].def.fromTag && keys_[hint].key == name)
      return keys_[hint].first;
    const auto it = attributeIndex_.find(name);
    return it == attributeIndex_.end() ? -1 : it->second;
  }

  // Accepts what a row holds: child elements named by a tagname field give its value
  // (their text up to the first markup); everything else is passed over.
  void ReadRowContent(std::string_view element, std::size_t row, int depth) {
    for (;;) {
      SkipText();
      if (LookingAt("</")) {
        ReadEndTag(element);
        return;
      }
      const std::size_t childAt = pos_;
      const std::string_view name = ReadTagName();
      const auto it = tagIndex_.find(name);
      if (it == tagIndex_.end()) {
        pos_ = childAt;
        SkipElement(depth + 1);
        continue;
      }
      CheckDepth(depth + 1);
      if (ReadAttributes(Ignore{})) {
        SetValue(it->second, row, {});
        continue;
      }
      const std::size_t textStart = pos_;
      const std::size_t lt = s_.find('<', pos_);
      if (lt == std::string_view::npos) {
        pos_ = s_.size();
        Fail(PacketErrorKind::Mismatch);
      }
      SetValue(it->second, row, s_.substr(textStart, lt - textStart));
      pos_ = lt;
      SkipContent(name, depth + 1);
    }
  }

  // Stores a raw value into a column and the columns that share its name; the first
  // value a row gives a name counts, so repeated names cost nothing more.
  void SetValue(int column, std::size_t row, std::string_view raw) {
    std::size_t& setInRow = keys_[static_cast<std::size_t>(column)].setInRow;
    if (setInRow == row + 1) return;
    setInRow = row + 1;
    for (int c = column; c >= 0; c = keys_[static_cast<std::size_t>(c)].sameKeyNext) {
      Column& col = packet_.columns[static_cast<std::size_t>(c)];
      switch (col.kind) {
        case ValueKind::Integer:
          if (const auto v = ParseInteger(Plain(raw), keys_[static_cast<std::size_t>(c)].range)) {
            col.numbers[row] = *v;
            col.present[row] = 1;
          }
          break;
        case ValueKind::DateTime:
          if (const auto v = ParseDateTime(Plain(raw), keys_[static_cast<std::size_t>(c)].days)) {
            col.numbers[row] = *v;
            col.present[row] = 1;
          }
          break;
        case ValueKind::Text:
          Decode(raw, col.texts[row]);
          col.present[row] = 1;
          break;
      }
    }
  }

  std::string_view s_;
  std::size_t pos_ = 0;
  Encoding encoding_ = Encoding::Ansi;
  Packet packet_;
  std::vector<ColumnKey> keys_;  // one per column
  std::unordered_map<std::string_view, int> attributeIndex_;
  std::unordered_map<std::string_view, int> tagIndex_;
  std::size_t cellBytesPerRow_ = 1;
  std::size_t maxRows_ = 0;
  std::string scratch_;
};

}  // namespace

Packet ReadPacket(std::string_view bytes) { return PacketReader(bytes).Read(); }

}  // namespace tecladim::history
