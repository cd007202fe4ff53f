// The memory a history's load takes against the file's size, hostile files included.
//
//   history_read_peak FILE...   loads each file in a child process of its own (the peak of a
//                               process only grows) and prints its size, the child's peak
//                               resident memory and the ratio
//   history_read_peak --make DIR  writes the generated hostile files into DIR and measures them
//   history_read_peak --one FILE  (the child) loads FILE as the trainer and the class report do
//
// The goal: a load takes at most about 10 times the file's size above the program's own
// baseline (an empty history's load), and 2 MiB more for the allocator. Exits 1 when a file
// goes past it.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "history/record_set.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using tecladim::history::RecordSet;

constexpr double GoalRatio = 10.0;
// What any load may take besides, however small the file: the allocator's own arenas.
constexpr long SmallFileAllowanceKb = 2048;

// The child's peak, in KiB; -1 when it could not run.
long MeasureOne(const char* self, const fs::path& file) {
  // Spawned, not forked: a forked child's peak would count this program's own memory.
  std::string one = "--one", name = file.string(), program = self;
  char* argv[] = {program.data(), one.data(), name.data(), nullptr};
  pid_t pid = 0;
  if (::posix_spawn(&pid, self, nullptr, nullptr, argv, environ) != 0) return -1;
  int status = 0;
  rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid) return -1;
  return usage.ru_maxrss;
}

int LoadOne(const char* file) {
  RecordSet set("cds1");
  set.CreateDataSet();
  set.Close();
  try {
    set.LoadFromFile(file);
  } catch (const std::exception&) {
    // A refused file counts all the same: its memory was spent before the refusal.
  }
  return 0;
}

const char* Head = R"(<?xml version="1.0" standalone="yes"?><DATAPACKET Version="2.0"><METADATA><FIELDS>)"
                   R"(<FIELD attrname="licao" fieldtype="i4"/><FIELD attrname="data" fieldtype="dateTime"/>)"
                   R"(<FIELD attrname="erros" fieldtype="i4"/><FIELD attrname="inicio" fieldtype="dateTime"/>)"
                   R"(<FIELD attrname="fim" fieldtype="dateTime"/><FIELD attrname="tempo" fieldtype="dateTime"/>)";

void Write(const fs::path& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }

void MakeHostileFiles(const fs::path& dir) {
  fs::create_directories(dir);
  const auto add = [&](const char* name, const std::string& bytes) { Write(dir / name, bytes); };
  add("empty.xml", std::string(Head) + "</FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
  for (const char* type : {R"(fieldtype="i4")", R"(fieldtype="string" WIDTH="20")"}) {
    for (const int rows : {0, 30}) {
      std::string bytes = Head;
      for (int i = 0; i < 100'000; ++i) bytes += "<FIELD attrname=\"x" + std::to_string(i) + "\" " + type + "/>";
      bytes += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
      for (int i = 0; i < rows; ++i) bytes += R"(<ROW RowState="4" licao="1" erros="1"/>)";
      bytes += "</ROWDATA></DATAPACKET>";
      add(std::strchr(type, 's') ? (rows ? "fields_text_rows.xml" : "fields_text.xml")
                                 : (rows ? "fields_int_rows.xml" : "fields_int.xml"),
          bytes);
    }
  }
  {
    std::string bytes = Head;
    bytes += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
    for (int i = 0; i < 400'000; ++i) bytes += "<ROW/>";
    add("blank_rows.xml", bytes + "</ROWDATA></DATAPACKET>");
  }
  {
    std::string bytes = Head;
    bytes += "</FIELDS><PARAMS/></METADATA><ROWDATA><ROW licao=\"1\"";
    for (int i = 0; i < 200'000; ++i) bytes += " y" + std::to_string(i) + "=\"1\"";
    add("row_attributes.xml", bytes + "/></ROWDATA></DATAPACKET>");
  }
  {
    std::string bytes = Head;
    bytes += "</FIELDS><PARAMS CHANGE_LOG=\"";
    for (int i = 0; i < 400'000; ++i) bytes += "1 0 4 ";
    add("change_log.xml", bytes + "\"/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
  }
}

std::vector<fs::path> FilesIn(const fs::path& dir) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && !std::strcmp(argv[1], "--one")) return LoadOne(argv[2]);
  std::vector<fs::path> files;
  if (argc == 3 && !std::strcmp(argv[1], "--make")) {
    // Made by a child, so that this program's own peak (which the children's would count)
    // stays small.
    const pid_t maker = ::fork();
    if (maker == 0) {
      MakeHostileFiles(argv[2]);
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(maker, &status, 0);
    files = FilesIn(argv[2]);
  } else
    for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);
  if (files.empty()) {
    std::fputs("usage: history_read_peak FILE... | --make DIR\n", stderr);
    return 2;
  }
  // The baseline: the program itself, loading the smallest history there is.
  const fs::path baselineFile = fs::temp_directory_path() / ("tecladim-peak-" + std::to_string(::getpid()) + ".xml");
  Write(baselineFile, std::string(Head) + "</FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>");
  const long baseline = MeasureOne(argv[0], baselineFile);
  fs::remove(baselineFile);
  std::printf("baseline %ld KiB\n%-40s %12s %12s %8s\n", baseline, "file", "bytes", "peak KiB", "ratio");
  bool withinGoal = true;
  for (const fs::path& file : files) {
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    const long peak = MeasureOne(argv[0], file);
    const double ratio = size ? (static_cast<double>(peak - baseline) * 1024.0) / static_cast<double>(size) : 0.0;
    const bool within = peak >= 0 && static_cast<double>(peak - baseline) <=
                                         GoalRatio * static_cast<double>(size) / 1024.0 + SmallFileAllowanceKb;
    withinGoal = withinGoal && within;
    std::printf("%-40s %12llu %12ld %8.1f%s\n", file.filename().c_str(), static_cast<unsigned long long>(size), peak,
                ratio, within ? "" : "  over the goal");
  }
  return withinGoal ? 0 : 1;
}
