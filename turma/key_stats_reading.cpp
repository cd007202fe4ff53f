#include "turma/key_stats_reading.h"

#include <QThreadPool>

#include <algorithm>
#include <atomic>

#include "turma/way_back.h"

namespace tecladim::turma {

// What a read owns: the files it reads (copies of the students' file and state, nothing
// else), where each goes back, and the way back to the window's thread.
struct KeyStatsReading::Job {
  explicit Job(KeyStatsReading* receiver) : owner(receiver), back(receiver) {}
  KeyStatsReading* const owner;           // used on the window's thread alone, in what `back` posts
  std::vector<std::size_t> index;         // into the class's students
  std::vector<classroom::Student> files;  // `file` and `keyStats` of each, filled by the read
  std::atomic<bool> cancel{false};
  unsigned serial = 0;  // which of the receiver's reads
  WayBack back;
};

KeyStatsReading::KeyStatsReading(ClassData* data, QObject* parent) : QObject(parent), data_(data) {}

KeyStatsReading::~KeyStatsReading() { Abandon(); }

bool KeyStatsReading::Complete() const {
  return std::none_of(data_->students.begin(), data_->students.end(),
                      [](const classroom::Student& s) { return s.keyStats == classroom::KeyStatsState::NotRead; });
}

void KeyStatsReading::Start() {
  if (job_ || Complete()) return;
  auto job = std::make_shared<Job>(this);
  job->serial = ++serial_;
  for (std::size_t i = 0; i < data_->students.size(); ++i) {
    const classroom::Student& s = data_->students[i];
    if (s.keyStats != classroom::KeyStatsState::NotRead) continue;
    classroom::Student file;
    file.file = s.file;
    file.keyStats = s.keyStats;
    job->index.push_back(i);
    job->files.push_back(std::move(file));
  }
  job_ = job;
  done_ = 0;
  total_ = static_cast<int>(job->files.size());
  emit Progress(done_, total_);
  // Told at most about a hundred times, whatever the class's size.
  auto progress = [job = job.get()](std::size_t done, std::size_t total) {
    const std::size_t step = std::max<std::size_t>(1, total / 100);
    if (done % step != 0 && done != total) return;
    job->back.Post([to = job->owner, serial = job->serial, done] {
      if (!to->job_ || to->job_->serial != serial) return;
      to->done_ = static_cast<int>(done);
      emit to->Progress(to->done_, to->total_);
    });
  };
  QThreadPool::globalInstance()->start([job, progress] {
    classroom::LoadKeyStats(job->files, 0, progress, &job->cancel);
    job->back.Post([to = job->owner, job] { to->Finish(job); });
  });
}

void KeyStatsReading::Finish(const std::shared_ptr<Job>& job) {
  if (job != job_) return;
  job_.reset();
  for (std::size_t k = 0; k < job->files.size(); ++k) {
    classroom::Student& read = job->files[k];
    const std::size_t i = job->index[k];
    // A student read meanwhile on its own (the student's keyboard) keeps what it has.
    if (i >= data_->students.size() || data_->students[i].file != read.file ||
        data_->students[i].keyStats != classroom::KeyStatsState::NotRead)
      continue;
    classroom::Student& s = data_->students[i];
    s.keyStats = read.keyStats;
    s.keyStatsError = std::move(read.keyStatsError);
    s.keyExercises = std::move(read.keyExercises);
  }
  emit Read();
  auto waiting = std::move(waiting_);
  waiting_.clear();
  for (auto& then : waiting) then();
}

void KeyStatsReading::WhenRead(std::function<void()> then) {
  if (!job_ && Complete()) {
    then();
    return;
  }
  waiting_.push_back(std::move(then));
  Start();
}

void KeyStatsReading::ClassReplaced() {
  Abandon();
  if (!waiting_.empty()) Start();
}

void KeyStatsReading::Abandon() {
  if (!job_) return;
  job_->cancel = true;
  job_->back.Cut();
  job_.reset();
}

}  // namespace tecladim::turma
