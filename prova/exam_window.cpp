#include "prova/exam_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include "exam/result_record.h"
#include "exam/result_sheet.h"
#include "exam/results_file.h"
#include "exam/texts.h"
#include "exercise/number_text.h"
#include "history/history_file.h"
#include "history/recovery_file.h"
#include "platform/services.h"
#include "prova/exam_typing_box.h"
#include "prova/result_document.h"

namespace tecladim::prova {
namespace {

// As often as the trainer empties the clipboard while an exercise runs.
constexpr int ClipboardWipeMs = 300;
constexpr int WarmUpSeconds = 60;
constexpr int TickMs = 200;

QString Q(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

QString ClockText(int seconds) {
  return QStringLiteral("%1:%2").arg(seconds / 60, 2, 10, QLatin1Char('0')).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// The local date and time, as the results file keeps it.
DateTime ToDateTime(const QDateTime& moment) {
  const QDate date = moment.date();
  const QTime time = moment.time();
  return EncodeDateTime({date.year(), static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day())},
                        {time.hour(), time.minute(), time.second(), time.msec()});
}

QString PathText(const std::filesystem::path& path) { return Q(history::FullPathText(path)); }

QLabel* WrappedLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setWordWrap(true);
  label->setTextFormat(Qt::RichText);
  return label;
}

}  // namespace

ExamWindow::ExamWindow(PlatformServices& platform, QWidget* parent) : QMainWindow(parent), platform_(platform) {
  setWindowTitle(QStringLiteral("Tecladim — Prova simulada"));
  pages_ = new QStackedWidget(this);
  setCentralWidget(pages_);
  BuildChoicePage();
  BuildRulesPage();
  BuildExamPage();
  BuildResultPage();
  tick_ = new QTimer(this);
  tick_->setInterval(TickMs);
  connect(tick_, &QTimer::timeout, this, &ExamWindow::Tick);
  clipboardWipe_ = new QTimer(this);
  clipboardWipe_->setInterval(ClipboardWipeMs);
  connect(clipboardWipe_, &QTimer::timeout, this, [this] {
    try {
      platform_.EmptyClipboard();
    } catch (const std::exception&) {
      // No clipboard in this session: nothing to empty.
    }
  });
  resize(1100, 700);
  ShowChoice();
}

ExamWindow::~ExamWindow() = default;

void ExamWindow::BuildChoicePage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* title =
      new QLabel(QStringLiteral("<h2>Prova simulada de digitação</h2>"
                                "<p>Escolha o perfil da prova e o texto.</p>"));
  layout->addWidget(title);
  auto* form = new QFormLayout;
  profileBox_ = new QComboBox;
  profileBox_->setObjectName(QStringLiteral("profileBox"));
  for (const exam::Profile& p : exam::Profiles())
    profileBox_->addItem(QStringLiteral("%1 — %2").arg(Q(p.name), Q(p.style)));
  form->addRow(QStringLiteral("&Perfil:"), profileBox_);
  textBox_ = new QComboBox;
  textBox_->setObjectName(QStringLiteral("textBox"));
  for (const exam::ExamText& t : exam::ExamTexts())
    textBox_->addItem(QStringLiteral("%1 (%2 caracteres)")
                          .arg(Q(t.title), QString::fromStdU16String(FixedPointText(exam::CharacterCount(t), 0))));
  form->addRow(QStringLiteral("&Texto:"), textBox_);
  freeMinutes_ = new QSpinBox;
  freeMinutes_->setRange(1, 60);
  freeMinutes_->setValue(exam::Profiles().back().minutes);
  freeMinutes_->setSuffix(QStringLiteral(" min"));
  form->addRow(QStringLiteral("Tempo (perfil Livre):"), freeMinutes_);
  freePassMark_ = new QSpinBox;
  freePassMark_->setRange(1, 2000);
  freePassMark_->setValue(static_cast<int>(exam::Profiles().back().passMark / 10));
  freePassMark_->setSuffix(QStringLiteral(" TL por minuto"));
  form->addRow(QStringLiteral("Mínimo (perfil Livre):"), freePassMark_);
  layout->addLayout(form);
  auto followProfile = [this] {
    const exam::Profile& profile = exam::Profiles()[static_cast<std::size_t>(profileBox_->currentIndex())];
    freeMinutes_->setEnabled(profile.chosen);
    freePassMark_->setEnabled(profile.chosen);
    // A board that states its text's length gets a text of about that length.
    textBox_->setCurrentIndex(
        static_cast<int>(exam::TextChoiceFor(profile.textLength, static_cast<std::size_t>(textBox_->currentIndex()))));
  };
  connect(profileBox_, &QComboBox::currentIndexChanged, this, followProfile);
  followProfile();
  auto* next = new QPushButton(QStringLiteral("Ver as &regras"));
  next->setDefault(true);
  next->setAutoDefault(true);
  connect(next, &QPushButton::clicked, this, &ExamWindow::ShowRules);
  layout->addWidget(next, 0, Qt::AlignLeft);
  choiceNote_ = WrappedLabel(page);
  layout->addWidget(choiceNote_);
  layout->addStretch();
  pages_->addWidget(page);
}

