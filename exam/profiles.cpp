#include "exam/profiles.h"

#include <array>

#include "exercise/number_text.h"
#include "history/ascii_case.h"
#include "history/utf8.h"

namespace tecladim::exam {
namespace {

constexpr std::string_view NoticesAndSites =
    "editais publicados e sites de preparação; confira o edital do seu concurso";

constexpr std::array<Profile, 5> AllProfiles{{
    {.name = "TJ-MG",
     .version = 1,
     .style = "no estilo do TJ-MG",
     .source = "editais publicados e sites de preparação (há cargo com peso 2 por erro); confira o edital do seu "
               "concurso",
     .minutes = 5,
     .errorWeight = 1,
     .scale = Scale::NetStrokes,
     .passMark = 600},
    {.name = "PC-MG",
     .version = 1,
     .style = "no estilo da PC-MG",
     .source = NoticesAndSites,
     .minutes = 5,
     .errorWeight = 1,
     .scale = Scale::NetStrokes,
     .passMark = 700,
     .textLength = 1700},
    {.name = "PC-ES",
     .version = 1,
     .style = "no estilo da PC-ES",
     .source = NoticesAndSites,
     .minutes = 6,
     .errorWeight = 1,
     .scale = Scale::NetStrokes,
     .passMark = 600},
    // The grade falls only with errors, so the text left untyped must count: otherwise an
    // empty page would score full marks.
    {.name = "TJ-SP",
     .version = 1,
     .style = "no estilo do TJ-SP",
     .source = "editais publicados e sites de preparação (17 minutos com tempo adicional); confira o edital do seu "
               "concurso",
     .minutes = 11,
     .errorWeight = 1,
     .scale = Scale::PointsLessPerError,
     .passMark = 400,
     .maxPoints = 800,
     .pointsPerError = 5,
     .unreached = UnreachedText::Missing,
     .textLength = 1800},
    {.name = "Livre",
     .version = 1,
     .style = "livre, com tempo e mínimo escolhidos pelo instrutor",
     .source = "o instrutor",
     .minutes = 10,
     .errorWeight = 1,
     .scale = Scale::NetStrokesPerMinute,
     .passMark = 1000,
     .chosen = true},
}};

std::string Text(std::int64_t units, int decimals) { return Utf8FromUtf16(FixedPointText(units, decimals)); }

}  // namespace

std::span<const Profile> Profiles() { return AllProfiles; }

const Profile* FindProfile(std::string_view name) {
  for (const Profile& p : AllProfiles)
    if (EqualIgnoringAsciiCase(p.name, name)) return &p;
  return nullptr;
}

Profile FreeProfile(std::int32_t minutes, std::int64_t passMarkTenths) {
  Profile p = AllProfiles.back();
  p.minutes = minutes;
  p.passMark = passMarkTenths;
  return p;
}

int GradeDecimals(Scale scale) {
  switch (scale) {
    case Scale::NetStrokes: return 0;
    case Scale::NetStrokesPerMinute: return 1;
    case Scale::PointsLessPerError: return 2;
  }
  return 0;
}

std::string_view GradeUnit(Scale scale) {
  switch (scale) {
    case Scale::NetStrokes: return "TL";
    case Scale::NetStrokesPerMinute: return "TL por minuto";
    case Scale::PointsLessPerError: return "pontos";
  }
  return "";
}

std::string RuleText(const Profile& p) {
  const std::string minutes = Text(p.minutes, 0) + (p.minutes == 1 ? " minuto" : " minutos");
  const std::string weight = Text(p.errorWeight, 0);
  const std::string pass = Text(p.passMark, GradeDecimals(p.scale)) + " " + std::string(GradeUnit(p.scale));
  switch (p.scale) {
    case Scale::NetStrokes:
      return "TL = toques brutos − erros × " + weight + ", no tempo da prova (" + minutes + "); apto com " + pass;
    case Scale::NetStrokesPerMinute:
      return "TL por minuto = (toques brutos − erros × " + weight + ") ÷ " + minutes + "; apto com " + pass;
    case Scale::PointsLessPerError:
      return "nota = " + Text(p.maxPoints, 2) + " − " + Text(p.pointsPerError, 2) + " × erros (de 0 a " +
             Text(p.maxPoints, 2) + "), em até " + minutes + "; apto com " + pass;
  }
  return {};
}

std::string CountingRuleText(const Profile& p) {
  std::string text =
      "Os erros são contados caractere por caractere entre o modelo e o texto digitado no fim: cada caractere a "
      "mais, a menos ou diferente é um erro; duas letras vizinhas trocadas contam um erro só; uma palavra a mais ou "
      "a menos conta um erro por caractere; maiúscula por minúscula (ou o contrário) é um erro; a quebra de linha "
      "vale como espaço. ";
  text += p.unreached == UnreachedText::NotAnError
              ? "O texto que o tempo não deixou alcançar não conta como erro."
              : "Neste perfil, o texto não digitado até o fim do tempo conta como erro (a menos), caractere por "
                "caractere.";
  return text;
}

}  // namespace tecladim::exam
