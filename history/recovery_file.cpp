#include "history/recovery_file.h"

#include <array>
#include <cstdio>
#include <exception>

#include "history/ascii_case.h"
#include "history/history_file.h"
#include "history/history_merge.h"
#include "history/record_set.h"

namespace tecladim::history {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view RecoverySuffix = ".recuperado.xml";
constexpr std::string_view RecoveryFolder = "recuperados";
constexpr std::string_view OriginalsFolder = "originais";
// The recovery file names its history here, for whoever finds it in the data folder.
constexpr std::string_view HistoryParam = "TECLADIM_HISTORY";
constexpr int MaxOriginalNames = 100;  // copies of one second: "-2", "-3" ...

std::string Utf8(const fs::path& p) {
  const std::u8string text = p.u8string();
  return std::string(text.begin(), text.end());
}

fs::path FromUtf8(std::string_view text) { return fs::path(std::u8string(text.begin(), text.end())); }

// FNV-1a of the history's full path: the same history gives the same name on every start.
std::string PathHash(const fs::path& history) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : FullPathText(history)) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  std::array<char, 17> text{};
  std::snprintf(text.data(), text.size(), "%016llx", static_cast<unsigned long long>(hash));
  return text.data();
}

void WriteRecords(const fs::path& file, const fs::path& history, const Packet& records, const RecordLayout& layout) {
  RecordSet kept("recuperado", layout);
  kept.CreateDataSet();
  kept.AppendRecords(records);
  kept.SetFileParam(std::string(HistoryParam), FullPathText(history));
  kept.SaveToFile(file);
}

// The layout's fields of a packet, by name.
FieldColumns FieldsOf(const Packet& packet, const fs::path& file, const RecordLayout& layout) {
  FieldColumns fields;
  for (const FieldDescription& field : layout.fields) {
    std::size_t c = 0;
    while (c < packet.columns.size() && !EqualIgnoringAsciiCase(packet.columns[c].def.name, field.name)) ++c;
    if (c == packet.columns.size())
      throw HistoryError(HistoryErrorKind::FieldNotFound, FullPathText(file) + ": " + std::string(field.name));
    fields.push_back(c);
  }
  return fields;
}

// After the history holding them is saved: the first `merged` records of the recovery
// file go. Another program may have added records meanwhile, after those: they stay.
void RemoveMergedRecords(const fs::path& file, std::size_t merged, const RecordLayout& layout) {
  HistoryFile locked(file, HistoryFile::Use::Save);
  const std::string bytes = locked.Read();
  const Packet now = bytes.empty() ? Packet{} : ReadPacket(bytes);
  if (now.RowCount() <= merged) {
    std::error_code ec;
    fs::remove(file, ec);
    return;
  }
  const FieldColumns fields = FieldsOf(now, file, layout);
  std::vector<std::size_t> rest(now.RowCount() - merged);
  for (std::size_t i = 0; i < rest.size(); ++i) rest[i] = merged + i;
  Packet left = RecordsAt(now, fields, rest);
  left.params = now.params;
  locked.Replace(WritePacket(left));
}

// Merges one recovery file; false when the history itself does not load, so the others wait too.
bool MergeOne(const fs::path& history, const fs::path& file, const RecordLayout& layout,
              std::vector<std::string>& notes) {
  const std::string program(layout.program);
  const std::string what(layout.records);
  const std::string into(layout.file);
  RecordSet kept("recuperado", layout);
  try {
    kept.CreateDataSet();
    kept.Close();
    kept.LoadFromFile(file);
  } catch (const std::exception& e) {
    notes.push_back(program + ": o arquivo de recuperação " + FullPathText(file) + " não pôde ser lido (" + e.what() +
                    "); ficou como está.");
    return true;
  }
  const Packet& records = kept.Content();
  RecordSet set("cds1", layout);
  try {
    set.CreateDataSet();
    std::error_code ec;
    if (fs::is_regular_file(history, ec)) {
      set.Close();
      set.LoadFromFile(history);
    }
    if (!set.Active()) set.Open();
  } catch (const std::exception& e) {
    notes.push_back(program + ": o " + into + " " + FullPathText(history) + " não pôde ser lido (" + e.what() +
                    "); os " + what + " guardados em " + FullPathText(file) + " (" +
                    std::to_string(records.RowCount()) + ") ficam lá até que ele volte a ser lido.");
    return false;
  }
  std::size_t added = 0;
  try {
    // A save may have reached the history and failed after it, or an earlier merge may not
    // have cleared this file: the records the history holds already are not added twice.
    const FieldColumns fields = FieldsOf(records, file, layout);
    const Packet missing = RecordsAt(
        records, fields, MissingRecords(set.Content(), FieldsOf(set.Content(), history, layout), records, fields, 0));
    added = missing.RowCount();
    if (added > 0) {
      set.AppendRecords(missing);
      set.SaveToFile(history);
    }
    RemoveMergedRecords(file, records.RowCount(), layout);
  } catch (const std::exception& e) {
    notes.push_back(program + ": os " + what + " guardados em " + FullPathText(file) + " (" +
                    std::to_string(records.RowCount()) + ") não entraram no " + into + " agora (" + e.what() +
                    "); ficam lá para o próximo início.");
    return true;
  }
  if (added > 0)
    notes.push_back(program + ": os " + what + " guardados em " + FullPathText(file) + " (" + std::to_string(added) +
                    ") foram juntados ao " + into + " " + FullPathText(history) + ".");
  if (added < records.RowCount())
    notes.push_back(program + ": os " + what + " guardados em " + FullPathText(file) + " que o " + into + " " +
                    FullPathText(history) + " já tinha (" + std::to_string(records.RowCount() - added) +
                    ") não foram juntados de novo.");
  return true;
}

