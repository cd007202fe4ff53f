#pragma once
#include <string>

#include "exam/profiles.h"
#include "exam/scoring.h"

// The result sheet as plain text (UTF-8, LF), what `tecladim-prova --corrigir` prints:
// the profile and its rule, toques brutos, each kind of error with its count, TL, the
// grade, APTO or NÃO APTO, one line per error with its place in the model, and the
// reminder that a simulado is practice.
namespace tecladim::exam {

// "Um simulado é treino, não um certificado."
extern const char* const PracticeNotice;

// "APTO" or "NÃO APTO".
std::string VerdictText(bool apto);

// The grade with its decimals and unit: "1.222 TL", "7,35 pontos".
std::string GradeText(const Profile& profile, std::int64_t grade);

// A model or typed piece as the sheet names it: "“a”", a single blank as "espaço" or
// "quebra de linha".
std::string PieceText(const std::u32string& piece);

// "linha 3, coluna 12: diferente (modelo “a”, digitado “e”)".
std::string ErrorLineText(const MarkedError& error);

std::string ResultSheetText(const Profile& profile, const ExamResult& result);

}  // namespace tecladim::exam
