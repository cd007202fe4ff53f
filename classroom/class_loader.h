#pragma once
#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "classroom/class_report.h"
#include "history/history_name.h"

// Finding and reading a class's histories. Files are only ever read, through the history
// reader the trainer itself uses; a trainer writing one at the same time is not disturbed.
namespace tecladim::classroom {

using history::HistoryFileName;

struct HistoryLocation {
  std::string aluno;
  std::filesystem::path file;
  std::size_t folder = 0;  // index of the opened folder it was found in
  friend bool operator==(const HistoryLocation&, const HistoryLocation&) = default;
};

// A folder that could not be walked (whole or in part), with the system's error and its text.
struct WalkError {
  std::filesystem::path folder;
  std::string text;
  std::error_code cause;
};

struct ClassFolders {
  std::vector<HistoryLocation> histories;  // ordered by aluno, then file
  std::vector<WalkError> errors;
  std::vector<HistoryLocation> results;  // every "Simulados.xml", ordered as the histories
};

// Every "Exercicio.xml" beneath the folders, at any depth (links to folders followed, a link
// back to a folder above it reported as a loop, a folder that cannot be read reported, a file
// reached twice listed once), and every "Simulados.xml", with or without a history beside it.
// The student's name is the path of the file's folder relative to the opened folder, or the
// opened folder's own name for a file directly in it: both files of a folder name one student.
ClassFolders FindHistories(const std::vector<std::filesystem::path>& folders);

// One student's history through the trainer's record set; a file that cannot be read
// gives a student with the reader's error text and no records.
Student LoadStudent(const HistoryLocation& location);

// Why a read failed, as LoadStudent tells it; `read` throws the history reader's errors.
struct ReadFailure {
  LoadFailure failure = LoadFailure::None;
  std::string error;
  std::error_code cause{};
};
ReadFailure ReadGuarded(const std::function<void()>& read);

// Runs `read(i)` for every i below `count` on `threads` threads (0: one per core); a set
// `cancel` stops it early. Which ones ran.
std::vector<char> ReadInParallel(std::size_t count, const std::function<void(std::size_t)>& read, unsigned threads = 0,
                                 const std::atomic<bool>* cancel = nullptr);
// The student's "Teclas.xml" (found by LoadStudent) read with the trainer's own reader, when
// the keys are asked for: the file is many times the history's size, and a class is shown
// without it. A file that cannot be read is told on its own (KeyStatsState::Failed); the
// history stays. Students already read, or without the file, are left as they are.
void LoadKeyStats(Student& student);

// Told after each file is read, from the thread that read it: (files done, files in all).
using LoadProgress = std::function<void(std::size_t done, std::size_t total)>;

// The same for a whole class, on `threads` threads (0: one per core); a set `cancel` stops it
// after the files at hand, leaving the others NotRead.
void LoadKeyStats(std::vector<Student>& students, unsigned threads = 0, const LoadProgress& progress = {},
                  const std::atomic<bool>* cancel = nullptr);

// The students of a class read again whose "Teclas.xml" is as the last load found it (same
// size and time) take what was read of it from `old`, which loses it: a reload reads only the
// files written since.
void KeepKeyStats(std::vector<Student>& fresh, std::vector<Student>& old);

// Reads the histories on `threads` threads (0: one per core), in the order given. A set
// `cancel` stops it early; the students not yet read are then left out.
std::vector<Student> LoadClass(const std::vector<HistoryLocation>& histories, const LoadProgress& progress = {},
                               unsigned threads = 0, const std::atomic<bool>* cancel = nullptr);

}  // namespace tecladim::classroom
