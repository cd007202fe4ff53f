#include "turma/report_window.h"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QSaveFile>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QToolBar>
#include <QVBoxLayout>

#include <set>

#include "classroom/csv.h"
#include "turma/application.h"
#include "turma/class_goals.h"
#include "turma/class_rows.h"
#include "turma/class_table_model.h"
#include "turma/exam_results_page.h"
#include "turma/exercise_table_model.h"
#include "turma/exports.h"
#include "turma/frozen_column_table.h"
#include "turma/keys_page.h"
#include "turma/load_errors.h"
#include "turma/print_dialog.h"
#include "turma/report_charts.h"
#include "turma/report_document.h"
#include "turma/student_list_view.h"
#include "turma/summary_lines.h"

namespace tecladim::turma {
namespace {

const QString WindowTitle = ReportTitle(ReportView::Class);
const QString LastFoldersKey = QStringLiteral("pastas");
const QString RecentFoldersKey = QStringLiteral("pastasRecentes");
const QString InactiveDaysKey = QStringLiteral("diasSemAtividade");
const QString GeometryKey = QStringLiteral("janela");
// The first start's size where the screen allows it, and room kept for a window manager's
// title bar and borders, which are not known before the window is shown.
constexpr QSize PreferredSize(1280, 760);
constexpr QSize FrameAllowance(16, 40);
constexpr int RecentFolderCount = 8;
constexpr int DefaultInactiveDays = 7;
constexpr int MaxInactiveDays = 365;
// Changes on disk come in bursts (a save is a write and a rename): read once they settle.
constexpr int ReloadDelayMs = 1500;
// Rows of the class chart: each student gets this many pixels.
constexpr int BarPixels = 26;
constexpr int ChartMinimumHeight = 420;
constexpr int SituationWidth = 330;

QSettings Settings() { return QSettings(QStringLiteral("Tecladim"), QStringLiteral("tecladim-turma")); }

template <typename Table = QTableView>
Table* NewTable(QAbstractItemModel* model, QWidget* parent) {
  auto* table = new Table(parent);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setAlternatingRowColors(true);
  table->verticalHeader()->hide();
  table->horizontalHeader()->setHighlightSections(false);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setWordWrap(false);
  table->setModel(model);
  return table;
}

QChartView* NewChartView(QWidget* parent) {
  auto* view = new QChartView(parent);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(360, 300);
  return view;
}

}  // namespace

ReportWindow::ReportWindow(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(WindowTitle);
  setWindowIcon(QIcon::fromTheme(QStringLiteral("tecladim-turma")));
  tabs_ = new QTabWidget(this);
  setCentralWidget(tabs_);
  CreateActions();
  CreateToolBar();
  CreateClassTab();
  CreateStudentTab();
  CreateChartTab();
  keysPage_ = new KeysPage(&keyReading_, tabs_);
  tabs_->addTab(keysPage_, QStringLiteral("Teclas"));
  connect(studentBox_, &QComboBox::currentIndexChanged, this,
          [this] { keysPage_->SelectStudent(studentBox_->currentText()); });
  examPage_ = new ExamResultsPage(tabs_);
  tabs_->addTab(examPage_, QStringLiteral("Simulados"));
  CreateStatusBar();
  connect(&keyReading_, &KeyStatsReading::Progress, this, &ReportWindow::ShowKeyReading);
  connect(&keyReading_, &KeyStatsReading::Read, this, [this] {
    if (!Loading()) progress_->hide();
  });
  ReadSettings();
  reloadTimer_.setSingleShot(true);
  reloadTimer_.setInterval(ReloadDelayMs);
  connect(&reloadTimer_, &QTimer::timeout, this, &ReportWindow::Reload);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this] { reloadTimer_.start(); });
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { reloadTimer_.start(); });
  pollTimer_.setInterval(FolderPollIntervalMs);
  connect(&pollTimer_, &QTimer::timeout, this, [this] {
    if (!Loading() && poll_.Changed()) reloadTimer_.start();
  });
  pollTimer_.start();
  Refresh();
}

