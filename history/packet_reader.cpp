#include <optional>

#include "history/ascii_case.h"
#include "history/column_sink.h"
#include "history/field_types.h"
#include "history/packet.h"
#include "history/packet_scanner.h"
#include "history/utf8.h"

// The reader's grammar: one function per element of the packet, each headed by the rule it
// accepts. Bytes come from the ByteScanner, what is accepted goes to the ColumnSink.
// Every production that opens an element holds an Open guard, so the depth of elements open at
// once is counted in one place and a nesting deeper than MaxOpenElements fails there.
namespace tecladim::history {
namespace {

using packet_reading::ByteScanner;
using packet_reading::ColumnSink;
using packet_reading::Encoding;
using packet_reading::IntegerRange;
using packet_reading::IsBlank;

constexpr std::string_view Bom = "\xEF\xBB\xBF";
constexpr std::string_view RowStateName = "RowState";

// What the binary form of a data packet starts with; this reader does not read that form.
constexpr std::uint32_t BinaryMagic = 0xBDE01996;
constexpr std::uint32_t BinaryMagicOld = 0x0000ABCD;
constexpr std::uint16_t BinaryMaxVersion = 3;

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

// Whether a declaration has encoding="UTF-8" (either quote, any letter case).
bool DeclaresUtf8(std::string_view declaration) {
  if (declaration.size() < 5 || !EqualIgnoringAsciiCase(declaration.substr(2, 3), "xml")) return false;
  for (std::size_t at = 0; at + 8 <= declaration.size(); ++at) {
    if (!EqualIgnoringAsciiCase(declaration.substr(at, 8), "encoding")) continue;
    std::size_t k = at + 8;
    while (k < declaration.size() && IsBlank(declaration[k])) ++k;
    if (k >= declaration.size() || declaration[k] != '=') continue;
    ++k;
    while (k < declaration.size() && IsBlank(declaration[k])) ++k;
    if (k >= declaration.size() || (declaration[k] != '"' && declaration[k] != '\'')) continue;
    const std::size_t end = declaration.find(declaration[k], k + 1);
    if (end == std::string_view::npos) return false;
    return EqualIgnoringAsciiCase(declaration.substr(k + 1, end - k - 1), "UTF-8");
  }
  return false;
}

class PacketGrammar {
 public:
  explicit PacketGrammar(std::string_view bytes) : in_(bytes), sink_(bytes.size()) {}

  Packet Read(ReadReport& report) {
    ReadDocument();
    report.bent = sink_.Bent();
    return sink_.Take();
  }

 private:
  // The attributes of an element whose attributes this reader does not keep.
  auto NotKept() {
    return [this](std::string_view, std::string_view) { sink_.Bend(); };
  }

  // One element open for as long as it lives; refuses the one past MaxOpenElements.
  class Open {
   public:
    explicit Open(PacketGrammar& grammar) : grammar_(grammar) {
      if (++grammar_.open_ > MaxOpenElements) grammar_.in_.Fail(PacketErrorKind::Mismatch);
    }
    ~Open() { --grammar_.open_; }
    Open(const Open&) = delete;
    Open& operator=(const Open&) = delete;

   private:
    PacketGrammar& grammar_;
  };

  // Document ::= Prolog (DataPacket | Metadata RowData)
  // DataPacket ::= "<DATAPACKET" attributes ">" Misc Metadata RowData Content "</DATAPACKET>"
  void ReadDocument() {
    if (IsBinaryForm(in_.Bytes())) in_.Fail(PacketErrorKind::Mismatch);
    ReadProlog();
    std::size_t tagAt = in_.Pos();
    std::string_view name = in_.ReadTagName();
    const bool wrapped = name == "DATAPACKET";
    std::optional<Open> packet;
    if (wrapped) {
      packet.emplace(*this);
      const bool empty = in_.ReadAttributes([this](std::string_view attribute, std::string_view value) {
        if (attribute != "Version" || value != "2.0") sink_.Bend();  // the save writes this one alone
      });
      if (empty) in_.Fail(PacketErrorKind::Mismatch);
      in_.SkipMisc();
      tagAt = in_.Pos();
      name = in_.ReadTagName();
    }
    if (name == "ROWDATA") in_.FailAt(PacketErrorKind::NoMetaData, tagAt);
    if (name != "METADATA") in_.FailAt(PacketErrorKind::Mismatch, tagAt);
    ReadMetadata();
    in_.SkipMisc();
    tagAt = in_.Pos();
    if (in_.AtEnd() || in_.ReadTagName() != "ROWDATA") in_.FailAt(PacketErrorKind::Mismatch, tagAt);
    ReadRowData();
    if (wrapped) SkipContent("DATAPACKET");
  }

