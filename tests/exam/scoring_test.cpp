#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "exam/profiles.h"
#include "exam/scoring.h"

namespace tecladim::exam {
namespace {

// Twelve lines of 60 characters: 731 with the line breaks.
const std::u32string Model =
    U"A administração pública obedece aos princípios da legalidade\n"
    U"e da impessoalidade. O servidor atende o cidadão com atenção\n"
    U"registra cada pedido e informa o prazo previsto de resposta.\n"
    U"Quem procura o serviço tem direito à informação clara e a um\n"
    U"tratamento igual, sem privilégio nem discriminação qualquer.\n"
    U"Os documentos ficam guardados em arquivo seguro e o acesso a\n"
    U"eles segue a regra da lei de acesso à informação do cidadão.\n"
    U"Quando um prazo não pode ser cumprido, o órgão diz o porquê,\n"
    U"por escrito e indica uma nova data para a entrega do serviço\n"
    U"Assim se constrói a confiança entre o Estado e a sociedade e\n"
    U"que paga os seus impostos e espera em troca serviços justos,\n"
    U"eficientes, honestos e humanos, prestados com zelo e rapidez";

std::u32string Replaced(std::u32string_view what, std::u32string_view by) {
  std::u32string text = Model;
  const auto at = text.find(what);
  EXPECT_NE(at, std::u32string::npos) << "the model has no such piece";
  text.replace(at, what.size(), by);
  return text;
}

// The grade each profile gives, in its own units: TJ-MG, PC-MG, PC-ES (TL), TJ-SP
// (hundredths of a point), Livre in 5 minutes with 140,0 TL per minute to pass (tenths).
struct Grades {
  std::int64_t tjmg, pcmg, pces, tjsp, livre;
  bool aptoTjmg, aptoPcmg, aptoPces, aptoTjsp, aptoLivre;
};

struct Fixture {
  const char* name;
  std::u32string typed;
  std::int64_t toquesBrutos;
  // a mais, a menos, diferente, inversão, maiúscula/minúscula, espaço
  std::array<std::int64_t, ErrorKindCount> byKind;
  std::int64_t unreached;  // where the text not reached is no error
  Grades grades;
  friend void PrintTo(const Fixture& f, std::ostream* os) { *os << f.name; }
};

std::vector<Fixture> Fixtures() {
  return {
      {"typed perfectly", Model, 731, {0, 0, 0, 0, 0, 0}, 0, {731, 731, 731, 800, 1462, true, true, true, true, true}},
      {"one letter different",
       Replaced(U"legalidade", U"legalidate"),
       731,
       {0, 0, 1, 0, 0, 0},
       0,
       {730, 730, 730, 795, 1460, true, true, true, true, true}},
      {"a missing word counts its letters and its space",
       Replaced(U"cada pedido e", U"cada e"),
       724,
       {0, 6, 0, 0, 0, 1},
       0,
       {717, 717, 717, 765, 1434, true, true, true, true, true}},
      {"an extra space",
       Replaced(U"cidadão com", U"cidadão  com"),
       732,
       {0, 0, 0, 0, 0, 1},
       0,
       {731, 731, 731, 795, 1462, true, true, true, true, true}},
      {"two letters swapped are one error",
       Replaced(U"servidor", U"sevridor"),
       731,
       {0, 0, 0, 1, 0, 0},
       0,
       {730, 730, 730, 795, 1460, true, true, true, true, true}},
      {"a capital typed small",
       Replaced(U"o Estado", U"o estado"),
       731,
       {0, 0, 0, 0, 1, 0},
       0,
       {730, 730, 730, 795, 1460, true, true, true, true, true}},
      {"a whole line skipped",
       Replaced(U"tratamento igual, sem privilégio nem discriminação qualquer.\n", U""),
       670,
       {0, 54, 0, 0, 0, 7},
       0,
       {609, 609, 609, 495, 1218, true, false, true, true, false}},
      {"typing stopped half way",
       Model.substr(0, 6 * 61 - 1),
       365,
       {0, 0, 0, 0, 0, 0},
       366,
       {365, 365, 365, 0, 730, false, false, false, false, false}},
      {"an accent left out is a different letter",
       Replaced(U"direito à informação", U"direito a informação"),
       731,
       {0, 0, 1, 0, 0, 0},
       0,
       {730, 730, 730, 795, 1460, true, true, true, true, true}},
      // Pairing the "a" with the model's space would count as few errors, but not the right ones.
      {"an accent left out and a space doubled",
       Replaced(U"direito à informação", U"direito a  informação"),
       732,
       {0, 0, 1, 0, 0, 1},
       0,
       {730, 730, 730, 790, 1460, true, true, true, true, true}},
      {"a line break typed for a space is no error",
       Replaced(U"obedece aos", U"obedece\naos"),
       731,
       {0, 0, 0, 0, 0, 0},
       0,
       {731, 731, 731, 800, 1462, true, true, true, true, true}},
      {"Windows line breaks and a final line break count as the model's",
       [] {
         std::u32string crlf;
         for (char32_t c : Model) crlf += c == U'\n' ? std::u32string(U"\r\n") : std::u32string(1, c);
         return crlf + U"\r\n";
       }(),
       731,
       {0, 0, 0, 0, 0, 0},
       0,
       {731, 731, 731, 800, 1462, true, true, true, true, true}},
  };
}

class ExamFixtureTest : public testing::TestWithParam<Fixture> {};

TEST_P(ExamFixtureTest, CountsTheErrorsAsAnExaminerDoes) {
  const Fixture& f = GetParam();
  const ExamResult r = Score(*FindProfile("TJ-MG"), Model, f.typed);
  EXPECT_EQ(r.toquesBrutos, f.toquesBrutos);
  EXPECT_EQ(r.byKind, f.byKind);
  EXPECT_EQ(r.erros, f.byKind[0] + f.byKind[1] + f.byKind[2] + f.byKind[3] + f.byKind[4] + f.byKind[5]);
  EXPECT_EQ(r.unreached, f.unreached);
}

TEST_P(ExamFixtureTest, GradesAndPassesByEachProfile) {
  const Fixture& f = GetParam();
  const Grades& g = f.grades;
  struct Expected {
    Profile profile;
    std::int64_t grade;
    bool apto;
  };
  for (const Expected& e :
       {Expected{*FindProfile("TJ-MG"), g.tjmg, g.aptoTjmg}, Expected{*FindProfile("PC-MG"), g.pcmg, g.aptoPcmg},
        Expected{*FindProfile("PC-ES"), g.pces, g.aptoPces}, Expected{*FindProfile("TJ-SP"), g.tjsp, g.aptoTjsp},
        Expected{FreeProfile(5, 1400), g.livre, g.aptoLivre}}) {
    SCOPED_TRACE(std::string(e.profile.name));
    const ExamResult r = Score(e.profile, Model, f.typed);
    EXPECT_EQ(r.grade, e.grade);
    EXPECT_EQ(r.apto, e.apto);
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ExamFixtureTest, testing::ValuesIn(Fixtures()), [](const auto& info) {
  std::string name;
  for (const char* c = info.param.name; *c; ++c) name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
  return name;
});

TEST(ExamErrors, AreMarkedAtTheirPlaceInTheModel) {
  const ExamResult r = Score(*FindProfile("TJ-MG"), Model, Replaced(U"servidor", U"sevridor"));
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0].kind, ErrorKind::Swapped);
  EXPECT_EQ(r.errors[0].line, 2u);
  EXPECT_EQ(r.errors[0].column, 26u);
  EXPECT_EQ(r.errors[0].expected, U"rv");
  EXPECT_EQ(r.errors[0].got, U"vr");
}

TEST(ExamErrors, MoreErrorsThanStrokesLeaveNoNegativeScore) {
  const ExamResult r = Score(*FindProfile("PC-ES"), U"abc", U"xyzxyzxyz");
  EXPECT_EQ(r.toquesLiquidos, 0);
  EXPECT_FALSE(r.apto);
}

TEST(ExamProfiles, AreNamedInTheStyleOfABoardAndVersioned) {
  ASSERT_EQ(Profiles().size(), 5u);
  for (const Profile& p : Profiles()) {
    SCOPED_TRACE(std::string(p.name));
    EXPECT_GE(p.version, 1);
    EXPECT_EQ(FindProfile(p.name), &p);
    EXPECT_EQ(std::string(p.style).find("oficial"), std::string::npos);
    EXPECT_EQ(std::string(p.source).find("oficial"), std::string::npos);
  }
  EXPECT_EQ(FindProfile("tj-mg"), &Profiles()[0]);
  EXPECT_EQ(FindProfile("TJ-RJ"), nullptr);
}

}  // namespace
}  // namespace tecladim::exam
