#include "turma/exam_results_page.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

#include "turma/class_data.h"
#include "turma/exam_results_model.h"

namespace tecladim::turma {

ExamResultsPage::ExamResultsPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("paginaSimulados"));
  auto* layout = new QVBoxLayout(this);
  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("resumoSimulados"));
  summary_->setWordWrap(true);
  summary_->setTextFormat(Qt::RichText);
  layout->addWidget(summary_);
  model_ = new ExamResultsModel(this);
  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("tabelaSimulados"));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setAlternatingRowColors(true);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setHighlightSections(false);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setWordWrap(false);
  table_->setModel(model_);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  table_->horizontalHeader()->setSectionResizeMode(ExamResultsModel::Aluno, QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setSectionResizeMode(ExamResultsModel::Data, QHeaderView::ResizeToContents);
  layout->addWidget(table_, 1);
}

void ExamResultsPage::Show(const ClassData& data, const classroom::Period& period, const QString& periodText) {
  model_->Show(&data, period);
  table_->clearSpans();
  // A file that could not be read tells why across the row.
  for (int row = 0; row < model_->rowCount(); ++row)
    if (model_->FailedAt(row))
      table_->setSpan(row, ExamResultsModel::Perfil, 1, ExamResultsModel::ColumnCount - ExamResultsModel::Perfil);

  QString text;
  if (data.folders.isEmpty()) {
    text = QStringLiteral(
        "Os simulados feitos no <b>Tecladim — Prova simulada</b> aparecem aqui: o <i>Simulados.xml</i> "
        "na pasta de cada aluno.");
  } else if (model_->Tests() == 0) {
    text = QStringLiteral("Nenhum simulado no período (%1).").arg(periodText.toHtmlEscaped());
  } else {
    text = QStringLiteral("<b>%1</b> de %2 no período (%3) · %4 APTO · %5 NÃO APTO")
               .arg(model_->Tests() == 1 ? QStringLiteral("1 simulado")
                                         : QStringLiteral("%1 simulados").arg(model_->Tests()))
               .arg(model_->StudentsWithTests() == 1 ? QStringLiteral("1 aluno")
                                                     : QStringLiteral("%1 alunos").arg(model_->StudentsWithTests()))
               .arg(periodText.toHtmlEscaped())
               .arg(model_->Passed())
               .arg(model_->Tests() - model_->Passed());
  }
  for (const classroom::StudentResults& s : data.results)
    if (s.Failed())
      text += QStringLiteral("<br><span style='color:#aa0000'>%1 (%2): %3</span>")
                  .arg(Text(s.aluno).toHtmlEscaped(), PathText(s.file).toHtmlEscaped(),
                       ResultsFailureText(s).toHtmlEscaped());
  summary_->setText(text);
}

}  // namespace tecladim::turma
