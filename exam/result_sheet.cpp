#include "exam/result_sheet.h"

#include "exercise/number_text.h"
#include "history/utf8.h"

namespace tecladim::exam {
namespace {

std::string Number(std::int64_t value, int decimals = 0) { return Utf8FromUtf16(FixedPointText(value, decimals)); }

}  // namespace

const char* const PracticeNotice = "Um simulado é treino, não um certificado.";

std::string VerdictText(bool apto) { return apto ? "APTO" : "NÃO APTO"; }

std::string GradeText(const Profile& profile, std::int64_t grade) {
  return Number(grade, GradeDecimals(profile.scale)) + " " + std::string(GradeUnit(profile.scale));
}

std::string PieceText(const std::u32string& piece) {
  if (piece == U" ") return "espaço";
  if (piece == U"\n") return "quebra de linha";
  if (piece == U"\t") return "tabulação";
  std::u32string shown;
  for (char32_t c : piece) shown += c == U'\n' ? U'↵' : c;
  return "“" + Utf8FromUtf32(shown) + "”";
}

std::string ErrorLineText(const MarkedError& e) {
  std::string line =
      "linha " + Number(e.line) + ", coluna " + Number(e.column) + ": " + std::string(ErrorKindName(e.kind));
  // "espaço a mais", "espaço a menos": the kind says the rest.
  if (e.kind == ErrorKind::Space && e.expected.empty() && e.got == U" ") return line + " a mais";
  if (e.kind == ErrorKind::Space && e.got.empty() && e.expected == U" ") return line + " a menos";
  if (e.expected.empty()) line += " (digitado " + PieceText(e.got) + ")";
  else if (e.got.empty()) line += " (modelo " + PieceText(e.expected) + ")";
  else line += " (modelo " + PieceText(e.expected) + ", digitado " + PieceText(e.got) + ")";
  return line;
}

std::string ResultSheetText(const Profile& p, const ExamResult& r) {
  std::string s = "Tecladim — Prova simulada: folha de resultado\n";
  s += "Perfil: " + std::string(p.name) + ", versão " + Number(p.version) + ", " + std::string(p.style) + "\n";
  s += "Fonte da regra: " + std::string(p.source) + "\n";
  s += "Regra: " + RuleText(p) + "\n";
  s += CountingRuleText(p) + "\n\n";
  s += "Toques brutos: " + Number(r.toquesBrutos) + "\n";
  s += "Erros: " + Number(r.erros) + "\n";
  for (std::size_t k = 0; k < ErrorKindCount; ++k)
    s += "  " + std::string(ErrorKindName(static_cast<ErrorKind>(k))) + ": " + Number(r.byKind[k]) + "\n";
  s += "Toques líquidos (TL): " + Number(r.toquesLiquidos) + "\n";
  s += "Nota: " + GradeText(p, r.grade) + " (mínimo " + GradeText(p, p.passMark) + ")\n";
  s += "Resultado: " + VerdictText(r.apto) + "\n";
  if (r.unreached > 0)
    s += "Texto não alcançado: " + Number(r.unreached) + " caracteres do modelo, que não contam como erro\n";
  if (!r.errors.empty()) {
    s += "\nErros, com o lugar no modelo:\n";
    for (const MarkedError& e : r.errors) s += "  " + ErrorLineText(e) + "\n";
  }
  s += "\n";
  s += PracticeNotice;
  s += "\n";
  return s;
}

}  // namespace tecladim::exam