ReportWindow::~ReportWindow() {
  keysPage_->ClassLeaving();
  if (loader_) {
    cancel_->store(true);
    loader_->wait();
  }
}

void ReportWindow::CreateActions() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&Arquivo"));
  QAction* open = file->addAction(QIcon::fromTheme(QStringLiteral("folder-open")),
                                  QStringLiteral("&Abrir pasta da turma..."), this, &ReportWindow::ChooseFolders);
  open->setShortcut(QKeySequence::Open);
  open->setObjectName(QStringLiteral("abrirPasta"));
  recentMenu_ = file->addMenu(QStringLiteral("Pastas &recentes"));
  QAction* reload = file->addAction(QIcon::fromTheme(QStringLiteral("view-refresh")), QStringLiteral("&Recarregar"),
                                    this, &ReportWindow::Reload);
  reload->setShortcut(QKeySequence::Refresh);
  reload->setObjectName(QStringLiteral("recarregar"));
  file->addSeparator();
  QAction* print = file->addAction(QIcon::fromTheme(QStringLiteral("document-print")), QStringLiteral("&Imprimir..."),
                                   this, &ReportWindow::PrintReport);
  print->setShortcut(QKeySequence::Print);
  print->setObjectName(QStringLiteral("imprimir"));
  QAction* pdf = file->addAction(QIcon::fromTheme(QStringLiteral("application-pdf")),
                                 QStringLiteral("Exportar &PDF..."), this, &ReportWindow::ExportPdf);
  pdf->setObjectName(QStringLiteral("exportarPdf"));
  QAction* csv = file->addAction(QIcon::fromTheme(QStringLiteral("x-office-spreadsheet")),
                                 QStringLiteral("Exportar &CSV..."), this, &ReportWindow::ExportCsv);
  csv->setObjectName(QStringLiteral("exportarCsv"));
  file->addSeparator();
  file->addAction(QStringLiteral("&Sair"), this, &QWidget::close)->setShortcut(QKeySequence::Quit);

  QToolBar* bar = addToolBar(QStringLiteral("Ações"));
  bar->setObjectName(QStringLiteral("acoes"));
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  bar->setMovable(false);
  for (QAction* a : {open, reload, print, pdf, csv}) bar->addAction(a);
}

void ReportWindow::CreateToolBar() {
  addToolBarBreak();
  QToolBar* bar = addToolBar(QStringLiteral("Filtro"));
  bar->setObjectName(QStringLiteral("filtro"));
  bar->setMovable(false);
  AddPeriodFilter(bar);
  bar->addSeparator();
  bar->addWidget(new QLabel(QStringLiteral(" Procurar aluno: "), bar));
  filterEdit_ = new QLineEdit(bar);
  filterEdit_->setObjectName(QStringLiteral("procurarAluno"));
  filterEdit_->setPlaceholderText(QStringLiteral("nome ou pasta"));
  filterEdit_->setClearButtonEnabled(true);
  filterEdit_->setMaximumWidth(220);
  bar->addWidget(filterEdit_);
  bar->addSeparator();
  bar->addWidget(new QLabel(QStringLiteral(" Marcar sem atividade há "), bar));
  inactiveDays_ = new QSpinBox(bar);
  inactiveDays_->setRange(1, MaxInactiveDays);
  inactiveDays_->setValue(DefaultInactiveDays);
  inactiveDays_->setSuffix(QStringLiteral(" dias"));
  bar->addWidget(inactiveDays_);
  goals_ = new ClassGoalsEditor(bar);

  connect(goals_, &ClassGoalsEditor::Changed, this, &ReportWindow::Refresh);
  connect(inactiveDays_, &QSpinBox::valueChanged, this, [this](int days) {
    Settings().setValue(InactiveDaysKey, days);
    Refresh();
  });
}

