#include "history/packet_values.h"

#include "history/utf8.h"

namespace tecladim::history::packet_reading {
namespace {

// A character reference longer than this ("&#x0000010FFFF;") is not one.
constexpr std::size_t MaxReferenceLength = 16;

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

}  // namespace

void DecodeValue(std::string_view raw, Encoding encoding, std::string& out) {
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
    } else if (c >= 0x80 && encoding == Encoding::Ansi) {
      out.append(raw.substr(run, i - run));
      AppendUtf8(out, c < 0xA0 ? Cp1252High[c - 0x80] : c);
      run = ++i;
      continue;
    }
    ++i;
  }
  out.append(raw.substr(run));
}

bool ReadChangeLog(std::string_view text, std::vector<ChangeLogEntry>& log) {
  bool asWritten = true;
  constexpr std::size_t MinEntryText = 6;  // "1 0 4 "
  log.reserve(text.size() / MinEntryText + 1);
  std::array<std::uint32_t, 3> entry{};
  std::size_t filled = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size()) break;
    std::uint64_t v = 0;
    const std::size_t start = i;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      const std::uint64_t next = v * 10 + static_cast<std::uint64_t>(text[i] - '0');
      asWritten = asWritten && next <= std::numeric_limits<std::uint32_t>::max();
      v = std::min<std::uint64_t>(next, std::numeric_limits<std::uint32_t>::max());
    }
    asWritten = asWritten && i > start && (text[start] != '0' || i == start + 1);
    if (i < text.size() && !IsBlank(text[i])) asWritten = false;
    while (i < text.size() && !IsBlank(text[i])) ++i;
    entry[filled++] = static_cast<std::uint32_t>(v);
    if (filled == entry.size()) {
      log.push_back({entry[0], entry[1], entry[2]});
      filled = 0;
    }
  }
  return asWritten && filled == 0;
}

}  // namespace tecladim::history::packet_reading
