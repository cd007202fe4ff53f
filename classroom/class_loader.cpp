#include "classroom/class_loader.h"

#include <algorithm>
#include <exception>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_map>

#include "exam/result_record.h"
#include "history/history_file.h"
#include "history/key_stats_file.h"
#include "history/packet.h"
#include "history/record_order.h"
#include "history/record_set.h"

namespace tecladim::classroom {
namespace fs = std::filesystem;
namespace {

std::string Utf8Path(const fs::path& path) {
  const std::u8string text = path.generic_u8string();
  return {text.begin(), text.end()};
}

// Several opened folders may each hold a "joão": then every name starts with its opened
// folder's own name ("turma-manha/joão", "turma-tarde/joão").
std::string StudentName(const fs::path& opened, const fs::path& file, bool prefixed) {
  const fs::path relative = file.parent_path().lexically_relative(opened);
  if (relative.empty() || relative == ".") return Utf8Path(opened.filename());
  return prefixed ? Utf8Path(opened.filename() / relative) : Utf8Path(relative);
}

// The opened folder as an absolute path without a trailing separator, so that its own name
// is its last part even when it was given as "." or "turma/".
fs::path Normalised(const fs::path& folder) {
  std::error_code ec;
  fs::path absolute = fs::absolute(folder, ec);
  if (ec) absolute = folder;
  absolute = absolute.lexically_normal();
  if (!absolute.has_filename() && absolute.has_parent_path() && absolute != absolute.root_path())
    absolute = absolute.parent_path();
  return absolute;
}

// Identity of a file for listing it once when two opened folders overlap.
fs::path Identity(const fs::path& file) {
  std::error_code ec;
  fs::path canonical = fs::weakly_canonical(file, ec);
  return ec ? file : canonical;
}

// Whether `folder` is `inner` or one of the folders above it (both canonical).
bool Encloses(const fs::path& folder, const fs::path& inner) {
  auto i = inner.begin();
  for (auto f = folder.begin(); f != folder.end(); ++f, ++i)
    if (i == inner.end() || *f != *i) return false;
  return true;
}

// Every folder below `opened`, links to folders followed (a school may link its students'
// home folders into the class folder). A folder that cannot be read is told, never skipped
// in silence; a link that leads back to a folder above it is told as a loop.
void Walk(const fs::path& opened, std::size_t index, bool prefixed, ClassFolders& out, std::set<fs::path>& seen) {
  std::error_code ec;
  auto note = [&](const fs::path& where, const std::error_code& e) { out.errors.push_back({where, e.message(), e}); };
  auto consider = [&](const fs::path& file, std::vector<HistoryLocation>& list) {
    if (seen.insert(Identity(file)).second) list.push_back({StudentName(opened, file, prefixed), file, index});
  };
  if (!fs::is_directory(opened, ec)) {
    note(opened, ec ? ec : std::make_error_code(std::errc::not_a_directory));
    return;
  }
  std::set<fs::path> walked;  // canonical folders already read: each folder once
  std::vector<fs::path> pending{opened};
  while (!pending.empty()) {
    const fs::path folder = pending.back();
    pending.pop_back();
    const fs::path canonical = Identity(folder);
    if (!walked.insert(canonical).second) continue;  // reached again through a link
    fs::directory_iterator it(folder, ec);
    if (ec) {
      note(folder, ec);
      continue;
    }
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
      const fs::path path = it->path();
      std::error_code entryEc;
      if (!fs::is_directory(path, entryEc)) {
        if (path.filename() == HistoryFileName && !entryEc) consider(path, out.histories);
        if (path.filename() == exam::ResultsFileName && !entryEc) consider(path, out.results);
        continue;
      }
      if (fs::is_symlink(path, entryEc) && Encloses(Identity(path), canonical)) {
        note(path, std::make_error_code(std::errc::too_many_symbolic_link_levels));
        continue;
      }
      pending.push_back(path);
    }
    if (ec) note(folder, ec);
  }
}

ExerciseRecord RecordAt(const history::RecordSet& set, int orderIndex) {
  const history::HistoryRecord record = set.RecordAt(orderIndex);
  ExerciseRecord r;
  r.recordNumber = set.RecordNumberAt(orderIndex);
  r.licao = record.licao;
  r.erros = record.erros;
  const auto stamp = [](const std::optional<DateTime>& value) -> std::optional<Stamp> {
    if (value) return ToStamp(*value);
    return std::nullopt;
  };
  r.data = stamp(record.data);
  r.tempoS = DurationSeconds(stamp(record.tempo), stamp(record.inicio), stamp(record.fim));
  return r;
}

// The order the history grid shows.
bool RecordOrder(const ExerciseRecord& a, const ExerciseRecord& b) {
  return history::ComesBefore(a.data, a.recordNumber, b.data, b.recordNumber);
}

fs::path KeyStatsFile(const Student& student) { return student.file.parent_path() / history::KeyStatsFileName; }

}  // namespace

