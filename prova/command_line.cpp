#include "prova/command_line.h"

#include <QFile>
#include <QFileInfo>

#include <optional>
#include <ostream>
#include <string>

#include "exam/profiles.h"
#include "exam/result_sheet.h"
#include "exam/scoring.h"
#include "exercise/number_text.h"
#include "history/utf8.h"

namespace tecladim::prova {

const char* const UsageText =
    "Uso: tecladim-prova\n"
    "     tecladim-prova --corrigir MODELO.txt DIGITADO.txt [--perfil NOME] [--minutos N] [--minimo N]\n"
    "     tecladim-prova --perfis\n"
    "Sem opções, abre a prova simulada. Com --corrigir, corrige um texto digitado em outro\n"
    "lugar (no papel, num editor) contra o modelo, pelas regras do perfil (TJ-MG se nenhum\n"
    "for dado), e mostra a folha de resultado. Os dois arquivos são texto UTF-8.\n"
    "--minutos muda o tempo da prova; --minimo dá o mínimo do perfil Livre, em TL por minuto.\n"
    "--perfis lista os perfis.\n";

namespace {

// A whole number from 1 to `limit`, or nothing.
std::optional<std::int64_t> Count(const QString& text, std::int64_t limit) {
  const std::optional<std::int32_t> v = ParseInteger(text.toStdU16String());
  if (!v || *v < 1 || *v > limit) return std::nullopt;
  return *v;
}

CommandLine UsageError(QString error) {
  CommandLine c;
  c.mode = CommandLine::Mode::Usage;
  c.error = std::move(error);
  return c;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine c;
  if (arguments.isEmpty()) return c;
  const QString& first = arguments.first();
  if (first == QStringLiteral("--help") || first == QStringLiteral("-h")) {
    c.mode = CommandLine::Mode::Usage;
    return c;
  }
  if (first == QStringLiteral("--perfis")) {
    c.mode = CommandLine::Mode::Profiles;
    if (arguments.size() > 1) return UsageError(QStringLiteral("--perfis não leva argumentos."));
    return c;
  }
  if (first != QStringLiteral("--corrigir")) return UsageError(QStringLiteral("opção desconhecida: %1").arg(first));
  if (arguments.size() < 3 || arguments[1].startsWith(QStringLiteral("--")) ||
      arguments[2].startsWith(QStringLiteral("--")))
    return UsageError(QStringLiteral("--corrigir pede o arquivo do modelo e o do texto digitado."));
  c.mode = CommandLine::Mode::Correct;
  c.model = arguments[1];
  c.typed = arguments[2];
  for (qsizetype i = 3; i < arguments.size(); i += 2) {
    const QString& option = arguments[i];
    if (i + 1 >= arguments.size()) return UsageError(QStringLiteral("%1 pede um valor.").arg(option));
    const QString& value = arguments[i + 1];
    if (option == QStringLiteral("--perfil")) {
      c.profile = value;
    } else if (option == QStringLiteral("--minutos")) {
      const auto minutes = Count(value, 180);
      if (!minutes) return UsageError(QStringLiteral("--minutos pede um número inteiro de 1 a 180."));
      c.minutes = static_cast<std::int32_t>(*minutes);
    } else if (option == QStringLiteral("--minimo")) {
      const auto mark = Count(value, 2000);
      if (!mark) return UsageError(QStringLiteral("--minimo pede um número inteiro de 1 a 2000 (TL por minuto)."));
      c.passMark = *mark;
    } else {
      return UsageError(QStringLiteral("opção desconhecida: %1").arg(option));
    }
  }
  return c;
}

namespace {

// The file's text, or a message saying why there is none.
std::optional<std::u32string> ReadText(const QString& path, std::string& message) {
  // The system's own reason would come in English: say it in the user's words.
  const QFileInfo info(path);
  const std::string name = "“" + path.toStdString() + "”";
  if (!info.exists()) {
    message = "o arquivo " + name + " não existe.";
    return std::nullopt;
  }
  if (info.isDir()) {
    message = name + " é uma pasta, não um arquivo de texto.";
    return std::nullopt;
  }
  QFile file(path);
  QByteArray bytes;
  if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
  if (!file.isOpen() || file.error() != QFileDevice::NoError) {
    message = "não foi possível ler o arquivo " + name + " (sem permissão de leitura?).";
    return std::nullopt;
  }
  const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  if (!IsValidUtf8(view)) {
    message = "o arquivo “" + path.toStdString() + "” não é texto UTF-8; salve-o como UTF-8 e tente de novo.";
    return std::nullopt;
  }
  return Utf32FromUtf8(view);
}

std::string ProfileNames() {
  std::string names;
  const auto all = exam::Profiles();
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (i > 0) names += i + 1 == all.size() ? " e " : ", ";
    names += all[i].name;
  }
  return names;
}

}  // namespace

int Correct(const CommandLine& command, std::ostream& out, std::ostream& errors) {
  const exam::Profile* known = exam::FindProfile(command.profile.toStdString());
  if (!known) {
    errors << "tecladim-prova: perfil desconhecido: “" << command.profile.toStdString() << "”; os perfis são "
           << ProfileNames() << ".\n";
    return ExitBadInput;
  }
  exam::Profile profile = *known;
  if (command.minutes > 0) profile.minutes = command.minutes;
  if (command.passMark > 0) {
    if (!profile.chosen) {
      errors << "tecladim-prova: --minimo vale só para o perfil Livre; o perfil " << profile.name
             << " tem o seu mínimo.\n";
      return ExitBadInput;
    }
    profile.passMark = command.passMark * 10;
  }
  std::string message;
  const auto model = ReadText(command.model, message);
  const auto typed = model ? ReadText(command.typed, message) : std::nullopt;
  if (!model || !typed) {
    errors << "tecladim-prova: " << message << '\n';
    return ExitBadInput;
  }
  out << exam::ResultSheetText(profile, exam::Score(profile, *model, *typed));
  return 0;
}

int ListProfiles(std::ostream& out) {
  for (const exam::Profile& p : exam::Profiles())
    out << p.name << " (versão " << p.version << "), " << p.style << ": " << exam::RuleText(p) << ".\n";
  return 0;
}

}  // namespace tecladim::prova
