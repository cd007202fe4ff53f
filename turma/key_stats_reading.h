#pragma once
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

#include "turma/class_data.h"

// The class's "Teclas.xml" files, read on a thread of the pool, never on the window's: a class
// of a thousand students takes seconds. The reader works on its own list of files; what it read
// goes into the class on the window's thread when it ends, and stays there. A class replaced
// meanwhile (a reload) or a window closed abandons the read: the reader stops after the files
// at hand and its work is dropped, never put into a class that is gone.
namespace tecladim::turma {

class KeyStatsReading : public QObject {
  Q_OBJECT
 public:
  explicit KeyStatsReading(ClassData* data, QObject* parent = nullptr);
  ~KeyStatsReading() override;

  // Whether no student's key statistics are left to read.
  bool Complete() const;
  bool Running() const { return job_ != nullptr; }
  // The files read so far of the read running, and how many it reads in all.
  int Done() const { return done_; }
  int Total() const { return total_; }
  // Starts reading every student's file not read yet, unless a read runs or none is left.
  void Start();
  // Runs `then` once no student's key statistics are left to read: now, or when the read ends.
  void WhenRead(std::function<void()> then);
  // The class's students were replaced: a read of the old ones is abandoned, and started
  // again on the new ones when something waits for it.
  void ClassReplaced();

 signals:
  void Progress(int done, int total);
  // What was read is in the class.
  void Read();

 private:
  struct Job;
  void Finish(const std::shared_ptr<Job>& job);
  void Abandon();

  ClassData* data_;
  std::shared_ptr<Job> job_;
  int done_ = 0;
  int total_ = 0;
  unsigned serial_ = 0;
  std::vector<std::function<void()>> waiting_;
};

}  // namespace tecladim::turma
