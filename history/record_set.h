#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/datetime.h"
#include "history/history_fields.h"
#include "history/history_file.h"
#include "history/history_merge.h"
#include "history/packet.h"

// The exercise history as the main window holds it (`cds1`): the records of completed
// exercises, kept in the order of their `data`, loaded from and saved to "Exercicio.xml".
namespace tecladim::history {

class PacketPreload;
struct HistoryRead;

// Record status of an appended record, and the change-log kind of its insertion.
inline constexpr std::uint8_t StatusInserted = 4;
// The current row when there is none (empty or closed store, or a record being appended).
inline constexpr int NoRow = -1;

// Told of every change at once, so the grid and the summary box never show stale rows.
// Before/After pairs fire around the change (a Qt model's begin/end calls); every
// operation that may change which record is current, or its values, ends with
// CurrentChanged (also after every reset).
class RecordSetListener {
 public:
  virtual void BeforeReset() {}
  virtual void AfterReset() {}
  virtual void BeforeInsertRow(int /*orderIndex*/) {}
  virtual void AfterInsertRow(int /*orderIndex*/) {}
  virtual void CurrentChanged() {}

 protected:
  ~RecordSetListener() = default;
};

// Fields are named as the file names them. The history's: "licao" and "erros" are
// integers, "data", "inicio", "fim" and "tempo" date-time values held to the millisecond.
// Rows for the grid are addressed by their place in `data` order (0 = oldest); a store of
// another layout orders them by its own date-time field.
class RecordSet {
 public:
  // `name` prefixes the set's own errors: "cds1: Field 'licao' not found". The layout
  // names the fields a file must have and a new one gets.
  explicit RecordSet(std::string name, const RecordLayout& layout = HistoryLayout);

  void AddListener(RecordSetListener* listener);
  void RemoveListener(RecordSetListener* listener);

  // An empty, open store with the layout's fields (the history's six). Fails on an open store.
  void CreateDataSet();
  bool Active() const { return active_; }
  // Keeps the content as a snapshot; a record being appended is dropped.
  void Close();
  // Brings the snapshot back; the first record in order becomes current.
  void Open();

  // Replaces the content with the file's; a zero-byte file keeps the snapshot. Open
  // afterwards, or closed and empty when it throws (HistoryError, PacketError).
  void LoadFromFile(const std::filesystem::path& name);
  // The same from content already read (the benchmark and the tests build it directly).
  void LoadFromPacket(Packet packet);
  // The same from a file read on another thread: waits for it, and fails as the file's
  // load would have.
  void LoadFromPreload(PacketPreload& preload);
  // Writes every record in record-number order, replacing the file only once the new one
  // is safely on disk; a record being appended is posted first if any field was written,
  // else dropped. Does nothing at all on a closed store. Throws HistoryError, or the
  // reader's PacketError when another program left the file damaged.
  // Every name gets the XML form: it is the only one this program reads.
  // When another program saved the same file since this store read or wrote it (or the
  // file appeared since the store was created empty), the records now in the file are
  // kept and this run's new ones appended after them (MergeNewRecords); the store then
  // holds what was written, the newest record current.
  void SaveToFile(const std::filesystem::path& name);

  // This run's records that the file it is bound to does not hold yet (all of them for a
  // store tied to no file), a record being appended included when any field was written:
  // the layout's fields, numbered from 1 as records appended to an empty history. Empty on
  // a closed store.
  Packet NewRecords() const;
  // Appends and posts every record of `records` (a packet holding the layout's fields, as
  // NewRecords gives), in its row order, as the completion step would. Fails as Append does.
  void AppendRecords(const Packet& records);
  // A parameter the next save writes into the file beside the change log, when the file
  // has none of that name already.
  void SetFileParam(std::string name, std::string value);

  // Makes the newest record current; nothing on an empty store.
  void Last();
  // Starts a blank record, current until it is posted.
  void Append();
  // Stores the record being appended: next record number, status 4, change-log entry
  // (number, 0, 4), placed after every record with an equal or earlier `data`.
  void Post();
  bool Inserting() const { return inserting_; }
  // Append, the record's values and Post as one change (a blank field stays blank).
  void AppendRecord(const HistoryRecord& record);

