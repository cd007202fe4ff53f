#pragma once
#include <cstdint>
#include <cstring>
#include <string_view>

#include "history/packet.h"

// The reader's lowest layer: a position over the file's bytes, the markup tokens of the
// packet's XML dialect (tag names, attributes, end tags, comments and instructions), and
// the error raised at the byte where reading stopped. What the elements mean is the
// grammar's business (packet_reader.cpp). Inline: every byte of a load goes through here.
namespace tecladim::history::packet_reading {

constexpr bool IsBlank(char c) { return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32; }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

class ByteScanner {
 public:
  explicit ByteScanner(std::string_view bytes) : s_(bytes) {}

  std::string_view Bytes() const { return s_; }
  std::size_t Pos() const { return pos_; }
  void Seek(std::size_t pos) { pos_ = pos; }
  bool AtEnd() const { return pos_ >= s_.size(); }
  bool LookingAt(std::string_view what) const { return s_.substr(pos_, what.size()) == what; }

  [[noreturn]] void Fail(PacketErrorKind kind) const { throw PacketError(kind, pos_); }
  [[noreturn]] static void FailAt(PacketErrorKind kind, std::size_t at) { throw PacketError(kind, at); }

  void SkipBlanks() {
    while (pos_ < s_.size() && IsBlank(s_[pos_])) ++pos_;
  }

  // Skips through the end marker of a comment or processing instruction, or fails at the end.
  void SkipPast(std::string_view endMarker) {
    const std::size_t end = s_.find(endMarker, pos_);
    if (end == std::string_view::npos) {
      pos_ = s_.size();
      Fail(PacketErrorKind::Mismatch);
    }
    pos_ = end + endMarker.size();
  }

  // Comment ::= "<!--" ... "-->"  |  PI ::= "<?" ... "?>"; false when neither starts here.
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

  // Misc ::= (blank | Comment | PI)*, between elements.
  void SkipMisc() {
    for (;;) {
      SkipBlanks();
      if (!SkipCommentOrInstruction()) return;
    }
  }

  // CharData ::= (text | Comment | PI)*, inside an element; stops at the "<" of the next
  // start or end tag, fails when there is none.
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

  // TagOpen ::= "<" Name, the name being anything up to a blank, "/" or ">"; returns it.
  std::string_view ReadTagName() {
    if (AtEnd() || s_[pos_] != '<') Fail(PacketErrorKind::Mismatch);
    const std::size_t start = ++pos_;
    while (pos_ < s_.size() && !IsBlank(s_[pos_]) && s_[pos_] != '/' && s_[pos_] != '>') ++pos_;
    if (pos_ == start) Fail(PacketErrorKind::Mismatch);
    return s_.substr(start, pos_ - start);
  }

  // TagRest ::= (blank* Name '="' Value '"')* blank* (">" | "/>"), nothing around the "=";
  // hands each attribute to onAttribute (the value still escaped). True for "/>".
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

  // EndTag ::= "</" name blank* ">", for the element being closed; any other is a mismatch.
  void ReadEndTag(std::string_view name) {
    if (!LookingAt("</")) Fail(PacketErrorKind::Mismatch);
    pos_ += 2;
    if (!LookingAt(name)) Fail(PacketErrorKind::Mismatch);
    pos_ += name.size();
    SkipBlanks();
    if (AtEnd() || s_[pos_] != '>') Fail(PacketErrorKind::Mismatch);
    ++pos_;
  }

  // Text ::= bytes up to the next "<", which must come; returns them and stops at the "<".
  std::string_view ReadTextUpToMarkup() {
    const std::size_t start = pos_;
    const std::size_t lt = s_.find('<', pos_);
    if (lt == std::string_view::npos) {
      pos_ = s_.size();
      Fail(PacketErrorKind::Mismatch);
    }
    pos_ = lt;
    return s_.substr(start, lt - start);
  }

 private:
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

  std::string_view s_;
  std::size_t pos_ = 0;
};

}  // namespace tecladim::history::packet_reading
