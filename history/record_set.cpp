#include "history/record_set.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <limits>
#include <numeric>
#include <random>
#include <thread>
#include <utility>

#include "history/ascii_case.h"
#include "history/field_types.h"
#include "history/look_again.h"
#include "history/preload.h"
#include "history/record_set_errors.h"
#include "history/regional.h"
#include "history/utf8.h"

namespace tecladim::history {
namespace {

// "30/12/1899 ": the date part of a duration under one day, and one blank.
constexpr std::u16string_view DurationDatePrefix = u"30/12/1899 ";
constexpr std::size_t TempoTextLimit = 100;

// Room for this many posts is made when a history is loaded, so that the first exercise
// of a run does not copy every column of a large history to grow it; the room of all the
// columns together stays within PostHeadroomBytes, as a file of thousands of fields would
// otherwise ask for gigabytes of room it never uses.
constexpr std::size_t PostHeadroom = 4096;
constexpr std::size_t PostHeadroomBytes = std::size_t{1} << 20;

// Blank `data` sorts before every date, as the record set's index puts nulls first.
constexpr std::int64_t BlankKey = std::numeric_limits<std::int64_t>::min();

// Whether a field of this kind takes the values of a column of this type word without loss.
// A text field takes strings only: the other words held as text are numbers and flags.
bool AcceptedType(ValueKind kind, std::string_view typeWord) {
  const FieldType* type = FindFieldType(typeWord);
  if (type == nullptr || type->kind != kind) return false;
  if (kind == ValueKind::Text) return type->setName == "String" || type->setName == "WideString";
  return type->holdsHistoryField;
}

// The record set's name for a type word of the file, as a type mismatch reports it.
std::string_view TypeName(std::string_view typeWord) {
  const FieldType* type = FindFieldType(typeWord);
  return type != nullptr ? type->setName : typeWord;
}

std::string_view KindName(ValueKind kind) {
  switch (kind) {
    case ValueKind::Integer: return "Integer";
    case ValueKind::DateTime: return "DateTime";
    case ValueKind::Text: return "WideString";
  }
  return "";
}

Packet EmptyContent(const RecordLayout& layout) {
  Packet packet;
  for (const FieldDescription& f : layout.fields) {
    Column c;
    c.def.name = std::string(f.name);
    c.def.type = std::string(f.typeWord);
    c.kind = f.kind;
    packet.columns.push_back(std::move(c));
  }
  return packet;
}

// Every column as long as the row list, so appending and reading never run off a column.
void Square(Packet& packet) {
  const std::size_t rows = packet.RowCount();
  std::size_t bytesPerPost = sizeof(std::uint8_t);
  for (const Column& c : packet.columns)
    bytesPerPost += sizeof(std::uint8_t) + (c.kind == ValueKind::Text ? sizeof(std::string) : sizeof(std::int64_t));
  const std::size_t room = rows + std::clamp<std::size_t>(PostHeadroomBytes / bytesPerPost, 1, PostHeadroom);
  for (Column& c : packet.columns) {
    c.present.resize(rows);
    c.present.reserve(room);
    if (c.kind == ValueKind::Text) {
      c.texts.resize(rows);
      c.texts.reserve(room);
    } else {
      c.numbers.resize(rows);
      c.numbers.reserve(room);
    }
  }
  packet.rowStates.reserve(room);
  packet.changeLog.reserve(packet.changeLog.size() + PostHeadroom);
}

std::u16string DecimalText(std::int64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string TempoDisplayText(std::u16string_view plainText) {
  if (plainText.starts_with(DurationDatePrefix))
    return std::u16string(plainText.substr(DurationDatePrefix.size(), TempoTextLimit));
  return std::u16string(plainText);
}

RecordSet::RecordSet(std::string name, const RecordLayout& layout) : name_(std::move(name)), layout_(layout) {
  pending_ = BlankPending();
  MakeEmpty();
}

RecordSet::Pending RecordSet::BlankPending() const {
  Pending p;
  p.values.resize(FieldCount());
  p.texts.resize(FieldCount());
  p.present.resize(FieldCount());
  return p;
}

void RecordSet::AddListener(RecordSetListener* listener) { listeners_.push_back(listener); }

void RecordSet::RemoveListener(RecordSetListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void RecordSet::Fail(HistoryErrorKind kind, std::string_view field, std::string_view expected,
                     std::string_view actual) const {
  throw HistoryError(kind, name_ + ": " + RecordSetErrorText(kind, field, expected, actual));
}

void RecordSet::CheckActive() const {
  if (!active_) Fail(HistoryErrorKind::ClosedDataset);
}

std::size_t RecordSet::FieldIndex(std::string_view field) const {
  for (std::size_t i = 0; i < FieldCount(); ++i)
    if (layout_.fields[i].name == field) return i;
  Fail(HistoryErrorKind::FieldNotFound, field);
}

std::size_t RecordSet::FieldOfKind(std::string_view field, ValueKind kind) const {
  const std::size_t i = FieldIndex(field);
  if (layout_.fields[i].kind != kind)
    Fail(HistoryErrorKind::TypeMismatch, field, KindName(kind), KindName(layout_.fields[i].kind));
  return i;
}

void RecordSet::MakeEmpty() {
  content_ = EmptyContent(layout_);
  Bind({}, {}, 0);
  bound_ = FieldColumns::InFieldOrder(FieldCount());
  order_.clear();
  active_ = false;
  inserting_ = false;
  current_ = NoRow;
}

void RecordSet::CreateDataSet() {
  if (active_) Fail(HistoryErrorKind::OpenDataset);
  NotifyBeforeReset();
  MakeEmpty();
  active_ = true;
  NotifyAfterReset();
}

void RecordSet::Close() {
  if (!active_) return;
  NotifyBeforeReset();
  active_ = false;
  inserting_ = false;
  current_ = NoRow;
  NotifyAfterReset();
}

void RecordSet::Open() {
  if (active_) return;
  NotifyBeforeReset();
  active_ = true;
  current_ = order_.empty() ? NoRow : 0;
  NotifyAfterReset();
}

void RecordSet::LoadFromFile(const std::filesystem::path& name) {
  Reload([&] {
    InstallRead(name, ReadHistoryPacket(name));
  });
}

void RecordSet::LoadFromPreload(PacketPreload& preload) {
  Reload([&] {
    InstallRead(preload.Name(), preload.Take());
  });
}

void RecordSet::Bind(const std::filesystem::path& name, const platform::FileStamp& stamp, std::size_t fileRows) {
  std::error_code ec;
  boundFile_ = name.empty() ? name : std::filesystem::absolute(name, ec);
  boundStamp_ = stamp;
  fileRows_ = fileRows;
}

// A store tied to no file yet (created empty) merges with whatever file it meets; a save
// to a name other than its own file writes a copy of the store, as it always did.
bool RecordSet::ChangedSinceBound(const std::filesystem::path& name, const platform::FileStamp& now) const {
  if (now.size == 0) return false;  // nothing in the file to keep
  if (boundFile_.empty()) return true;
  std::error_code ec;
  if (std::filesystem::absolute(name, ec) != boundFile_) return false;
  return now != boundStamp_;
}

void RecordSet::InstallRead(const std::filesystem::path& name, HistoryRead&& read) {
  // A zero-byte file keeps the snapshot, none of whose rows it holds.
  if (read.packet) Install(std::move(*read.packet));
  Bind(name, read.stamp, read.packet ? content_.RowCount() : 0);
}

void RecordSet::LoadFromPacket(Packet packet) {
  Reload([&] {
    Install(std::move(packet));
    Bind({}, {}, 0);  // content of no file: all of it is new to whatever file it is saved to
  });
}

// Closes, lets `fill` replace the content, and opens again; a failure leaves the store
// closed and empty, so nothing of a file that failed to load is ever saved over it.
void RecordSet::Reload(const std::function<void()>& fill) {
  NotifyBeforeReset();
  active_ = false;
  inserting_ = false;
  current_ = NoRow;
  try {
    fill();
  } catch (const std::exception&) {
    MakeEmpty();
    NotifyAfterReset();
    throw;
  }
  active_ = true;
  current_ = order_.empty() ? NoRow : 0;
  NotifyAfterReset();
}

// Finds the layout's fields by name, in field order, reporting the first that fails.
FieldColumns RecordSet::BindFields(const Packet& packet) const {
  FieldColumns bound;
  for (const FieldDescription& field : layout_.fields) {
    const auto& columns = packet.columns;
    const auto it = std::find_if(columns.begin(), columns.end(),
                                 [&](const Column& c) { return EqualIgnoringAsciiCase(c.def.name, field.name); });
    if (it == columns.end())
      Fail(HistoryErrorKind::FieldNotFound, field.name);
    if (it->kind != field.kind || !AcceptedType(field.kind, it->def.type))
      Fail(HistoryErrorKind::TypeMismatch, field.name, KindName(field.kind), TypeName(it->def.type));
    bound.push_back(static_cast<std::size_t>(it - columns.begin()));
  }
  return bound;
}

void RecordSet::Install(Packet&& packet) {
  const FieldColumns bound = BindFields(packet);
  Square(packet);
  content_ = std::move(packet);
  bound_ = bound;
  BuildOrder();
}

std::int64_t RecordSet::DataKey(std::size_t row) const {
  const Column& c = content_.columns[bound_[layout_.orderField]];
  return c.present[row] ? c.numbers[row] : BlankKey;
}

// Ascending `data`, equal values in record-number order; a history written by this
// program is already in order, which one pass finds without sorting.
void RecordSet::BuildOrder() {
  const std::size_t rows = content_.RowCount();
  order_.reserve(rows + PostHeadroom);
  order_.resize(rows);
  std::iota(order_.begin(), order_.end(), 0u);
  bool sorted = true;
  for (std::size_t row = 1; row < rows && sorted; ++row) sorted = DataKey(row - 1) <= DataKey(row);
  if (sorted) return;
  std::vector<std::pair<std::int64_t, std::uint32_t>> keyed(rows);
  for (std::size_t row = 0; row < rows; ++row) keyed[row] = {DataKey(row), static_cast<std::uint32_t>(row)};
  std::sort(keyed.begin(), keyed.end());
  for (std::size_t i = 0; i < rows; ++i) order_[i] = keyed[i].second;
}

void RecordSet::SaveToFile(const std::filesystem::path& name) {
  if (!active_) return;
  // Rows of content_ from here on are this run's, not yet in the file (see CheckSavedWithoutLock).
  std::size_t firstMine = fileRows_;
  // A record being appended is written as if posted, but posted only once the file is
  // safe: a failed save leaves the store as it was.
  const bool postPending = inserting_ && pending_.written;
  struct Rollback {
    RecordSet& set;
    bool active;
    ~Rollback() {
      if (active) set.RemoveLastRow();
    }
  };
  std::optional<HistoryFile> file;
  std::optional<Packet> merged;
  std::string bytes;
  auto saveStarted = std::chrono::steady_clock::now();
  ReadAgainIfTorn<PacketError>(name, [&] {
    file.reset();
    merged.reset();
    firstMine = fileRows_;
    // No other program of ours saves it until we are done.
    file.emplace(name, HistoryFile::Use::Save);
    saveStarted = std::chrono::steady_clock::now();
    if (postPending) AppendPendingRow();
    const Rollback rollback{*this, postPending};
    if (ChangedSinceBound(name, file->Stamp())) {
      Packet onDisk = ReadPacket(file->Read());
      const FieldColumns diskFields = BindFields(onDisk);
      firstMine = onDisk.RowCount();
      merged = MergeNewRecords(std::move(onDisk), diskFields, content_, bound_, fileRows_);
      bytes = WritePacket(*merged);
    } else {
      bytes = WritePacket(content_);
    }
  });
  file->Replace(bytes);
  const auto saveTook = std::chrono::steady_clock::now() - saveStarted;
  if (merged) {
    // The store becomes what the file now holds, so that a later save adds only what is new.
    NotifyBeforeReset();
    inserting_ = false;
    Install(std::move(*merged));
    current_ = order_.empty() ? NoRow : static_cast<int>(order_.size()) - 1;
    NotifyAfterReset();
  } else {
    FinishPending();
  }
  Bind(name, file->Stamp(), content_.RowCount());
  const bool unchecked = firstMine < content_.RowCount() && !platform::LocksWorkFor(name);
  // The check takes the lock at each look: a lock that only this mount sees still keeps the
  // programs of this machine apart, and must not be held against the check's own looks.
  file.reset();
  if (unchecked) CheckSavedWithoutLock(name, content_, bound_, firstMine, saveTook);
}

// Without locks, a save that came between is found by looking again (look_again.h).
void RecordSet::CheckSavedWithoutLock(const std::filesystem::path& name, const Packet& mine,
                                      const FieldColumns& mineFields, std::size_t firstNewRow,
                                      std::chrono::steady_clock::duration saveTook) {
  LookAgainUntilSettled<PacketError>(name, boundStamp_, saveTook, [&](HistoryFile& file) -> std::optional<std::string> {
    Packet onDisk = ReadPacket(file.Read());
    const FieldColumns diskFields = BindFields(onDisk);
    const std::vector<std::size_t> missing = MissingRecords(onDisk, diskFields, mine, mineFields, firstNewRow);
    if (missing.empty()) return std::nullopt;
    const Packet lost = RecordsAt(mine, mineFields, missing);
    return WritePacket(
        MergeNewRecords(std::move(onDisk), diskFields, lost, FieldColumns::InFieldOrder(FieldCount()), 0));
  });
}

Packet RecordSet::NewRecords() const {
  if (!active_) return EmptyContent(layout_);
  Packet records = RecordsAt(content_, bound_, [&] {
    std::vector<std::size_t> rows(content_.RowCount() - std::min(fileRows_, content_.RowCount()));
    std::iota(rows.begin(), rows.end(), fileRows_);
    return rows;
  }());
  if (inserting_ && pending_.written) {
    for (std::size_t f = 0; f < FieldCount(); ++f) {
      Column& c = records.columns[f];
      if (c.kind == ValueKind::Text) c.texts.push_back(pending_.texts[f]);
      else c.numbers.push_back(pending_.values[f]);
      c.present.push_back(pending_.present[f] ? 1 : 0);
    }
    records.rowStates.push_back(StatusInserted);
    records.changeLog.push_back({static_cast<std::uint32_t>(records.RowCount()), 0, StatusInserted});
  }
  return records;
}

void RecordSet::AppendRecords(const Packet& records) {
  const FieldColumns fields = BindFields(records);
  for (std::size_t row = 0; row < records.RowCount(); ++row) {
    Append();
    for (std::size_t f = 0; f < FieldCount(); ++f) {
      const Column& c = records.columns[fields[f]];
      if (!c.present[row]) continue;
      const FieldDescription& field = layout_.fields[f];
      if (field.kind == ValueKind::Text) SetText(field.name, c.texts[row]);
      else SetValue(field.name, field.kind, c.numbers[row]);
    }
    Post();
  }
}

void RecordSet::SetFileParam(std::string name, std::string value) {
  for (const auto& [have, unused] : content_.params)
    if (have == name) return;
  content_.params.emplace_back(std::move(name), std::move(value));
}

void RecordSet::Last() {
  CheckActive();
  FinishPending();
  if (!order_.empty()) SetCurrent(static_cast<int>(order_.size()) - 1);
}

void RecordSet::Append() {
  CheckActive();
  FinishPending();
  currentBeforeAppend_ = current_;
  pending_ = BlankPending();
  inserting_ = true;
  current_ = NoRow;
  NotifyCurrentChanged();
}

void RecordSet::AppendPendingRow() {
  const std::size_t row = content_.RowCount();
  for (Column& c : content_.columns) {
    c.present.push_back(0);
    if (c.kind == ValueKind::Text) c.texts.emplace_back();
    else c.numbers.push_back(0);
  }
  for (std::size_t f = 0; f < FieldCount(); ++f) {
    Column& c = content_.columns[bound_[f]];
    c.present[row] = pending_.present[f] ? 1 : 0;
    if (c.kind == ValueKind::Text) c.texts[row] = pending_.texts[f];
    else c.numbers[row] = pending_.values[f];
  }
  content_.rowStates.push_back(StatusInserted);
  content_.changeLog.push_back({static_cast<std::uint32_t>(row + 1), 0, StatusInserted});
}

void RecordSet::RemoveLastRow() {
  for (Column& c : content_.columns) {
    c.present.pop_back();
    if (c.kind == ValueKind::Text) c.texts.pop_back();
    else c.numbers.pop_back();
  }
  content_.rowStates.pop_back();
  content_.changeLog.pop_back();
}

void RecordSet::Post() {
  CheckActive();
  if (!inserting_) return;
  const std::size_t orderField = layout_.orderField;
  const std::int64_t key = pending_.present[orderField] ? pending_.values[orderField] : BlankKey;
  const auto place = std::upper_bound(order_.begin(), order_.end(), key,
                                      [this](std::int64_t k, std::uint32_t row) { return k < DataKey(row); });
  const int orderIndex = static_cast<int>(place - order_.begin());
  for (RecordSetListener* l : listeners_) l->BeforeInsertRow(orderIndex);
  const auto row = static_cast<std::uint32_t>(content_.RowCount());
  AppendPendingRow();
  order_.insert(order_.begin() + orderIndex, row);
  inserting_ = false;
  current_ = orderIndex;
  for (RecordSetListener* l : listeners_) l->AfterInsertRow(orderIndex);
  NotifyCurrentChanged();
}

void RecordSet::Cancel() {
  inserting_ = false;
  current_ = currentBeforeAppend_;
  NotifyCurrentChanged();
}

// Leaving the inserting state keeps a record that has values and drops a blank one.
void RecordSet::FinishPending() {
  if (!inserting_) return;
  if (pending_.written) Post();
  else Cancel();
}

void RecordSet::SetCurrent(int orderIndex) {
  if (orderIndex == current_) return;
  current_ = orderIndex;
  NotifyCurrentChanged();
}

void RecordSet::SetCurrentRow(int orderIndex) {
  if (!active_) return;
  FinishPending();
  if (orderIndex < 0 || orderIndex >= RowCount()) return;
  SetCurrent(orderIndex);
}

void RecordSet::SetValue(std::string_view field, ValueKind kind, std::int64_t value) {
  CheckActive();
  const std::size_t f = FieldOfKind(field, kind);
  if (!inserting_) Fail(HistoryErrorKind::NotEditing);
  pending_.values[f] = value;
  pending_.present[f] = true;
  pending_.written = true;
  NotifyCurrentChanged();
}

void RecordSet::SetInteger(std::string_view field, std::int32_t value) { SetValue(field, ValueKind::Integer, value); }

void RecordSet::SetDateTime(std::string_view field, DateTime value) {
  SetValue(field, ValueKind::DateTime, ToStamp(value).ms);
}

void RecordSet::SetText(std::string_view field, std::string value) {
  CheckActive();
  const std::size_t f = FieldOfKind(field, ValueKind::Text);
  if (!inserting_) Fail(HistoryErrorKind::NotEditing);
  pending_.texts[f] = std::move(value);
  pending_.present[f] = true;
  pending_.written = true;
  NotifyCurrentChanged();
}

std::optional<std::string> RecordSet::Text(std::string_view field) const {
  const std::size_t f = FieldOfKind(field, ValueKind::Text);
  if (!active_) return std::nullopt;
  if (inserting_) return pending_.present[f] ? std::optional(pending_.texts[f]) : std::nullopt;
  return current_ == NoRow ? std::nullopt : TextAt(current_, field);
}

std::optional<std::int64_t> RecordSet::ValueAt(int orderIndex, std::string_view field, ValueKind kind) const {
  const std::size_t f = FieldOfKind(field, kind);
  if (orderIndex < 0 || orderIndex >= RowCount()) return std::nullopt;
  const std::size_t row = order_[static_cast<std::size_t>(orderIndex)];
  const Column& c = content_.columns[bound_[f]];
  return c.present[row] ? std::optional(c.numbers[row]) : std::nullopt;
}

std::optional<std::int32_t> RecordSet::IntegerAt(int orderIndex, std::string_view field) const {
  const auto v = ValueAt(orderIndex, field, ValueKind::Integer);
  if (!v) return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

std::optional<DateTime> RecordSet::DateTimeAt(int orderIndex, std::string_view field) const {
  const auto v = ValueAt(orderIndex, field, ValueKind::DateTime);
  if (!v) return std::nullopt;
  return FromStamp(Stamp{*v});
}

std::optional<std::string> RecordSet::TextAt(int orderIndex, std::string_view field) const {
  const std::size_t f = FieldOfKind(field, ValueKind::Text);
  if (orderIndex < 0 || orderIndex >= RowCount()) return std::nullopt;
  const std::size_t row = order_[static_cast<std::size_t>(orderIndex)];
  const Column& c = content_.columns[bound_[f]];
  return c.present[row] ? std::optional(c.texts[row]) : std::nullopt;
}

std::optional<std::int64_t> RecordSet::CurrentValue(std::string_view field, ValueKind kind) const {
  const std::size_t f = FieldOfKind(field, kind);
  if (!active_) return std::nullopt;
  if (inserting_) return pending_.present[f] ? std::optional(pending_.values[f]) : std::nullopt;
  if (current_ == NoRow) return std::nullopt;
  const std::size_t row = order_[static_cast<std::size_t>(current_)];
  const Column& c = content_.columns[bound_[f]];
  return c.present[row] ? std::optional(c.numbers[row]) : std::nullopt;
}

std::optional<std::int32_t> RecordSet::Integer(std::string_view field) const {
  const auto v = CurrentValue(field, ValueKind::Integer);
  if (!v) return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

std::optional<DateTime> RecordSet::DateTimeValue(std::string_view field) const {
  const auto v = CurrentValue(field, ValueKind::DateTime);
  if (!v) return std::nullopt;
  return FromStamp(Stamp{*v});
}

std::u16string RecordSet::RowPlainText(std::size_t field, std::size_t row) const {
  const Column& c = content_.columns[bound_[field]];
  if (!c.present[row]) return {};
  if (c.kind == ValueKind::Text) return Utf16FromUtf8(c.texts[row]);
  if (c.kind == ValueKind::Integer) return DecimalText(static_cast<std::int32_t>(c.numbers[row]));
  return DateTimeText(Stamp{c.numbers[row]});
}

std::u16string RecordSet::FieldText(std::size_t field, std::size_t row) const {
  return field == layout_.durationField ? TempoDisplayText(RowPlainText(field, row)) : RowPlainText(field, row);
}

std::u16string RecordSet::PendingPlainText(std::size_t field) const {
  if (!pending_.present[field]) return {};
  if (layout_.fields[field].kind == ValueKind::Text) return Utf16FromUtf8(pending_.texts[field]);
  if (layout_.fields[field].kind == ValueKind::Integer)
    return DecimalText(static_cast<std::int32_t>(pending_.values[field]));
  return DateTimeText(Stamp{pending_.values[field]});
}

std::u16string RecordSet::PlainText(std::string_view field) const {
  const std::size_t f = FieldIndex(field);
  if (!active_) return {};
  if (inserting_) return PendingPlainText(f);
  if (current_ == NoRow) return {};
  return RowPlainText(f, order_[static_cast<std::size_t>(current_)]);
}

std::u16string RecordSet::DisplayText(std::string_view field) const {
  std::u16string plain = PlainText(field);
  const bool duration = layout_.durationField != NoField && field == layout_.fields[layout_.durationField].name;
  return duration ? TempoDisplayText(plain) : plain;
}

int RecordSet::RowCount() const { return active_ ? static_cast<int>(order_.size()) : 0; }

int RecordSet::CurrentRow() const { return active_ && !inserting_ ? current_ : NoRow; }

std::u16string RecordSet::DisplayTextAt(int orderIndex, std::string_view field) const {
  const std::size_t f = FieldIndex(field);
  if (orderIndex < 0 || orderIndex >= RowCount()) return {};
  return FieldText(f, order_[static_cast<std::size_t>(orderIndex)]);
}

std::u16string RecordSet::DisplayTextAt(int orderIndex, HistoryField field) const {
  if (orderIndex < 0 || orderIndex >= RowCount()) return {};
  return FieldText(static_cast<std::size_t>(field), order_[static_cast<std::size_t>(orderIndex)]);
}

std::u16string RecordSet::DisplayText(HistoryField field) const { return DisplayText(FieldName(field)); }

HistoryRecord RecordSet::RecordAt(int orderIndex) const {
  HistoryRecord r;
  if (orderIndex < 0 || orderIndex >= RowCount()) return r;
  const std::size_t row = order_[static_cast<std::size_t>(orderIndex)];
  const auto value = [&](HistoryField field) -> std::optional<std::int64_t> {
    const Column& c = content_.columns[bound_[static_cast<std::size_t>(field)]];
    return c.present[row] ? std::optional(c.numbers[row]) : std::nullopt;
  };
  const auto integer = [&](HistoryField field) -> std::optional<std::int32_t> {
    if (const auto v = value(field)) return static_cast<std::int32_t>(*v);
    return std::nullopt;
  };
  const auto moment = [&](HistoryField field) -> std::optional<DateTime> {
    if (const auto v = value(field)) return FromStamp(Stamp{*v});
    return std::nullopt;
  };
  r.licao = integer(HistoryField::Licao);
  r.data = moment(HistoryField::Data);
  r.erros = integer(HistoryField::Erros);
  r.inicio = moment(HistoryField::Inicio);
  r.fim = moment(HistoryField::Fim);
  r.tempo = moment(HistoryField::Tempo);
  return r;
}

void RecordSet::AppendRecord(const HistoryRecord& record) {
  Append();
  const auto integer = [&](HistoryField field, const std::optional<std::int32_t>& v) {
    if (v) SetInteger(FieldName(field), *v);
  };
  const auto moment = [&](HistoryField field, const std::optional<DateTime>& v) {
    if (v) SetDateTime(FieldName(field), *v);
  };
  integer(HistoryField::Licao, record.licao);
  moment(HistoryField::Data, record.data);
  integer(HistoryField::Erros, record.erros);
  moment(HistoryField::Inicio, record.inicio);
  moment(HistoryField::Fim, record.fim);
  moment(HistoryField::Tempo, record.tempo);
  Post();
}

std::uint32_t RecordSet::RecordNumberAt(int orderIndex) const {
  if (orderIndex < 0 || orderIndex >= RowCount()) return 0;
  return order_[static_cast<std::size_t>(orderIndex)] + 1;
}

std::uint8_t RecordSet::RecordStatusAt(int orderIndex) const {
  if (orderIndex < 0 || orderIndex >= RowCount()) return 0;
  return content_.rowStates[order_[static_cast<std::size_t>(orderIndex)]];
}

void RecordSet::NotifyBeforeReset() {
  for (RecordSetListener* l : listeners_) l->BeforeReset();
}

void RecordSet::NotifyAfterReset() {
  for (RecordSetListener* l : listeners_) l->AfterReset();
  NotifyCurrentChanged();
}

void RecordSet::NotifyCurrentChanged() {
  for (RecordSetListener* l : listeners_) l->CurrentChanged();
}

}  // namespace tecladim::history