  // Prolog ::= BOM? blank* "<" (Declaration Misc)?, noting encoding="UTF-8" in the declaration.
  void ReadProlog() {
    bool utf8 = false;
    if (in_.LookingAt(Bom)) {
      in_.Seek(Bom.size());
      utf8 = true;
    }
    const std::size_t textStart = in_.Pos();
    in_.SkipBlanks();
    if (in_.AtEnd() || !in_.LookingAt("<")) in_.Fail(PacketErrorKind::Mismatch);
    if (in_.LookingAt("<?")) {
      const std::size_t start = in_.Pos();
      in_.Seek(start + 2);
      in_.SkipPast("?>");
      utf8 = utf8 || DeclaresUtf8(in_.Bytes().substr(start, in_.Pos() - start));
    }
    if (utf8 && IsValidUtf8(in_.Bytes().substr(textStart))) sink_.SetEncoding(Encoding::Utf8);
    in_.SkipMisc();
  }

  // Metadata ::= "<METADATA" attributes ">" Misc Fields (Params | Element | CharData)* "</METADATA>"
  void ReadMetadata() {
    const Open open(*this);
    if (in_.ReadAttributes(NotKept())) in_.Fail(PacketErrorKind::Mismatch);
    in_.SkipMisc();
    const std::size_t tagAt = in_.Pos();
    if (in_.AtEnd() || in_.ReadTagName() != "FIELDS") in_.FailAt(PacketErrorKind::Mismatch, tagAt);
    ReadFields();
    bool paramsSeen = false;
    for (;;) {
      in_.SkipText();
      if (in_.LookingAt("</")) {
        in_.ReadEndTag("METADATA");
        return;
      }
      const std::size_t childAt = in_.Pos();
      if (!paramsSeen && in_.ReadTagName() == "PARAMS") {
        paramsSeen = true;
        ReadParams();
      } else {
        in_.Seek(childAt);
        SkipElement();
      }
    }
  }

  // Fields ::= "<FIELDS" attributes ("/>" | ">" (FieldDescription | CharData)* "</FIELDS>")
  void ReadFields() {
    const Open open(*this);
    if (!in_.ReadAttributes(NotKept())) {
      for (;;) {
        in_.SkipText();
        if (in_.LookingAt("</")) {
          in_.ReadEndTag("FIELDS");
          break;
        }
        ReadFieldDescription();
      }
    }
    sink_.EndFields();
  }

  // FieldDescription ::= "<" AnyName (attrname | tagname) fieldtype flags fieldname? other* ("/>" | ">" Content "</" AnyName ">")
  void ReadFieldDescription() {
    const Open open(*this);
    const std::size_t tagAt = in_.Pos();
    const std::string_view element = in_.ReadTagName();
    std::optional<std::string_view> attrname, tagname, fieldname, fieldtype;
    FieldDef def;
    const bool empty = in_.ReadAttributes([&](std::string_view name, std::string_view value) {
      const auto first = [&](std::optional<std::string_view>& slot) {
        if (!slot) slot = value;
      };
      const auto flag = [&](bool& slot) { slot = slot || EqualIgnoringAsciiCase(sink_.Plain(value), "true"); };
      if (name == "attrname") first(attrname);
      else if (name == "tagname") first(tagname);
      else if (name == "fieldname") first(fieldname);
      else if (name == "fieldtype") first(fieldtype);
      else if (name == "readonly") flag(def.readonly);
      else if (name == "required") flag(def.required);
      else if (name == "hidden") flag(def.hidden);
      else if (name == "linkfield") flag(def.linkfield);
      else if (IsPlainName(name)) def.params.emplace_back(std::string(name), sink_.Decoded(value));
      else sink_.Bend();
    });
    if (!empty) SkipContent(element);  // a nested data set's own layout is not kept
    if (!attrname && !tagname) in_.FailAt(PacketErrorKind::Mismatch, tagAt);
    if (!fieldtype) in_.FailAt(PacketErrorKind::InvalidFieldType, tagAt);
    def.type = sink_.Decoded(*fieldtype);
    const FieldType* type = FindFieldType(def.type);
    if (type == nullptr) in_.FailAt(PacketErrorKind::InvalidFieldType, tagAt);
    def.fromTag = !attrname;
    const std::string_view key = attrname ? *attrname : *tagname;
    def.name = sink_.Decoded(fieldname ? *fieldname : key);
    const IntegerRange range = type->kind == ValueKind::Integer ? IntegerRange{type->min, type->max} : IntegerRange{};
    sink_.AddField(std::move(def), type->kind, key, range);
  }

