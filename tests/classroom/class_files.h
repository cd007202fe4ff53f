#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "tests/support/history_text.h"

// Class folders written to a fresh temporary directory, removed after the test.
namespace tecladim::classroom::testing {

class ClassFolder {
 public:
  ClassFolder() {
    std::random_device random;
    root_ = std::filesystem::temp_directory_path() /
            ("turma-test-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::filesystem::create_directories(root_);
  }
  ~ClassFolder() {
    std::error_code ec;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(root_, ec);
  }
  ClassFolder(const ClassFolder&) = delete;
  ClassFolder& operator=(const ClassFolder&) = delete;

  const std::filesystem::path& root() const { return root_; }

  // Writes `bytes` to root/relative, creating the folders on the way.
  std::filesystem::path Write(const std::string& relative, std::string_view bytes) const {
    const std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }

 private:
  std::filesystem::path root_;
};

// A history as the trainer writes it, with the given <ROW .../> elements.
inline std::string TrainerHistory(std::string_view rows, std::string_view changeLog = "") {
  std::string s = tecladim::testing_support::TrainerHistoryHead;
  s += "<PARAMS CHANGE_LOG=\"";
  s += changeLog;
  s += "\"/></METADATA><ROWDATA>";
  s += rows;
  s += "</ROWDATA></DATAPACKET>";
  return s;
}

// One row of a trainer's history: lesson, completion, errors, start and end on the same day.
inline std::string Row(int licao, std::string_view day, std::string_view inicio, std::string_view fim, int erros,
                       std::string_view tempo) {
  std::string s = "<ROW RowState=\"4\" licao=\"" + std::to_string(licao) + "\" data=\"" + std::string(day) + "T" +
                  std::string(fim) + "123\" erros=\"" + std::to_string(erros) + "\" inicio=\"" + std::string(day) +
                  "T" + std::string(inicio) + "000\" fim=\"" + std::string(day) + "T" + std::string(fim) +
                  "000\" tempo=\"18991230T" + std::string(tempo) + "000\"/>";
  return s;
}

}  // namespace tecladim::classroom::testing