void ReportWindow::AddPeriodFilter(QToolBar* bar) {
  bar->addWidget(new QLabel(QStringLiteral(" Período: "), bar));
  periodBox_ = new QComboBox(bar);
  periodBox_->addItems({QStringLiteral("Tudo"), QStringLiteral("Esta semana"), QStringLiteral("Este mês"),
                        QStringLiteral("Intervalo")});
  bar->addWidget(periodBox_);
  bar->addWidget(new QLabel(QStringLiteral("  de "), bar));
  fromEdit_ = new QDateEdit(QDate::currentDate().addDays(-30), bar);
  toEdit_ = new QDateEdit(QDate::currentDate(), bar);
  for (QDateEdit* e : {fromEdit_, toEdit_}) {
    e->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    e->setCalendarPopup(true);
    e->setEnabled(false);
  }
  bar->addWidget(fromEdit_);
  bar->addWidget(new QLabel(QStringLiteral(" até "), bar));
  bar->addWidget(toEdit_);
  connect(periodBox_, &QComboBox::currentIndexChanged, this, &ReportWindow::PeriodChanged);
  connect(fromEdit_, &QDateEdit::dateChanged, this, &ReportWindow::Refresh);
  connect(toEdit_, &QDateEdit::dateChanged, this, &ReportWindow::Refresh);
}

void ReportWindow::CreateClassTab() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  classSummary_ = new QLabel(page);
  classSummary_->setObjectName(QStringLiteral("resumoTurma"));
  classSummary_->setWordWrap(true);
  classSummary_->setTextFormat(Qt::RichText);
  layout->addWidget(classSummary_);
  classModel_ = new ClassTableModel(this);
  classRows_ = new ClassRows(this);
  classRows_->setSourceModel(classModel_);
  // The name stays at the left edge while the figures scroll sideways.
  classTable_ = NewTable<FrozenColumnTable>(classRows_, page);
  classTable_->setObjectName(QStringLiteral("tabelaTurma"));
  classTable_->setSortingEnabled(true);
  classTable_->sortByColumn(ClassTableModel::Aluno, Qt::AscendingOrder);
  classTable_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(classTable_, 1);
  tabs_->addTab(page, QStringLiteral("Turma"));

  connect(filterEdit_, &QLineEdit::textChanged, classRows_, &ClassRows::SetNameFilter);
  connect(classTable_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    const auto* student = classModel_->StudentAt(classRows_->mapToSource(index).row());
    if (!student || student->Failed()) return;
    ShowStudent(Text(student->aluno));
    ShowTab(StudentTab);
  });
}

void ReportWindow::CreateStudentTab() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Aluno:"), page));
  studentBox_ = new QComboBox(page);
  studentBox_->setView(new StudentListView(studentBox_));
  studentBox_->setMinimumWidth(280);
  studentBox_->setObjectName(QStringLiteral("aluno"));
  top->addWidget(studentBox_);
  top->addStretch(1);
  AddStudentSheetActions(top);
  layout->addLayout(top);
  studentSummary_ = new QLabel(page);
  studentSummary_->setWordWrap(true);
  studentSummary_->setTextFormat(Qt::RichText);
  layout->addWidget(studentSummary_);

  auto* split = new QSplitter(Qt::Vertical, page);
  auto* charts = new QSplitter(Qt::Horizontal, split);
  progressView_ = NewChartView(charts);
  lessonsView_ = NewChartView(charts);
  exerciseModel_ = new ExerciseTableModel(this);
  QTableView* exercises = NewTable(exerciseModel_, split);
  exercises->setObjectName(QStringLiteral("tabelaExercicios"));
  exercises->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  exercises->horizontalHeader()->setSectionResizeMode(ExerciseTableModel::Data, QHeaderView::ResizeToContents);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  layout->addWidget(split, 1);
  tabs_->addTab(page, QStringLiteral("Aluno"));
  connect(studentBox_, &QComboBox::currentIndexChanged, this, &ReportWindow::RefreshStudent);
}