void ExamWindow::BuildRulesPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  rulesText_ = WrappedLabel(page);
  layout->addWidget(rulesText_);
  auto* buttons = new QHBoxLayout;
  startButton_ = new QPushButton(QStringLiteral("&Começar a prova"));
  startButton_->setAutoDefault(true);
  auto* warmUp = new QPushButton(QStringLiteral("&Aquecer 1 minuto (não conta)"));
  warmUp->setAutoDefault(true);
  auto* back = new QPushButton(QStringLiteral("&Voltar"));
  back->setAutoDefault(true);
  connect(startButton_, &QPushButton::clicked, this, &ExamWindow::StartExam);
  connect(warmUp, &QPushButton::clicked, this, &ExamWindow::StartWarmUp);
  connect(back, &QPushButton::clicked, this, &ExamWindow::ShowChoice);
  buttons->addWidget(startButton_);
  buttons->addWidget(warmUp);
  buttons->addWidget(back);
  buttons->addStretch();
  layout->addLayout(buttons);
  layout->addStretch();
  pages_->addWidget(page);
}

void ExamWindow::BuildExamPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  examTitle_ = new QLabel;
  countdown_ = new QLabel;
  QFont big = countdown_->font();
  big.setPointSize(big.pointSize() + 6);
  big.setBold(true);
  countdown_->setFont(big);
  top->addWidget(examTitle_, 1);
  top->addWidget(countdown_);
  layout->addLayout(top);
  model_ = new QPlainTextEdit;
  model_->setReadOnly(true);
  model_->setTextInteractionFlags(Qt::NoTextInteraction);  // nothing to select and copy
  model_->setContextMenuPolicy(Qt::NoContextMenu);
  model_->setFocusPolicy(Qt::NoFocus);
  typingBox_ = new ExamTypingBox;
  QFont text = model_->font();
  text.setPointSize(text.pointSize() + 2);
  model_->setFont(text);
  typingBox_->setFont(text);
  layout->addWidget(new QLabel(QStringLiteral("Texto modelo:")));
  layout->addWidget(model_, 1);
  layout->addWidget(new QLabel(QStringLiteral("Digite aqui:")));
  layout->addWidget(typingBox_, 1);
  handInButton_ = new QPushButton(QStringLiteral("&Entregar"));
  handInButton_->setFocusPolicy(Qt::ClickFocus);
  connect(handInButton_, &QPushButton::clicked, this, &ExamWindow::HandIn);
  layout->addWidget(handInButton_, 0, Qt::AlignRight);
  pages_->addWidget(page);
}

void ExamWindow::BuildResultPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  sheet_ = new QTextBrowser;
  layout->addWidget(sheet_, 1);
  saveNote_ = WrappedLabel(page);
  layout->addWidget(saveNote_);
  auto* buttons = new QHBoxLayout;
  auto* print = new QPushButton(QStringLiteral("&Imprimir…"));
  auto* pdf = new QPushButton(QStringLiteral("Exportar &PDF…"));
  auto* again = new QPushButton(QStringLiteral("&Nova prova"));
  connect(print, &QPushButton::clicked, this, &ExamWindow::PrintSheet);
  connect(pdf, &QPushButton::clicked, this, &ExamWindow::ExportPdf);
  connect(again, &QPushButton::clicked, this, &ExamWindow::ShowChoice);
  buttons->addWidget(print);
  buttons->addWidget(pdf);
  buttons->addStretch();
  buttons->addWidget(again);
  layout->addLayout(buttons);
  pages_->addWidget(page);
}

