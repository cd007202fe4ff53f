#pragma once
#include <atomic>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "classroom/class_loader.h"
#include "classroom/class_report.h"
#include "exam/result_record.h"

// A class's simulados: each student's "Simulados.xml", read through the exam program's own
// record of a result, never written.
namespace tecladim::classroom {

struct StudentResults {
  std::string aluno;                        // named as the student's history is
  std::filesystem::path file;               // the "Simulados.xml" it was read from
  std::string error;                        // the reader's error text; empty when the file loaded
  std::vector<exam::ResultRecord> results;  // ascending `inicio`
  LoadFailure failure = LoadFailure::None;
  std::error_code cause{};  // for CannotOpen
  bool Failed() const { return !error.empty(); }
};

// One student's results; a file that cannot be read gives the reader's error and no results.
StudentResults LoadResults(const HistoryLocation& location);
// Every file on `threads` threads (0: one per core), in the order given; a set `cancel` stops early.
std::vector<StudentResults> LoadClassResults(const std::vector<HistoryLocation>& files, unsigned threads = 0,
                                             const std::atomic<bool>* cancel = nullptr);

// When a test was taken: its start, or none for a result without one.
std::optional<Stamp> TakenAt(const exam::ResultRecord& result);
// The results taken in the period, in order.
std::vector<const exam::ResultRecord*> InPeriod(const StudentResults& student, const Period& period);

// The grade as its profile writes it: "7,35" for two decimals, "612" for none.
std::string GradeText(const exam::ResultRecord& result);
// "APTO" or "NÃO APTO".
std::string_view VerdictText(const exam::ResultRecord& result);

inline constexpr std::string_view ExamCsvHeader = "aluno;perfil;versao;texto;data;minutos;tb;erros;tl;nota;apto";

// The header, then one line per result in the period of every student whose file loaded,
// by aluno (as text), then `inicio`; the conventions of ClassCsv.
std::string ExamResultsCsv(const std::vector<StudentResults>& students, const Period& period);

}  // namespace tecladim::classroom