void ReportWindow::CreateChartTab() {
  auto* scroll = new QScrollArea(tabs_);
  scroll->setWidgetResizable(true);
  auto* page = new QWidget(scroll);
  auto* layout = new QHBoxLayout(page);
  classLessonsView_ = NewChartView(page);
  classTlView_ = NewChartView(page);
  layout->addWidget(classLessonsView_);
  layout->addWidget(classTlView_);
  scroll->setWidget(page);
  tabs_->addTab(scroll, QStringLiteral("Gráfico da turma"));
  connect(tabs_, &QTabWidget::currentChanged, this, &ReportWindow::RefreshClassCharts);
}

void ReportWindow::CreateStatusBar() {
  statusText_ = new QLabel(statusBar());
  statusBar()->addWidget(statusText_, 1);
  progress_ = new QProgressBar(statusBar());
  progress_->setMinimumWidth(220);
  progress_->setMaximumWidth(260);
  progress_->hide();
  statusBar()->addPermanentWidget(progress_);
}

void ReportWindow::ReadSettings() {
  QSettings settings = Settings();
  inactiveDays_->setValue(settings.value(InactiveDaysKey, DefaultInactiveDays).toInt());
  UpdateRecentMenu();
  PlaceOnScreen(settings.value(GeometryKey).toByteArray());
}

// The size, place and maximized state of the last close; the first time, the preferred size
// where the screen has room for it with its frame, centred on the available area.
void ReportWindow::PlaceOnScreen(const QByteArray& saved) {
  if (!saved.isEmpty() && restoreGeometry(saved)) return;
  const QRect available = screen()->availableGeometry();
  resize(PreferredSize.boundedTo(available.size() - FrameAllowance));
  move(available.topLeft() + QPoint((available.width() - width() - FrameAllowance.width()) / 2,
                                    (available.height() - height() - FrameAllowance.height()) / 2));
}

void ReportWindow::closeEvent(QCloseEvent* event) {
  Settings().setValue(GeometryKey, saveGeometry());
  QMainWindow::closeEvent(event);
}

void ReportWindow::UpdateRecentMenu() {
  recentMenu_->clear();
  const QStringList recent = Settings().value(RecentFoldersKey).toStringList();
  for (const QString& folder : recent) {
    recentMenu_->addAction(folder, this, [this, folder] { OpenFolders({folder}); });
  }
  recentMenu_->setEnabled(!recent.isEmpty());
}

void ReportWindow::ChooseFolders() {
  const QString start = folders_.isEmpty() ? QString() : folders_.first();
  const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Abrir pasta da turma"), start);
  if (!folder.isEmpty()) OpenFolders({folder});
}

void ReportWindow::OpenFolders(const QStringList& opened) {
  // Remembered as absolute paths: a relative one would name another folder at the next start.
  QStringList folders;
  for (const QString& f : opened) folders << QDir::cleanPath(QFileInfo(f).absoluteFilePath());
  folders_ = folders;
  goals_->ShowFolders(folders);
  QSettings settings = Settings();
  settings.setValue(LastFoldersKey, folders);
  QStringList recent = settings.value(RecentFoldersKey).toStringList();
  for (const QString& f : folders) {
    recent.removeAll(f);
    recent.prepend(f);
  }
  while (recent.size() > RecentFolderCount) recent.removeLast();
  settings.setValue(RecentFoldersKey, recent);
  UpdateRecentMenu();
  StartLoading();
}

void ReportWindow::OpenLastFolders() {
  const QStringList last = Settings().value(LastFoldersKey).toStringList();
  if (!last.isEmpty()) OpenFolders(last);
}

void ReportWindow::OpenOwnHistory(const QString& folder) {
  setWindowTitle(ReportTitle(ReportView::Own));
  ownHistory_ = true;
  folders_ = {folder};
  connect(this, &ReportWindow::ClassShown, this, [this] { keysPage_->SelectStudent(studentBox_->currentText()); });
  ShowTab(KeysTab);
  StartLoading();
}

void ReportWindow::Reload() {
  if (!folders_.isEmpty()) StartLoading();
}

