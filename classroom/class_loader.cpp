#include "classroom/class_loader.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <set>
#include <thread>

#include "history/history_file.h"
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
  auto consider = [&](const fs::path& file) {
    if (seen.insert(Identity(file)).second) out.histories.push_back({StudentName(opened, file, prefixed), file, index});
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
        if (path.filename() == HistoryFileName && !entryEc) consider(path);
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

void Fail(Student& student, const std::exception& e, LoadFailure failure) {
  student.records.clear();
  student.error = e.what();
  student.failure = failure;
}

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
  std::stable_sort(out.histories.begin(), out.histories.end(), [](const HistoryLocation& a, const HistoryLocation& b) {
    return a.aluno != b.aluno ? a.aluno < b.aluno : a.file < b.file;
  });
  // Two opened folders of the same name ("a/turma", "b/turma") could still give two files one
  // name: each row, chart and CSV line must stay its own student, so the later ones are numbered.
  auto& found = out.histories;
  for (std::size_t i = 0; i < found.size();) {
    std::size_t j = i + 1;
    while (j < found.size() && found[j].aluno == found[i].aluno) ++j;
    for (std::size_t k = i + 1; k < j; ++k) found[k].aluno += " (" + std::to_string(k - i + 1) + ")";
    i = j;
  }
  return out;
}

Student LoadStudent(const HistoryLocation& location) {
  Student student{location.aluno, location.file, {}, {}};
  student.folder = location.folder;
  history::RecordSet set("cds1");
  try {
    set.LoadFromFile(location.file);
    if (!set.Active()) set.Open();  // a zero-byte file leaves the never-opened store closed
    const int rows = set.RowCount();
    student.records.reserve(static_cast<std::size_t>(rows));
    // Rows come in `data` order, blank `data` first and ties by record number.
    for (int i = 0; i < rows; ++i) student.records.push_back(RecordAt(set, i));
    if (!std::is_sorted(student.records.begin(), student.records.end(), RecordOrder))
      std::sort(student.records.begin(), student.records.end(), RecordOrder);
  } catch (const history::PacketError& e) {
    Fail(student, e, LoadFailure::Damaged);
  } catch (const history::HistoryError& e) {
    const bool file = e.kind() == history::HistoryErrorKind::CannotOpenFile ||
                      e.kind() == history::HistoryErrorKind::CannotCreateFile;
    Fail(student, e, file ? LoadFailure::CannotOpen : LoadFailure::NotHistory);
    if (file) student.cause = e.cause();
  } catch (const std::exception& e) {
    Fail(student, e, LoadFailure::NotHistory);
  }
  return student;
}

std::vector<Student> LoadClass(const std::vector<HistoryLocation>& histories, const LoadProgress& progress,
                               unsigned threads, const std::atomic<bool>* cancel) {
  std::vector<Student> students(histories.size());
  std::vector<char> loaded(histories.size(), 0);
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  threads = static_cast<unsigned>(std::min<std::size_t>(threads, std::max<std::size_t>(1, histories.size())));
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> done{0};
  auto work = [&] {
    for (std::size_t i = next++; i < histories.size(); i = next++) {
      if (cancel && cancel->load()) return;
      students[i] = LoadStudent(histories[i]);
      loaded[i] = 1;
      const std::size_t count = ++done;
      if (progress) progress(count, histories.size());
    }
  };
  std::vector<std::jthread> pool;
  for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
  work();
  pool.clear();  // joins
  std::vector<Student> out;
  out.reserve(students.size());
  for (std::size_t i = 0; i < students.size(); ++i)
    if (loaded[i]) out.push_back(std::move(students[i]));
  return out;
}

}  // namespace tecladim::classroom