// "20240305-140327" of a moment.
std::string CompactTime(DateTime now) {
  const Stamp stamp = ToStamp(now);
  const CivilDate d = DateOf(stamp);
  const TimeOfDay t = TimeOf(stamp);
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%04d%02u%02u-%02d%02d%02d", d.year, d.month, d.day, t.hour, t.minute,
                t.second);
  return text.data();
}

// A new file holding `bytes` at the first free name of `base`, "-2", "-3" ...
fs::path WriteNewCopy(const fs::path& base, std::string_view bytes) {
  for (int n = 1; n <= MaxOriginalNames; ++n) {
    fs::path name = base;
    // Appended in two steps: gcc 12 at -O3 warns falsely (-Wrestrict) on "-" + string.
    if (n > 1) {
      name += "-";
      name += std::to_string(n);
    }
    std::error_code ec;
    if (fs::exists(name, ec) || ec) continue;
    WriteHistoryFile(name, bytes);
    return name;
  }
  throw HistoryError(HistoryErrorKind::CannotCreateFile, "Cannot create file \"" + FullPathText(base) + "\". " +
                                                             std::make_error_code(std::errc::file_exists).message());
}

}  // namespace

fs::path RecoveryFileBeside(const fs::path& history) {
  fs::path file = history;
  file += std::string(RecoverySuffix);
  return file;
}

fs::path RecoveryFileInDataFolder(const fs::path& history, const fs::path& dataFolder) {
  return dataFolder / std::string(RecoveryFolder) /
         FromUtf8(Utf8(history.filename()) + "." + PathHash(history) + std::string(RecoverySuffix));
}

fs::path KeepRecords(const fs::path& history, const Packet& records, RecoveryPlace place, const fs::path& dataFolder,
                     const RecordLayout& layout) {
  std::exception_ptr last;
  if (place == RecoveryPlace::BesideHistory) {
    try {
      const fs::path file = RecoveryFileBeside(history);
      WriteRecords(file, history, records, layout);
      return file;
    } catch (const std::exception&) {
      last = std::current_exception();
    }
  }
  if (!dataFolder.empty()) {
    try {
      const fs::path file = RecoveryFileInDataFolder(history, dataFolder);
      std::error_code ec;
      fs::create_directories(file.parent_path(), ec);
      WriteRecords(file, history, records, layout);
      return file;
    } catch (const std::exception&) {
      last = std::current_exception();
    }
  }
  if (last) std::rethrow_exception(last);
  throw HistoryError(HistoryErrorKind::CannotCreateFile,
                     "Cannot create file \"" + FullPathText(RecoveryFileBeside(history)) + "\". " +
                         std::make_error_code(std::errc::no_such_file_or_directory).message());
}

std::vector<std::string> MergeRecoveryFiles(const fs::path& history, const fs::path& dataFolder,
                                            const RecordLayout& layout) {
  std::vector<std::string> notes;
  std::vector<fs::path> files{RecoveryFileBeside(history)};
  if (!dataFolder.empty()) files.push_back(RecoveryFileInDataFolder(history, dataFolder));
  for (const fs::path& file : files) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) continue;
    if (!MergeOne(history, file, layout, notes)) break;
  }
  return notes;
}

fs::path KeepOriginalBytes(const fs::path& history, std::string_view bytes, DateTime now, const fs::path& dataFolder) {
  const std::string name = Utf8(history.filename()) + ".original-" + CompactTime(now);
  try {
    return WriteNewCopy(history.parent_path() / FromUtf8(name), bytes);
  } catch (const HistoryError&) {
    if (dataFolder.empty()) throw;
  }
  const fs::path folder = dataFolder / std::string(OriginalsFolder);
  std::error_code ec;
  fs::create_directories(folder, ec);
  return WriteNewCopy(
      folder / FromUtf8(Utf8(history.filename()) + "." + PathHash(history) + ".original-" + CompactTime(now)), bytes);
}

std::string RecordsKeptText(std::size_t records, const fs::path& file, const RecordLayout& layout) {
  const std::string into(layout.file);
  return std::string(layout.program) + ": o " + into + " não foi gravado; os " + std::string(layout.records) +
         " desta execução (" + std::to_string(records) + ") ficaram guardados em " + FullPathText(file) +
         " e entram no " + into + " no próximo início.";
}

std::string OriginalKeptText(const fs::path& history, const fs::path& copy) {
  return "tecladim: a leitura de " + FullPathText(history) +
         " teve de ajustar valores que a gravação não devolve; o arquivo como estava foi copiado para " +
         FullPathText(copy) + ".";
}

}  // namespace tecladim::history