void ReportWindow::StartLoading() {
  if (loader_) {
    reloadAgain_ = true;
    return;
  }
  statusText_->setText(QStringLiteral("Procurando os históricos em %1...").arg(folders_.join(QStringLiteral("; "))));
  progress_->setFormat(QStringLiteral("Lendo %v de %m históricos"));
  progress_->setRange(0, 0);
  progress_->show();
  cancel_ = std::make_shared<std::atomic<bool>>(false);
  auto result = std::make_shared<ClassData>();
  const QStringList folders = folders_;
  // Progress is posted to the window at most about a hundred times, whatever the class size.
  auto progress = [this](std::size_t done, std::size_t total) {
    const std::size_t step = std::max<std::size_t>(1, total / 100);
    if (done % step != 0 && done != total) return;
    QMetaObject::invokeMethod(
        progress_,
        [this, done, total] {
          progress_->setRange(0, static_cast<int>(total));
          progress_->setValue(static_cast<int>(done));
        },
        Qt::QueuedConnection);
  };
  loader_ = QThread::create([folders, result, progress, cancel = cancel_, own = ownHistory_] {
    *result = own ? LoadOwnHistory(folders.first()) : LoadClassData(folders, progress, cancel.get());
  });
  connect(loader_, &QThread::finished, this, [this, result] {
    loader_->deleteLater();
    loader_ = nullptr;
    FinishLoading(std::move(*result));
    if (reloadAgain_) {
      reloadAgain_ = false;
      StartLoading();
    }
  });
  loader_->start();
}

void ReportWindow::FinishLoading(ClassData data) {
  const QString selected = studentBox_->currentText();
  keysPage_->ClassLeaving();
  classroom::KeepKeyStats(data.students, data_.students);  // only the key files written since are read again
  data_ = std::move(data);
  keyReading_.ClassReplaced();
  progress_->hide();
  studentBox_->blockSignals(true);
  studentBox_->clear();
  for (const auto& s : data_.students)
    if (!s.Failed()) studentBox_->addItem(Text(s.aluno));
  const int keep = studentBox_->findText(selected);
  studentBox_->setCurrentIndex(keep >= 0 ? keep : 0);
  studentBox_->blockSignals(false);
  WatchFolders();
  Refresh();
  std::size_t failed = 0;
  for (const auto& s : data_.students) failed += s.Failed() ? 1 : 0;
  const std::size_t read = data_.students.size() - failed;
  QString status = (read == 1 ? QStringLiteral("%1 histórico lido às %2") : QStringLiteral("%1 históricos lidos às %2"))
                       .arg(read)
                       .arg(data_.loadedAt.toString(QStringLiteral("HH:mm:ss")));
  if (failed) status += QStringLiteral("; ") + UnreadableCountText(failed);
  statusText_->setText(status);
  emit ClassShown();
}

// The opened folders, every student's folder and file: a new or rewritten history shows
// without a click on "Recarregar".
void ReportWindow::WatchFolders() {
  if (!watcher_.files().isEmpty()) watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty()) watcher_.removePaths(watcher_.directories());
  QStringList paths = folders_;
  std::set<QString> folders;
  std::vector<std::filesystem::path> opened;
  for (const QString& f : folders_) opened.push_back(std::filesystem::absolute(PathOf(f)).lexically_normal());
  auto inOpened = [&](const std::filesystem::path& p) {
    for (const auto& o : opened) {
      const auto relative = p.lexically_relative(o);
      if (!relative.empty() && *relative.begin() != "..") return true;
    }
    return false;
  };
  // Every folder from the opened one down to each student's: a new student's folder may
  // appear at any depth.
  std::vector<std::filesystem::path> files;
  for (const auto& s : data_.students) files.push_back(s.file);
  for (const auto& r : data_.results) files.push_back(r.file);
  for (const auto& file : files) {
    paths << PathText(file);
    for (auto p = std::filesystem::absolute(file).lexically_normal().parent_path();
         inOpened(p) && folders.insert(PathText(p)).second; p = p.parent_path()) {
    }
  }
  for (const QString& f : folders) paths << f;
  paths.removeDuplicates();
  if (!paths.isEmpty()) watcher_.addPaths(paths);
  poll_.Watch(paths);
}