  // Field values of the record being appended (write) or of the current one (read);
  // reads give no value for a blank field or when there is no current record.
  void SetInteger(std::string_view field, std::int32_t value);
  void SetDateTime(std::string_view field, DateTime value);  // rounded to the millisecond
  void SetText(std::string_view field, std::string value);    // UTF-8
  std::optional<std::int32_t> Integer(std::string_view field) const;
  std::optional<DateTime> DateTimeValue(std::string_view field) const;
  std::optional<std::string> Text(std::string_view field) const;
  // The same of the record at a grid row, read without moving the current record; no value
  // out of range.
  std::optional<std::int32_t> IntegerAt(int orderIndex, std::string_view field) const;
  std::optional<DateTime> DateTimeAt(int orderIndex, std::string_view field) const;
  std::optional<std::string> TextAt(int orderIndex, std::string_view field) const;
  // What the summary box shows for the current record; "" when there is none. For
  // "tempo" this is already TempoDisplayText of the plain text.
  std::u16string DisplayText(std::string_view field) const;
  // The text by the field's own rule (decimal, or date and time), before the tempo rule.
  std::u16string PlainText(std::string_view field) const;

  // The grid: rows in `data` order, none while closed.
  int RowCount() const;
  int CurrentRow() const;           // NoRow while none is current or a record is being appended
  void SetCurrentRow(int orderIndex);  // a click on a grid row; out of range does nothing
  std::u16string DisplayTextAt(int orderIndex, std::string_view field) const;
  std::u16string DisplayTextAt(int orderIndex, HistoryField field) const;
  std::u16string DisplayText(HistoryField field) const;
  // The record at a grid row, read without moving the current record; all blank out of range.
  HistoryRecord RecordAt(int orderIndex) const;
  std::uint32_t RecordNumberAt(int orderIndex) const;
  std::uint8_t RecordStatusAt(int orderIndex) const;

  // The content the next save writes (rows in record-number order), the change log included.
  const Packet& Content() const { return content_; }
  const std::string& Name() const { return name_; }
  const RecordLayout& Layout() const { return layout_; }

 private:
  struct Pending {
    std::vector<std::int64_t> values;
    std::vector<std::string> texts;
    std::vector<std::uint8_t> present;
    bool written = false;
  };

  // Throws the error worded by RecordSetErrorText, after the set's name.
  [[noreturn]] void Fail(HistoryErrorKind kind, std::string_view field = {}, std::string_view expected = {},
                         std::string_view actual = {}) const;
  void CheckActive() const;
  std::size_t FieldIndex(std::string_view field) const;
  std::size_t FieldOfKind(std::string_view field, ValueKind kind) const;
  void SetValue(std::string_view field, ValueKind kind, std::int64_t value);
  std::optional<std::int64_t> CurrentValue(std::string_view field, ValueKind kind) const;
  std::optional<std::int64_t> ValueAt(int orderIndex, std::string_view field, ValueKind kind) const;
  std::size_t FieldCount() const { return layout_.fields.size(); }
  Pending BlankPending() const;
  std::u16string RowPlainText(std::size_t field, std::size_t row) const;
  std::u16string PendingPlainText(std::size_t field) const;
  std::u16string FieldText(std::size_t field, std::size_t row) const;

  std::int64_t DataKey(std::size_t row) const;
  void BuildOrder();
  void Reload(const std::function<void()>& fill);
  FieldColumns BindFields(const Packet& packet) const;
  void Install(Packet&& packet);
  // What one load of `name` read, installed and bound to that file.
  void InstallRead(const std::filesystem::path& name, HistoryRead&& read);
  void Bind(const std::filesystem::path& name, const platform::FileStamp& stamp, std::size_t fileRows);
  bool ChangedSinceBound(const std::filesystem::path& name, const platform::FileStamp& now) const;
  // Where locks do not reach every program, reads the file back until it holds every
  // record of `mine` from `firstNewRow` on, saving them again when another save lost them.
  void CheckSavedWithoutLock(const std::filesystem::path& name, const Packet& mine, const FieldColumns& mineFields,
                             std::size_t firstNewRow, std::chrono::steady_clock::duration saveTook);
  void MakeEmpty();
  void AppendPendingRow();
  void RemoveLastRow();
  void Cancel();
  void FinishPending();
  void SetCurrent(int orderIndex);

  void NotifyBeforeReset();
  void NotifyAfterReset();
  void NotifyCurrentChanged();

  std::string name_;
  RecordLayout layout_;
  std::vector<RecordSetListener*> listeners_;
  bool active_ = false;
  bool inserting_ = false;
  Packet content_;
  FieldColumns bound_{};                         // column of content_ holding each field
  std::vector<std::uint32_t> order_;             // row numbers (record number - 1) by `data`
  int current_ = NoRow;                          // place in order_
  int currentBeforeAppend_ = NoRow;
  Pending pending_;
  // The file this store was last loaded from or saved to (absolute; empty when none), as
  // it was then, and how many of the store's rows (the first ones) are in it.
  std::filesystem::path boundFile_;
  platform::FileStamp boundStamp_;
  std::size_t fileRows_ = 0;
};

// The display text of `tempo`: a duration under a day
// shows as its time alone, "00:05:17"; anything else shows whole.
std::u16string TempoDisplayText(std::u16string_view plainText);

}  // namespace tecladim::history
