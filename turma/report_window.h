#pragma once
#include <QFileSystemWatcher>
#include <QMainWindow>
#include <QTimer>

#include <atomic>
#include <memory>

#include "classroom/class_report.h"
#include "turma/class_data.h"
#include "turma/folder_poll.h"
#include "turma/key_stats_reading.h"

class QChart;
class QChartView;
class QComboBox;
class QBoxLayout;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QSpinBox;
class QTabWidget;
class QTableView;
class QThread;
class QToolBar;

namespace tecladim::turma {

class ClassGoalsEditor;
class ClassRows;
class ClassTableModel;
class ExamResultsPage;
class ExerciseTableModel;
class KeysPage;

// "Tecladim — Relatório da turma": the class table, one student's progress, the class
// chart, a period every view and export follows, print and export. Loading runs on a
// thread of its own; the window shows the class as soon as it is read.
class ReportWindow : public QMainWindow {
  Q_OBJECT
 public:
  enum Tab { ClassTab, StudentTab, ChartTab, KeysTab, ExamTab };
  enum class PeriodChoice { Everything, ThisWeek, ThisMonth, Range };

  explicit ReportWindow(QWidget* parent = nullptr);
  ~ReportWindow() override;

  // Reads the folders (remembered for the next start) and shows them.
  void OpenFolders(const QStringList& folders);
  // Opens the folders remembered from the last run, if any.
  void OpenLastFolders();
  // A student's own report: the history in `folder` alone, its keys shown.
  void OpenOwnHistory(const QString& folder);
  void Reload();

  void SetPeriod(PeriodChoice choice, QDate from = {}, QDate to = {});
  void ShowStudent(const QString& aluno);
  void ShowTab(Tab tab);

  const ClassData& Class() const { return data_; }
  bool Loading() const { return loader_ != nullptr; }
  QTableView* ClassTable() const { return classTable_; }
  ClassRows* Rows() const { return classRows_; }
  KeysPage* Keys() const { return keysPage_; }
  classroom::Period CurrentPeriod() const;
  QString PeriodText() const;
  // The class's goals, remembered for the opened folders.
  classroom::ClassGoals Goals() const;
  void SetGoals(const classroom::ClassGoals& goals);
  // "Ficha do aluno" of the student shown, one page; "" when written, else why not.
  QString ExportStudentSheetTo(const QString& fileName);

 signals:
  // After every load, once the views show it.
  void ClassShown();

 private:
  void CreateActions();
  void CreateToolBar();
  void AddPeriodFilter(QToolBar* bar);
  void CreateClassTab();
  void CreateStudentTab();
  void CreateChartTab();
  void CreateStatusBar();
  void ReadSettings();
  void PlaceOnScreen(const QByteArray& saved);
  void closeEvent(QCloseEvent* event) override;

  void ChooseFolders();
  void StartLoading();
  void FinishLoading(ClassData data);
  void WatchFolders();
  void UpdateRecentMenu();
  void Refresh();
  void RefreshStudent();
  void RefreshClassCharts();
  void ReplaceChart(QChartView* view, QChart* chart);
  const classroom::Student* SelectedStudent() const;
  void PeriodChanged();

  void PrintReport();
  bool RefusedExport(const QString& name);
  void ExportPdf();
  void ShowKeyReading(int done, int total);
  void ExportCsv();
  void AddStudentSheetActions(QBoxLayout* row);

  ClassData data_;
  KeyStatsReading keyReading_{&data_};  // before the views that show it, after the class it reads
  QStringList folders_;

  QTabWidget* tabs_ = nullptr;
  QComboBox* periodBox_ = nullptr;
  QDateEdit* fromEdit_ = nullptr;
  QDateEdit* toEdit_ = nullptr;
  QLineEdit* filterEdit_ = nullptr;
  QSpinBox* inactiveDays_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  ClassGoalsEditor* goals_ = nullptr;

  ClassTableModel* classModel_ = nullptr;
  ClassRows* classRows_ = nullptr;
  QTableView* classTable_ = nullptr;
  QLabel* classSummary_ = nullptr;

  QComboBox* studentBox_ = nullptr;
  QLabel* studentSummary_ = nullptr;
  QChartView* progressView_ = nullptr;
  QChartView* lessonsView_ = nullptr;
  ExerciseTableModel* exerciseModel_ = nullptr;

  QChartView* classLessonsView_ = nullptr;
  QChartView* classTlView_ = nullptr;
  KeysPage* keysPage_ = nullptr;
  bool ownHistory_ = false;

  ExamResultsPage* examPage_ = nullptr;

  QProgressBar* progress_ = nullptr;
  QLabel* statusText_ = nullptr;

  QFileSystemWatcher watcher_;
  FolderPoll poll_;  // what the watch misses on network shares
  QTimer pollTimer_;
  QTimer reloadTimer_;
  QThread* loader_ = nullptr;
  std::shared_ptr<std::atomic<bool>> cancel_;
  bool reloadAgain_ = false;
  // The class chart is built when its tab is shown: a thousand bars take a while.
  std::vector<classroom::StudentSummary> summaries_;
  bool classChartsStale_ = true;
};

}  // namespace tecladim::turma
