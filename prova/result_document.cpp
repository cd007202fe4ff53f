#include "prova/result_document.h"

#include <QPrinter>
#include <QTextDocument>

#include "exam/result_sheet.h"
#include "exercise/number_text.h"
#include "history/utf8.h"

namespace tecladim::prova {
namespace {

QString Q(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
QString Number(std::int64_t value) { return QString::fromStdU16String(FixedPointText(value, 0)); }

// The mark under an error's column: one ASCII character, so the columns stay aligned.
QChar MarkOf(exam::ErrorKind kind) {
  switch (kind) {
    case exam::ErrorKind::Extra: return QLatin1Char('+');
    case exam::ErrorKind::Missing: return QLatin1Char('-');
    case exam::ErrorKind::Different: return QLatin1Char('x');
    case exam::ErrorKind::Swapped: return QLatin1Char('~');
    case exam::ErrorKind::LetterCase: return QLatin1Char('A');
    case exam::ErrorKind::Space: return QLatin1Char('_');
  }
  return QLatin1Char(' ');
}

QString Shown(char32_t c) {
  if (c == U'\n') return QStringLiteral("↵");
  if (c == U'\t') return QStringLiteral("→");
  const char32_t one[] = {c};
  return QString::fromUcs4(one, 1).toHtmlEscaped();
}

struct Column {
  QString model, typed;
  QChar mark = QLatin1Char(' ');
  bool error = false, unreached = false;
};

// The aligned texts as rows of three lines: model, typed, marks. A row ends after a line
// break of the model or at AlignedColumns columns.
QString AlignedHtml(const exam::ExamResult& r) {
  std::vector<Column> columns;
  std::size_t e = 0;
  for (const exam::AlignedStep& s : r.steps) {
    const bool isError = s.step != exam::Step::Match && s.step != exam::Step::Unreached;
    const QChar mark = isError ? MarkOf(r.errors[e++].kind) : QLatin1Char(' ');
    const QString gap = QStringLiteral("·");
    switch (s.step) {
      case exam::Step::Match:
      case exam::Step::Substitute:
        columns.push_back({Shown(r.model[s.model]), Shown(r.typed[s.typed]), mark, isError, false});
        break;
      case exam::Step::Insert: columns.push_back({gap, Shown(r.typed[s.typed]), mark, true, false}); break;
      case exam::Step::Delete: columns.push_back({Shown(r.model[s.model]), gap, mark, true, false}); break;
      case exam::Step::Unreached:
        columns.push_back({Shown(r.model[s.model]), QStringLiteral(" "), mark, false, true});
        break;
      case exam::Step::Transpose:
        for (int k = 0; k < 2; ++k)
          columns.push_back({Shown(r.model[s.model + static_cast<std::uint32_t>(k)]),
                             Shown(r.typed[s.typed + static_cast<std::uint32_t>(k)]), mark, true, false});
        break;
    }
  }
  QString html = QStringLiteral("<pre style=\"font-family: 'DejaVu Sans Mono', monospace; font-size: 9pt\">");
  std::size_t start = 0;
  while (start < columns.size()) {
    std::size_t end = start;
    while (end < columns.size() && end - start < AlignedColumns) {
      ++end;
      if (columns[end - 1].model == QStringLiteral("↵")) break;
    }
    QString model, typed, marks;
    for (std::size_t k = start; k < end; ++k) {
      const Column& c = columns[k];
      if (c.unreached) model += QStringLiteral("<span style=\"color:#888\">%1</span>").arg(c.model);
      else model += c.model;
      typed += c.error ? QStringLiteral("<span style=\"background:#f6c6c6\">%1</span>").arg(c.typed) : c.typed;
      marks += c.error ? QStringLiteral("<b style=\"color:#b00\">%1</b>").arg(c.mark) : QStringLiteral(" ");
    }
    html += QStringLiteral("M  ") + model + QStringLiteral("\nD  ") + typed + QStringLiteral("\n   ") + marks +
            QStringLiteral("\n\n");
    start = end;
  }
  html += QStringLiteral("</pre>");
  return html;
}

}  // namespace

QString ResultHtml(const exam::Profile& p, std::string_view textTitle, const exam::ExamResult& r) {
  QString h = QStringLiteral("<h2>Tecladim — Prova simulada: folha de resultado</h2>");
  h += QStringLiteral("<p><b>%1</b>: %2, versão %3. Texto: %4.<br>Regra: %5.<br><small>Fonte da regra: %6.</small></p>")
           .arg(Q(p.name), Q(p.style), Number(p.version), Q(textTitle).toHtmlEscaped(), Q(exam::RuleText(p)),
                Q(p.source));
  h += QStringLiteral("<table cellspacing=0 cellpadding=3 border=1 style=\"border-collapse:collapse\">");
  auto row = [&](const QString& name, const QString& value) {
    h += QStringLiteral("<tr><td>%1</td><td align=right><b>%2</b></td></tr>").arg(name, value);
  };
  row(QStringLiteral("Toques brutos"), Number(r.toquesBrutos));
  row(QStringLiteral("Erros"), Number(r.erros));
  for (std::size_t k = 0; k < exam::ErrorKindCount; ++k)
    row(QStringLiteral("&nbsp;&nbsp;") + Q(exam::ErrorKindName(static_cast<exam::ErrorKind>(k))), Number(r.byKind[k]));
  row(QStringLiteral("Toques líquidos (TL)"), Number(r.toquesLiquidos));
  row(QStringLiteral("Nota"), Q(exam::GradeText(p, r.grade)));
  row(QStringLiteral("Mínimo para apto"), Q(exam::GradeText(p, p.passMark)));
  h += QStringLiteral("</table>");
  h += QStringLiteral("<p style=\"font-size:16pt\"><b style=\"color:%1\">%2</b></p>")
           .arg(r.apto ? QStringLiteral("#060") : QStringLiteral("#a00"), Q(exam::VerdictText(r.apto)));
  if (r.unreached > 0)
    h += QStringLiteral(
             "<p>Texto não alcançado: %1 caracteres do modelo, em cinza abaixo, que não contam como erro.</p>")
             .arg(Number(r.unreached));
  h += QStringLiteral("<h3>Modelo (M) e texto digitado (D), lado a lado</h3>");
  h += QStringLiteral(
      "<p><small>Marcas: + a mais, - a menos, x diferente, ~ inversão, A maiúscula/minúscula, _ espaço; "
      "· onde um texto não tem caractere; ↵ quebra de linha.</small></p>");
  h += AlignedHtml(r);
  if (!r.errors.empty()) {
    h += QStringLiteral("<h3>Erros, com o lugar no modelo</h3><p>");
    for (const exam::MarkedError& e : r.errors) h += Q(exam::ErrorLineText(e)).toHtmlEscaped() + QStringLiteral("<br>");
    h += QStringLiteral("</p>");
  }
  h += QStringLiteral("<p><small>%1</small></p>").arg(Q(exam::CountingRuleText(p)));
  h += QStringLiteral("<p><b>%1</b></p>").arg(Q(exam::PracticeNotice));
  return h;
}

void PrintResult(const QString& html, QPrinter& printer) {
  QTextDocument document;
  document.setHtml(html);
  document.print(&printer);
}

}  // namespace tecladim::prova