  // Params ::= "<PARAMS" (CHANGE_LOG | other)* ("/>" | ">" Content "</PARAMS>"); only the
  // first CHANGE_LOG counts, and elements inside (PARAM) are not kept.
  void ReadParams() {
    const Open open(*this);
    bool logSeen = false;
    const bool empty = in_.ReadAttributes([&](std::string_view name, std::string_view value) {
      if (name == "CHANGE_LOG") {
        if (!logSeen) sink_.SetChangeLog(value);
        else sink_.Bend();
        logSeen = true;
      } else if (IsPlainName(name)) {
        sink_.AddParam(name, value);
      } else {
        sink_.Bend();
      }
    });
    if (!empty) SkipContent("PARAMS");
  }

  // RowData ::= "<ROWDATA" attributes ("/>" | ">" (Row | CharData)* "</ROWDATA>"), the first
  // row's name beginning with "ROW".
  void ReadRowData() {
    const Open open(*this);
    if (in_.ReadAttributes(NotKept())) return;
    sink_.BeginRows();
    const std::size_t rowsStart = in_.Pos();
    for (bool first = true;; first = false) {
      sink_.BeforeRow(in_.Pos() - rowsStart, in_.Bytes().size() - in_.Pos());
      in_.SkipText();
      if (in_.LookingAt("</")) {
        in_.ReadEndTag("ROWDATA");
        return;
      }
      const std::size_t tagAt = in_.Pos();
      const std::string_view name = in_.ReadTagName();
      if (first && !name.starts_with("ROW")) in_.FailAt(PacketErrorKind::Mismatch, tagAt);
      ReadRow(name);
    }
  }

  // Row ::= "<" name (RowState | field attribute | other)* ("/>" | ">" RowContent); every
  // field starts blank and only the first RowState counts.
  void ReadRow(std::string_view element) {
    const Open open(*this);
    if (sink_.Full()) in_.Fail(PacketErrorKind::Mismatch);
    const std::size_t row = sink_.BeginRow();
    bool stateSeen = false;
    std::size_t hint = 0;
    const bool empty = in_.ReadAttributes([&](std::string_view name, std::string_view value) {
      const bool state = name == RowStateName;
      if (state) {
        if (!stateSeen) sink_.SetRowState(row, value);
        else sink_.Bend();
        stateSeen = true;
      }
      const int column = sink_.FindAttributeColumn(name, hint);
      if (column >= 0) {
        hint = static_cast<std::size_t>(column) + 1;
        sink_.SetValue(column, row, value);
      } else if (!state) {
        sink_.Bend();
      }
    });
    if (!empty) ReadRowContent(element, row);
  }

  // RowContent ::= (FieldElement | Element | CharData)* "</" name ">", where a FieldElement
  // ::= "<" tagname attributes ("/>" | ">" Text Content "</" tagname ">") gives the value:
  // its text up to the first markup.
  void ReadRowContent(std::string_view element, std::size_t row) {
    for (;;) {
      in_.SkipText();
      if (in_.LookingAt("</")) {
        in_.ReadEndTag(element);
        return;
      }
      const std::size_t childAt = in_.Pos();
      const std::string_view name = in_.ReadTagName();
      const int column = sink_.FindTagColumn(name);
      if (column < 0) {
        in_.Seek(childAt);
        SkipElement();
        continue;
      }
      const Open field(*this);
      if (in_.ReadAttributes(NotKept())) {
        sink_.SetValue(column, row, {});
        continue;
      }
      sink_.SetValue(column, row, in_.ReadTextUpToMarkup());
      SkipContent(name);
    }
  }

  // Content ::= (Element | CharData)* "</" name ">", of an element this reader has no use for.
  void SkipContent(std::string_view name) {
    for (;;) {
      in_.SkipText();
      if (in_.LookingAt("</")) {
        in_.ReadEndTag(name);
        return;
      }
      SkipElement();
    }
  }

  // Element ::= "<" name attributes ("/>" | ">" Content), nested at most MaxOpenElements deep.
  void SkipElement() {
    const Open open(*this);
    sink_.Bend();
    const std::string_view name = in_.ReadTagName();
    if (!in_.ReadAttributes(NotKept())) SkipContent(name);
  }

  ByteScanner in_;
  ColumnSink sink_;
  int open_ = 0;  // elements open at once, the one being read included
};

}  // namespace

Packet ReadPacket(std::string_view bytes, ReadReport& report) { return PacketGrammar(bytes).Read(report); }

Packet ReadPacket(std::string_view bytes) {
  ReadReport report;
  return ReadPacket(bytes, report);
}

}  // namespace tecladim::history