classroom::Period ReportWindow::CurrentPeriod() const {
  const Stamp today = ToStamp(QDateTime::currentDateTime());
  switch (static_cast<PeriodChoice>(periodBox_->currentIndex())) {
    case PeriodChoice::ThisWeek:
      return classroom::ThisWeek(today, QLocale(QLocale::Portuguese, QLocale::Brazil).firstDayOfWeek() == Qt::Monday
                                            ? classroom::WeekStart::Monday
                                            : classroom::WeekStart::Sunday);
    case PeriodChoice::ThisMonth: return classroom::ThisMonth(today);
    case PeriodChoice::Range: {
      const QDate from = fromEdit_->date(), to = toEdit_->date();
      return classroom::DateRange({from.year(), static_cast<unsigned>(from.month()), static_cast<unsigned>(from.day())},
                                  {to.year(), static_cast<unsigned>(to.month()), static_cast<unsigned>(to.day())});
    }
    case PeriodChoice::Everything: break;
  }
  return {};
}

QString ReportWindow::PeriodText() const {
  if (static_cast<PeriodChoice>(periodBox_->currentIndex()) != PeriodChoice::Range) return periodBox_->currentText();
  return QStringLiteral("%1 a %2").arg(fromEdit_->date().toString(QStringLiteral("dd/MM/yyyy")),
                                       toEdit_->date().toString(QStringLiteral("dd/MM/yyyy")));
}

void ReportWindow::SetPeriod(PeriodChoice choice, QDate from, QDate to) {
  if (from.isValid()) fromEdit_->setDate(from);
  if (to.isValid()) toEdit_->setDate(to);
  periodBox_->setCurrentIndex(static_cast<int>(choice));
  Refresh();
}

void ReportWindow::PeriodChanged() {
  const bool range = static_cast<PeriodChoice>(periodBox_->currentIndex()) == PeriodChoice::Range;
  fromEdit_->setEnabled(range);
  toEdit_->setEnabled(range);
  Refresh();
}

void ReportWindow::ShowStudent(const QString& aluno) {
  const int index = studentBox_->findText(aluno);
  if (index >= 0) studentBox_->setCurrentIndex(index);
  if (index >= 0) keysPage_->SelectStudent(aluno);
}

void ReportWindow::ShowTab(Tab tab) { tabs_->setCurrentIndex(tab); }

void ReportWindow::Refresh() {
  const classroom::Period period = CurrentPeriod();
  const QDateTime now = QDateTime::currentDateTime();
  classModel_->Show(&data_, period, ToStamp(now), inactiveDays_->value(), Goals());
  for (int c = 0; c < ClassTableModel::Situacao; ++c) classTable_->resizeColumnToContents(c);
  // The reader's error texts can be long: the tooltip shows them whole.
  classTable_->setColumnWidth(ClassTableModel::Situacao, SituationWidth);

  summaries_ = classModel_->Summaries();
  classChartsStale_ = true;
  QString text;
  if (data_.folders.isEmpty()) {
    text = QStringLiteral("Abra a pasta da turma (<b>Arquivo › Abrir pasta da turma</b>): cada <i>Exercicio.xml</i> "
                          "dentro dela, em qualquer subpasta, é um aluno.");
  } else {
    text = SummaryHtml(SummaryLines(data_, summaries_, PeriodText(), Goals()));
  }
  classSummary_->setText(text);
  examPage_->Show(data_, period, PeriodText());
  keysPage_->Show(&data_, period, PeriodText());
  RefreshStudent();
  RefreshClassCharts();
}

const classroom::Student* ReportWindow::SelectedStudent() const {
  const QString aluno = studentBox_->currentText();
  for (const auto& s : data_.students)
    if (!s.Failed() && Text(s.aluno) == aluno) return &s;
  return nullptr;
}

