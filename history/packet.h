#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The content of an XML data packet ("Exercicio.xml"): field descriptions, record-set
// parameters (the change log) and rows. Values are held by column, compactly, because
// a classroom history reaches a million rows.
namespace tecladim::history {

// How a column holds its values, decided by its type word.
enum class ValueKind {
  Integer,   // "i1", "i2", "i4", "i8", "int", "ui1", "ui2", "ui4", "uint": numbers[] holds the value
  DateTime,  // "dateTime", "date", "time", "SQLdateTime"...: numbers[] holds Stamp::ms
  Text,      // every other known type word: texts[] holds the value, unescaped
};

struct FieldDef {
  std::string name;      // the field's name: `fieldname` when present, else `attrname`/`tagname`
  std::string type;      // the type word as the file spells it ("i4", "dateTime", ...)
  bool fromTag = false;  // described with `tagname`: values are child elements, not attributes
  bool readonly = false;
  bool required = false;
  bool hidden = false;
  bool linkfield = false;
  // Other attributes of the field description, in file order, carried to the next save.
  std::vector<std::pair<std::string, std::string>> params;
  friend bool operator==(const FieldDef&, const FieldDef&) = default;
};

struct Column {
  FieldDef def;
  ValueKind kind = ValueKind::Text;
  std::vector<std::int64_t> numbers;  // Integer and DateTime kinds, one per row
  std::vector<std::string> texts;     // Text kind, one per row
  std::vector<std::uint8_t> present;  // one per row: 0 = blank field
  friend bool operator==(const Column&, const Column&) = default;
};

struct ChangeLogEntry {
  std::uint32_t record = 0;    // record number
  std::uint32_t replaced = 0;  // number of the record replaced
  std::uint32_t kind = 0;      // 4 = insertion
  friend bool operator==(const ChangeLogEntry&, const ChangeLogEntry&) = default;
};

struct Packet {
  std::vector<Column> columns;
  std::vector<std::uint8_t> rowStates;  // record status of each row, in file order
  std::vector<ChangeLogEntry> changeLog;
  // Other attributes of PARAMS, in file order, carried to the next save.
  std::vector<std::pair<std::string, std::string>> params;

  std::size_t RowCount() const { return rowStates.size(); }
  friend bool operator==(const Packet&, const Packet&) = default;
};

// More elements open at once than this is a damaged (or hostile) file.
inline constexpr int MaxOpenElements = 63;

enum class PacketErrorKind {
  Mismatch,          // "Mismatch in datapacket."
  NoMetaData,        // "Datapacket contains no meta data."
  InvalidFieldType,  // "Invalid field type."
};

// The one place that turns a reader error into the text the user sees.
const char* PacketErrorText(PacketErrorKind kind);

class PacketError : public std::runtime_error {
 public:
  PacketError(PacketErrorKind kind, std::size_t offset)
      : std::runtime_error(PacketErrorText(kind)), kind_(kind), offset_(offset) {}
  PacketErrorKind kind() const { return kind_; }
  std::size_t offset() const { return offset_; }  // byte where reading stopped

 private:
  PacketErrorKind kind_;
  std::size_t offset_;
};

// The exact bytes of the XML form, built in memory.
std::string WritePacket(const Packet& packet);

// Reads a non-empty file's bytes; throws PacketError.
Packet ReadPacket(std::string_view bytes);

// What a read noticed beside the packet.
struct ReadReport {
  // The reader had to bend the file to accept it: a value clamped or made blank, an
  // attribute or element it does not keep, a change log it rebuilt. A save of the packet
  // would then not give back the file's information.
  bool bent = false;
};
Packet ReadPacket(std::string_view bytes, ReadReport& report);

// The kind of column a known type word gives (history/field_types.h); false when the word is unknown
// (compared without regard to letter case).
bool KindOfType(std::string_view typeWord, ValueKind& kind);

// Whether a text can stand as an attribute or element name of the file as it is: ASCII
// letters, digits, "_", "-", "." and ":" only. Parameters with other names are not kept,
// because no save could write them back so that they read again the same.
bool IsPlainName(std::string_view name);

}  // namespace tecladim::history
