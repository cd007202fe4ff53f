#pragma once
#include <QString>
#include <QStringList>

#include <cstdint>
#include <iosfwd>

// tecladim-prova                                   opens the window
// tecladim-prova --corrigir MODELO DIGITADO [--perfil NOME] [--minutos N] [--minimo N]
//                                                  prints the result sheet, no window
// tecladim-prova --perfis                          lists the profiles
namespace tecladim::prova {

struct CommandLine {
  enum class Mode { Window, Correct, Profiles, Usage };
  Mode mode = Mode::Window;
  QString model, typed;
  QString profile = QStringLiteral("TJ-MG");
  std::int32_t minutes = 0;    // 0: the profile's own time
  std::int64_t passMark = -1;  // Livre's pass mark in TL per minute; -1: its default
  QString error;               // for Usage: what was wrong ("" for --help)
};

// The arguments without the program's name.
CommandLine ParseCommandLine(const QStringList& arguments);

extern const char* const UsageText;

// Exit statuses: 0 done, 2 a file that cannot be read or an unknown profile.
inline constexpr int ExitBadInput = 2;

// The result sheet of two UTF-8 files on `out`; a Portuguese message on `errors` and
// ExitBadInput for a file that cannot be read, is not UTF-8, or a profile not known.
int Correct(const CommandLine& command, std::ostream& out, std::ostream& errors);

// One line per profile: its name, version, style and rule.
int ListProfiles(std::ostream& out);

}  // namespace tecladim::prova