exam::Profile ExamWindow::ChosenProfile() const {
  const exam::Profile& p = exam::Profiles()[static_cast<std::size_t>(profileBox_->currentIndex())];
  if (!p.chosen) return p;
  return exam::FreeProfile(freeMinutes_->value(), static_cast<std::int64_t>(freePassMark_->value()) * 10);
}

void ExamWindow::ShowChoice() {
  tick_->stop();
  clipboardWipe_->stop();
  pages_->setCurrentIndex(0);
  profileBox_->setFocus();
}

void ExamWindow::ShowRules() {
  profile_ = ChosenProfile();
  const exam::ExamText& text = exam::ExamTexts()[static_cast<std::size_t>(textBox_->currentIndex())];
  QString html = QStringLiteral("<h2>Regras da prova</h2>");
  html += QStringLiteral("<p><b>Perfil %1</b> (%2, versão %3). Texto: <b>%4</b>.</p>")
              .arg(Q(profile_.name), Q(profile_.style), QString::number(profile_.version), Q(text.title));
  html += QStringLiteral("<p>Tempo: <b>%1 minutos</b>. %2.</p>").arg(profile_.minutes).arg(Q(exam::RuleText(profile_)));
  html += QStringLiteral(
      "<p>Copie o texto modelo na caixa de baixo. Teclas erradas ficam no texto; pode apagar com Backspace. "
      "Nenhum erro é mostrado enquanto digita, e colar texto não funciona. A prova acaba quando o tempo termina "
      "ou quando você clica em Entregar.</p>");
  html += QStringLiteral("<p>%1</p>").arg(Q(exam::CountingRuleText(profile_)));
  html += QStringLiteral("<p><small>Fonte da regra: %1.</small></p>").arg(Q(profile_.source));
  html += QStringLiteral("<p><b>%1</b></p>").arg(Q(exam::PracticeNotice));
  rulesText_->setText(html);
  pages_->setCurrentIndex(1);
  startButton_->setFocus();
}

void ExamWindow::StartWarmUp() { StartTyping(WarmUpSeconds, true); }

void ExamWindow::StartExam() { StartTyping(profile_.minutes * 60, false); }

void ExamWindow::StartTyping(int seconds, bool warmUp) {
  const exam::ExamText& text = exam::ExamTexts()[static_cast<std::size_t>(textBox_->currentIndex())];
  warmUp_ = warmUp;
  seconds_ = seconds;
  examTitle_->setText(warmUp ? QStringLiteral("<b>Aquecimento</b> — este minuto não conta")
                             : QStringLiteral("<b>Prova %1</b> — %2").arg(Q(profile_.name), Q(text.title)));
  model_->setPlainText(Q(text.text));
  typingBox_->clear();
  typingBox_->setReadOnly(false);
  handInButton_->setText(warmUp ? QStringLiteral("&Parar o aquecimento") : QStringLiteral("&Entregar"));
  pages_->setCurrentIndex(2);
  typingBox_->setFocus();
  elapsed_.start();
  startedAt_ = QDateTime::currentDateTime();
  countdown_->setText(ClockText(seconds_));
  tick_->start();
  clipboardWipe_->start();
  platform_.EmptyClipboard();
}

QString ExamWindow::CountdownText() const { return countdown_->text(); }

void ExamWindow::Tick() {
  const int left = seconds_ - static_cast<int>(elapsed_.elapsed() / 1000);
  countdown_->setText(ClockText(left > 0 ? left : 0));
  if (left <= 0) HandIn();
}