void ReportWindow::RefreshStudent() {
  const classroom::Student* student = SelectedStudent();
  std::vector<classroom::ExerciseRecord> records;
  if (student) records = classroom::InPeriod(*student, CurrentPeriod());
  const classroom::StudentSummary s = classroom::Summarize(records, Goals().precisao);
  if (student) {
    studentSummary_->setText(QStringLiteral("<b>%1</b><br>").arg(Text(student->aluno).toHtmlEscaped()) +
                             SummaryHtml(SummaryLines(s, Goals())));
  } else {
    studentSummary_->setText(QStringLiteral("Nenhum aluno."));
  }
  ReplaceChart(progressView_, ProgressChart(records));
  ReplaceChart(lessonsView_, LessonsChart(records));
  exerciseModel_->Show(std::move(records));
}

void ReportWindow::RefreshClassCharts() {
  if (!classChartsStale_ || tabs_->currentIndex() != ChartTab) return;
  classChartsStale_ = false;
  const ClassBars bars = MakeClassBars(data_.students, summaries_);
  ReplaceChart(classLessonsView_, ClassLessonsChart(bars.lessons));
  ReplaceChart(classTlView_, ClassTlChart(bars.tl, ClassTlScale(bars.tl)));
  const int height = std::max(ChartMinimumHeight, 120 + BarPixels * static_cast<int>(bars.tl.size()));
  classLessonsView_->setMinimumHeight(height);
  classTlView_->setMinimumHeight(height);
}

void ReportWindow::ReplaceChart(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
}

// The class's key statistics are read first, off the window's thread, into the class itself.
void ReportWindow::PrintReport() {
  auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
  printer->setDocName(WindowTitle);
  if (!AskToPrint(*printer, QStringLiteral("Imprimir relatório da turma"), this)) return;
  const ReportOptions options{CurrentPeriod(), PeriodText(), QDateTime::currentDateTime(), inactiveDays_->value(),
                              Goals()};
  keyReading_.WhenRead([this, printer, options] {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    PaintReport(*printer, data_, options);
    QApplication::restoreOverrideCursor();
  });
}

void ReportWindow::ShowKeyReading(int done, int total) {
  if (Loading()) return;  // the class's own progress
  progress_->setFormat(QStringLiteral("Teclas: %v de %m alunos"));
  progress_->setRange(0, std::max(1, total));
  progress_->setValue(done);
  progress_->show();
}

void ReportWindow::ExportPdf() {
  const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Exportar PDF"),
                                                    QStringLiteral("relatorio-turma.pdf"),
                                                    QStringLiteral("Documentos PDF (*.pdf)"));
  if (name.isEmpty() || RefusedExport(name)) return;
  const ReportOptions options{CurrentPeriod(), PeriodText(), QDateTime::currentDateTime(), inactiveDays_->value(),
                              Goals()};
  keyReading_.WhenRead([this, name, options] {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = WriteReportPdf(name, data_, options);
    QApplication::restoreOverrideCursor();
    if (!written) QMessageBox::warning(this, windowTitle(), QStringLiteral("Não foi possível gravar %1.").arg(name));
  });
}

void ReportWindow::ExportCsv() {
  const QString name = QFileDialog::getSaveFileName(this, QStringLiteral("Exportar CSV"), QStringLiteral("turma.csv"),
                                                    QStringLiteral("Planilhas CSV (*.csv)"));
  if (name.isEmpty() || RefusedExport(name)) return;
  if (!WriteWhole(name, classroom::ClassCsv(data_.students, CurrentPeriod())))
    QMessageBox::warning(this, windowTitle(), QStringLiteral("Não foi possível gravar %1.").arg(name));
}

// An export over a student's history is refused with the reason; nothing is written.
bool ReportWindow::RefusedExport(const QString& name) {
  const QString refused = RefusedOutputText(name, data_);
  if (refused.isEmpty()) return false;
  QMessageBox::warning(this, windowTitle(), refused);
  return true;
}

}  // namespace tecladim::turma
