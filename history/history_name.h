#pragma once
#include <string_view>

namespace tecladim::history {

// The history's file, a bare name in the folder the trainer starts in; the class report
// looks for it in every student's folder.
inline constexpr std::string_view HistoryFileName = "Exercicio.xml";

}  // namespace tecladim::history