ClassFolders FindHistories(const std::vector<fs::path>& folders) {
  ClassFolders out;
  std::set<fs::path> seen;
  // Names start with the opened folder's own name when more than one folder holds students.
  std::size_t walkable = 0;
  for (const fs::path& folder : folders) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) ++walkable;
  }
  for (std::size_t i = 0; i < folders.size(); ++i) Walk(Normalised(folders[i]), i, walkable > 1, out, seen);
  const auto byName = [](const HistoryLocation& a, const HistoryLocation& b) {
    return a.aluno != b.aluno ? a.aluno < b.aluno : a.file < b.file;
  };
  std::stable_sort(out.histories.begin(), out.histories.end(), byName);
  std::stable_sort(out.results.begin(), out.results.end(), byName);
  // Two opened folders of the same name ("a/turma", "b/turma") could still give two folders one
  // name: each row, chart and CSV line must stay its own student, so the later folders are
  // numbered, a history and the results beside it alike.
  std::map<std::string, std::vector<fs::path>> foldersOf;
  for (const auto* list : {&out.histories, &out.results})
    for (const HistoryLocation& l : *list) foldersOf[l.aluno].push_back(l.file.parent_path());
  for (auto& [aluno, folders] : foldersOf) {
    std::sort(folders.begin(), folders.end());
    folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
  }
  for (auto* list : {&out.histories, &out.results})
    for (HistoryLocation& l : *list) {
      const std::vector<fs::path>& folders = foldersOf[l.aluno];
      const auto k = std::lower_bound(folders.begin(), folders.end(), l.file.parent_path()) - folders.begin();
      if (k > 0) l.aluno += " (" + std::to_string(k + 1) + ")";
    }
  return out;
}

ReadFailure ReadGuarded(const std::function<void()>& read) {
  try {
    read();
    return {};
  } catch (const history::PacketError& e) {
    return {LoadFailure::Damaged, e.what()};
  } catch (const history::HistoryError& e) {
    const bool file = e.kind() == history::HistoryErrorKind::CannotOpenFile ||
                      e.kind() == history::HistoryErrorKind::CannotCreateFile;
    if (file) return {LoadFailure::CannotOpen, e.what(), e.cause()};
    return {LoadFailure::NotHistory, e.what()};
  } catch (const std::exception& e) {
    return {LoadFailure::NotHistory, e.what()};
  }
}

