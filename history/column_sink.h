#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "history/packet.h"
#include "history/packet_values.h"

// Where the reader's grammar puts what it accepts: the field descriptions become columns,
// and each row's values are stored into them compactly, one vector per column. Knows
// nothing of markup; the grammar hands over names and raw (still escaped) values.
namespace tecladim::history::packet_reading {

class ColumnSink {
 public:
  // The file's size bounds the memory the columns may take (see BeginRows).
  explicit ColumnSink(std::size_t fileSize) : fileSize_(fileSize) {}

  void SetEncoding(Encoding encoding) { encoding_ = encoding; }

  // A raw value as text, references and code page resolved.
  std::string Decoded(std::string_view raw) const;
  // Numbers and dates are read from the raw bytes unless they hold a reference.
  std::string_view Plain(std::string_view raw) {
    if (raw.find('&') == std::string_view::npos) return raw;
    DecodeValue(raw, encoding_, scratch_);
    return scratch_;
  }

  // A field description, found in the rows by `key` (its raw attrname or tagname).
  void AddField(FieldDef def, ValueKind kind, std::string_view key, IntegerRange range);
  // After the last field description: columns of one name are chained (see SetValue).
  void EndFields();

  void AddParam(std::string_view name, std::string_view raw) { packet_.params.emplace_back(std::string(name), Decoded(raw)); }
  void SetChangeLog(std::string_view raw) {
    if (!ReadChangeLog(Plain(raw), packet_.changeLog)) Bend();
  }

  // Something of the file was read other than as a save writes it back: a value clamped or
  // made blank, an attribute or element not kept, a change log rebuilt. What is accepted
  // stays the same; the flag only tells that the file's own bytes hold more than the packet.
  void Bend() { bent_ = true; }
  bool Bent() const { return bent_; }

  void BeginRows();
  // Before each row, with the bytes the rows so far took and the bytes left in the file:
  // after the first rows, room for all of them is reserved at once.
  void BeforeRow(std::size_t rowBytes, std::size_t bytesLeft) {
    if (packet_.rowStates.size() == RowsBeforeReserve) Reserve(EstimatedRows(rowBytes, bytesLeft));
  }
  // Whether another row would take more memory than a file of this size may ask for.
  bool Full() const { return packet_.rowStates.size() >= maxRows_; }
  // A new row with every field blank and status 0; returns its index.
  std::size_t BeginRow() {
    const std::size_t row = packet_.rowStates.size();
    packet_.rowStates.push_back(0);
    for (Column& c : packet_.columns) {
      c.present.push_back(0);
      if (c.kind == ValueKind::Text) c.texts.emplace_back();
      else c.numbers.push_back(0);
    }
    return row;
  }
  void SetRowState(std::size_t row, std::string_view raw) {
    const std::string_view text = Plain(raw);
    const std::optional<std::int64_t> state = IntegerOrBlank(text, {0, 255});
    packet_.rowStates[row] = static_cast<std::uint8_t>(state.value_or(0));
    if (!IsWrittenInteger(text, state)) Bend();
  }

  // The column an attribute of a row fills, -1 for none. The attributes of a row usually
  // come in field order, so the column after `hint` is tried first.
  int FindAttributeColumn(std::string_view name, std::size_t hint) const {
    if (hint < keys_.size() && !packet_.columns[hint].def.fromTag && keys_[hint].key == name)
      return keys_[hint].first;
    const auto it = attributeIndex_.find(name);
    return it == attributeIndex_.end() ? -1 : it->second;
  }
  // The column a child element of a row fills, -1 for none.
  int FindTagColumn(std::string_view name) const {
    const auto it = tagIndex_.find(name);
    return it == tagIndex_.end() ? -1 : it->second;
  }

  // Stores a raw value into a column and the columns that share its name; the first
  // value a row gives a name counts, so repeated names cost nothing more.
  void SetValue(int column, std::size_t row, std::string_view raw) {
    std::size_t& setInRow = keys_[static_cast<std::size_t>(column)].setInRow;
    if (setInRow == row + 1) {
      Bend();  // a second value for the same field in one row
      return;
    }
    setInRow = row + 1;
    for (int c = column; c >= 0; c = keys_[static_cast<std::size_t>(c)].sameKeyNext) {
      Column& col = packet_.columns[static_cast<std::size_t>(c)];
      switch (col.kind) {
        case ValueKind::Integer: {
          const std::string_view text = Plain(raw);
          const auto v = IntegerOrBlank(text, keys_[static_cast<std::size_t>(c)].range);
          if (v) {
            col.numbers[row] = *v;
            col.present[row] = 1;
          }
          if (!IsWrittenInteger(text, v)) Bend();
          break;
        }
        case ValueKind::DateTime: {
          const std::string_view text = Plain(raw);
          const auto v = StampOrBlank(text, keys_[static_cast<std::size_t>(c)].days);
          if (v) {
            col.numbers[row] = *v;
            col.present[row] = 1;
          }
          if (!(v ? IsWrittenDateTime(text) : text.empty())) Bend();
          break;
        }
        case ValueKind::Text:
          DecodeValue(raw, encoding_, col.texts[row]);
          col.present[row] = 1;
          break;
      }
    }
  }

  Packet Take() { return std::move(packet_); }

 private:
  // A column as the rows find it: by the raw `attrname` (or `tagname`) of its description.
  struct ColumnKey {
    std::string_view key;
    IntegerRange range{};
    int sameKeyNext = -1;  // the next column with the same name: it takes the same value
    int first = -1;        // the first column of this name, where a value is stored from
    DayCache days;         // per column: `data` and `tempo` lie on different days
    std::size_t setInRow = 0;  // row number + 1 of the last row that gave this name a value
  };

  // The rows of a history are all alike, so the first ones tell how many the rest of the
  // file holds; a little more is reserved, which costs address space, not memory.
  static constexpr std::size_t RowsBeforeReserve = 64;
  std::size_t EstimatedRows(std::size_t rowBytes, std::size_t bytesLeft) const;
  void Reserve(std::size_t rows);

  std::size_t fileSize_;
  Encoding encoding_ = Encoding::Ansi;
  Packet packet_;
  std::vector<ColumnKey> keys_;  // one per column
  std::unordered_map<std::string_view, int> attributeIndex_;
  std::unordered_map<std::string_view, int> tagIndex_;
  std::size_t cellBytesPerRow_ = 1;
  std::size_t fieldBytes_ = 0;  // what the field descriptions took
  std::size_t maxRows_ = 0;
  std::string scratch_;
  bool bent_ = false;
};

}  // namespace tecladim::history::packet_reading
