#pragma once
#include <string_view>

namespace tecladim::history {

// The history's file, a bare name in the folder the trainer starts in; the class report
// looks for it in every student's folder.
inline constexpr std::string_view HistoryFileName = "Exercicio.xml";

// The key statistics' file, beside the history (history/key_stats_file.h has its rows).
inline constexpr std::string_view KeyStatsFileName = "Teclas.xml";

}  // namespace tecladim::history