Student LoadStudent(const HistoryLocation& location) {
  Student student{location.aluno, location.file, {}, {}};
  student.folder = location.folder;
  ReadFailure failed = ReadGuarded([&] {
    history::RecordSet set("cds1");
    set.LoadFromFile(location.file);
    if (!set.Active()) set.Open();  // a zero-byte file leaves the never-opened store closed
    const int rows = set.RowCount();
    student.records.reserve(static_cast<std::size_t>(rows));
    // Rows come in `data` order, blank `data` first and ties by record number.
    for (int i = 0; i < rows; ++i) student.records.push_back(RecordAt(set, i));
    if (!std::is_sorted(student.records.begin(), student.records.end(), RecordOrder))
      std::sort(student.records.begin(), student.records.end(), RecordOrder);
  });
  if (failed.failure != LoadFailure::None) {
    student.records.clear();
    student.error = std::move(failed.error);
    student.failure = failed.failure;
    student.cause = failed.cause;
  }
  std::error_code ec;
  const fs::directory_entry keys(KeyStatsFile(student), ec);
  if (!student.Failed() && keys.exists(ec)) {
    student.keyStats = KeyStatsState::NotRead;
    student.keyStatsSeen = {keys.file_size(ec), keys.last_write_time(ec)};
  }
  return student;
}

void LoadKeyStats(Student& student) {
  if (student.keyStats != KeyStatsState::NotRead) return;
  try {
    const std::string bytes = history::ReadHistoryFile(KeyStatsFile(student));
    if (!bytes.empty()) student.keyExercises = history::ReadKeyStats(history::ReadPacket(bytes));
    student.keyStats = KeyStatsState::Read;
  } catch (const std::exception& e) {  // HistoryError, PacketError, KeyStatsError
    student.keyExercises.clear();
    student.keyStats = KeyStatsState::Failed;
    student.keyStatsError = e.what();
  }
}

void LoadKeyStats(std::vector<Student>& students, unsigned threads, const LoadProgress& progress,
                  const std::atomic<bool>* cancel) {
  std::atomic<std::size_t> done{0};
  ReadInParallel(
      students.size(),
      [&](std::size_t i) {
        LoadKeyStats(students[i]);
        const std::size_t count = ++done;
        if (progress) progress(count, students.size());
      },
      threads, cancel);
}

void KeepKeyStats(std::vector<Student>& fresh, std::vector<Student>& old) {
  std::unordered_map<fs::path::string_type, Student*> read;
  for (Student& s : old)
    if (s.keyStats == KeyStatsState::Read || s.keyStats == KeyStatsState::Failed) read.emplace(s.file.native(), &s);
  for (Student& s : fresh) {
    if (s.keyStats != KeyStatsState::NotRead) continue;
    const auto found = read.find(s.file.native());
    if (found == read.end() || found->second->keyStatsSeen != s.keyStatsSeen) continue;
    Student& was = *found->second;
    s.keyStats = was.keyStats;
    s.keyStatsError = std::move(was.keyStatsError);
    s.keyExercises = std::move(was.keyExercises);
  }
}

std::vector<char> ReadInParallel(std::size_t count, const std::function<void(std::size_t)>& read, unsigned threads,
                                 const std::atomic<bool>* cancel) {
  std::vector<char> ran(count, 0);
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<std::size_t>(threads, std::max<std::size_t>(1, count)));
  std::atomic<std::size_t> next{0};
  auto work = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      if (cancel && cancel->load()) return;
      read(i);
      ran[i] = 1;
    }
  };
  std::vector<std::jthread> pool;
  for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
  pool.clear();  // joins
  return ran;
}

std::vector<Student> LoadClass(const std::vector<HistoryLocation>& histories, const LoadProgress& progress,
                               unsigned threads, const std::atomic<bool>* cancel) {
  std::vector<Student> students(histories.size());
  std::atomic<std::size_t> done{0};
  const std::vector<char> loaded = ReadInParallel(
      histories.size(),
      [&](std::size_t i) {
        students[i] = LoadStudent(histories[i]);
        const std::size_t count = ++done;
        if (progress) progress(count, histories.size());
      },
      threads, cancel);
  std::vector<Student> out;
  out.reserve(students.size());
  for (std::size_t i = 0; i < students.size(); ++i)
    if (loaded[i]) out.push_back(std::move(students[i]));
  return out;
}

}  // namespace tecladim::classroom