void ExamWindow::HandIn() {
  if (!tick_->isActive()) return;
  tick_->stop();
  clipboardWipe_->stop();
  typingBox_->setReadOnly(true);
  if (warmUp_) {
    ShowRules();
    return;
  }
  ShowResult();
}

void ExamWindow::ShowResult() {
  const exam::ExamText& text = exam::ExamTexts()[static_cast<std::size_t>(textBox_->currentIndex())];
  const std::u32string model = Q(text.text).toStdU32String();
  result_ = exam::Score(profile_, model, typingBox_->toPlainText().toStdU32String());
  sheetHtml_ = ResultHtml(profile_, text.title, result_);
  sheet_->setHtml(sheetHtml_);
  SaveResult(text);
  pages_->setCurrentIndex(3);
}

void ExamWindow::SetResultsFile(exam::ResultsFile* results, const QString& loadError) {
  results_ = results;
  loadError_.clear();
  if (results_ != nullptr && !loadError.isEmpty()) {
    const QString name = PathText(results_->File());
    loadError_ = QStringLiteral(
                     "O arquivo de resultados %1 não pôde ser lido e não será alterado: %2 Os resultados desta "
                     "execução ficam guardados ao lado dele, em %3, e entram nele quando ele voltar a ser lido.")
                     .arg(name, loadError.endsWith(QLatin1Char('.')) ? loadError : loadError + QLatin1Char('.'),
                          PathText(history::RecoveryFileBeside(results_->File())));
  }
  choiceNote_->setText(loadError_.toHtmlEscaped());
}

QString ExamWindow::SaveNoteText() const { return saveNote_->text(); }

// Right after the sheet is shown: a result is never only on the screen.
void ExamWindow::SaveResult(const exam::ExamText& text) {
  if (results_ == nullptr) {
    saveNote_->clear();
    return;
  }
  const std::u32string typed = typingBox_->toPlainText().toStdU32String();
  const QString error = Q(results_->Add(exam::MakeResultRecord(
      profile_, text.id, typed, result_, ToDateTime(startedAt_), ToDateTime(QDateTime::currentDateTime()))));
  QString note;
  if (results_->LoadFailed()) note = loadError_;
  else if (error.isEmpty()) note = QStringLiteral("Resultado gravado em %1.").arg(PathText(results_->File()));
  else
    note = QStringLiteral("O resultado ainda não foi gravado em %1 (%2); ele será gravado ao fechar o programa.")
               .arg(PathText(results_->File()), error);
  saveNote_->setText(note.toHtmlEscaped());
}

SessionEnd ExamWindow::SaveAtEnd() {
  return results_ != nullptr ? results_->SaveAtEnd() : exam::ResultsEnd::Saved;
}

// Nothing keeps the window open: what the file does not take waits in a recovery file.
void ExamWindow::closeEvent(QCloseEvent* event) {
  const exam::ResultsEnd end = SaveAtEnd();
  if (end == exam::ResultsEnd::RecordsKept && !results_->LoadFailed()) {
    QMessageBox::warning(this, windowTitle(),
                         QStringLiteral("Os resultados não puderam ser gravados em %1. Ficaram guardados em %2 e "
                                        "entram nele na próxima vez que o programa abrir.")
                             .arg(PathText(results_->File()), PathText(results_->KeptIn())));
  } else if (end == exam::ResultsEnd::RecordsLost) {
    QMessageBox::critical(this, windowTitle(),
                          QStringLiteral("Os resultados desta execução não puderam ser gravados em %1 nem guardados "
                                         "à parte; a saída de erros diz por quê.")
                              .arg(PathText(results_->File())));
  }
  event->accept();
}

void ExamWindow::PrintSheet() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("Imprimir a folha de resultado"));
  if (dialog.exec() == QDialog::Accepted) PrintResult(sheetHtml_, printer);
}

void ExamWindow::ExportPdf() {
  const QString file =
      QFileDialog::getSaveFileName(this, QStringLiteral("Exportar a folha de resultado"),
                                   QStringLiteral("prova-simulada.pdf"), QStringLiteral("Documentos PDF (*.pdf)"));
  if (file.isEmpty()) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(file);
  PrintResult(sheetHtml_, printer);
}

}  // namespace tecladim::prova
