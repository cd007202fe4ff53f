#include "platform/durable_file_journal.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "platform/data_folder.h"

namespace tecladim::platform {
namespace {

constexpr std::string_view Magic = "TCLDJNL1";
constexpr std::string_view Mark = "COMPLETE";
constexpr std::size_t FieldsAt = Magic.size() + Mark.size();
constexpr std::size_t FieldCount = 9;  // the header's numbers, then their own checksum
constexpr std::size_t ChecksumAt = FieldsAt + FieldCount * 8;
constexpr std::size_t HeaderSize = ChecksumAt + 8;

std::uint64_t Fnv(std::string_view bytes, std::uint64_t hash = 14695981039346656037ull) {
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

void Put(std::string& out, std::uint64_t v) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
}

std::uint64_t Get(std::string_view in, std::size_t at) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(in[at + static_cast<std::size_t>(i)]);
  return v;
}

}  // namespace

std::string_view JournalMark() { return Mark; }

std::string EncodeJournal(const JournalHeader& h, std::string_view body) { return JournalHead(h, body).append(body); }

std::string JournalHead(const JournalHeader& h, std::string_view body) {
  std::string out(Magic);
  out.append(Mark);
  for (const std::uint64_t v : {h.device, h.file, h.oldSize, h.newSize, h.offset, h.anchorHash, h.pathHash,
                                static_cast<std::uint64_t>(body.size()), Fnv(body)})
    Put(out, v);
  Put(out, Fnv(std::string_view(out).substr(FieldsAt)));
  return out;
}

JournalState DecodeJournal(std::string_view bytes, JournalHeader& h, std::string_view& body) {
  if (bytes.size() < HeaderSize || bytes.substr(0, Magic.size()) != Magic ||
      bytes.substr(JournalMarkOffset, Mark.size()) != Mark)
    return JournalState::Incomplete;
  const std::size_t at = FieldsAt;
  if (Get(bytes, ChecksumAt) != Fnv(bytes.substr(at, ChecksumAt - at))) return JournalState::Incomplete;
  h = {Get(bytes, at),      Get(bytes, at + 8),  Get(bytes, at + 16), Get(bytes, at + 24),
       Get(bytes, at + 32), Get(bytes, at + 40), Get(bytes, at + 48)};
  const std::uint64_t length = Get(bytes, at + 56);
  if (length != bytes.size() - HeaderSize || h.offset + length != h.newSize) return JournalState::Incomplete;
  body = bytes.substr(HeaderSize);
  if (Fnv(body) != Get(bytes, at + 64)) return JournalState::Incomplete;
  return JournalState::Complete;
}

std::size_t SharedPrefix(std::string_view a, std::string_view b) {
  const auto [ia, ib] =
      std::mismatch(a.begin(), a.begin() + static_cast<std::ptrdiff_t>(std::min(a.size(), b.size())), b.begin());
  return static_cast<std::size_t>(ia - a.begin());
}

std::uint64_t JournalAnchorHash(std::string_view before) {
  if (before.size() > JournalAnchorLength) before.remove_prefix(before.size() - JournalAnchorLength);
  return Fnv(before);
}

bool JournalFits(const JournalHeader& h, std::uint64_t device, std::uint64_t file, std::uint64_t size,
                 std::uint64_t anchorHash) {
  // The write grows or shrinks the file between its old and its new size; a reserve that
  // the system cannot keep out of sight may have grown it to the new size already.
  return h.device == device && h.file == file && size >= std::min(h.oldSize, h.newSize) &&
         size <= std::max(h.oldSize, h.newSize) && h.offset <= size && h.anchorHash == anchorHash;
}

std::filesystem::path JournalBeside(const std::filesystem::path& history) {
  std::string name(".");
  name += history.filename().string();
  name += ".journal";
  return history.parent_path() / name;
}

std::uint64_t PathHash(const std::filesystem::path& absoluteHistory) {
  const std::u8string text = absoluteHistory.lexically_normal().u8string();
  return Fnv(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

std::filesystem::path JournalInDataFolder(const std::filesystem::path& dataFolder,
                                          const std::filesystem::path& absoluteHistory) {
  std::array<char, 17> hex{};
  std::snprintf(hex.data(), hex.size(), "%016llx", static_cast<unsigned long long>(PathHash(absoluteHistory)));
  return dataFolder / "journals" / (std::string(hex.data()) + ".journal");
}

std::filesystem::path JournalSetAside(const std::filesystem::path& journal) {
  std::filesystem::path aside = journal;
  aside += ".kept";
  return aside;
}

std::filesystem::path AbsoluteHistoryPath(const std::filesystem::path& history) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(history, ec);
  return ec ? history : full.lexically_normal();
}

std::vector<std::filesystem::path> JournalPlaces(const std::filesystem::path& history) {
  std::vector<std::filesystem::path> places{JournalBeside(history)};
  const std::filesystem::path data = UserDataFolder();
  if (!data.empty()) places.push_back(JournalInDataFolder(data, AbsoluteHistoryPath(history)));
  return places;
}

}  // namespace tecladim::platform
