#pragma once
#include <QDateTime>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>

#include <memory>

#include "exam/profiles.h"
#include "exam/scoring.h"
#include "exam/texts.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTextBrowser;
class QTimer;

namespace tecladim {
class PlatformServices;
enum class SessionEnd;
}
namespace tecladim::exam {
class ResultsFile;
}  // namespace tecladim::exam

// The simulado, one screen after the other: the choice of profile and text, the rules
// (with an optional warm-up minute that is thrown away), the test with its countdown, and
// the result sheet with print and PDF.
namespace tecladim::prova {

class ExamTypingBox;

class ExamWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit ExamWindow(PlatformServices& platform, QWidget* parent = nullptr);
  ~ExamWindow() override;

  // The screens, for the buttons and the tests.
  void ShowChoice();
  void ShowRules();
  void StartWarmUp();
  void StartExam();
  void HandIn();

  // Where each result goes: "Simulados.xml" (none in the tests that do not ask), and the
  // error of its load, told on the choice screen and on every result sheet.
  void SetResultsFile(exam::ResultsFile* results, const QString& loadError);
  // Writes the results not yet in the file, or keeps them in a recovery file: a close, the
  // session's end and the signals call it; once.
  SessionEnd SaveAtEnd();

  const exam::ExamResult& LastResult() const { return result_; }
  QString SaveNoteText() const;
  QString LoadErrorText() const { return loadError_; }
  ExamTypingBox* TypingBox() const { return typingBox_; }
  QString CountdownText() const;

 private:
  void BuildChoicePage();
  void BuildRulesPage();
  void BuildExamPage();
  void BuildResultPage();
  void StartTyping(int seconds, bool warmUp);
  void Tick();
  void ShowResult();
  void PrintSheet();
  void ExportPdf();
  exam::Profile ChosenProfile() const;
  void SaveResult(const exam::ExamText& text);
  void closeEvent(QCloseEvent* event) override;

  PlatformServices& platform_;
  QStackedWidget* pages_ = nullptr;
  QComboBox* profileBox_ = nullptr;
  QComboBox* textBox_ = nullptr;
  QSpinBox* freeMinutes_ = nullptr;
  QSpinBox* freePassMark_ = nullptr;
  QLabel* rulesText_ = nullptr;
  QPushButton* startButton_ = nullptr;
  QLabel* examTitle_ = nullptr;
  QLabel* countdown_ = nullptr;
  QPlainTextEdit* model_ = nullptr;
  ExamTypingBox* typingBox_ = nullptr;
  QPushButton* handInButton_ = nullptr;
  QTextBrowser* sheet_ = nullptr;
  QLabel* saveNote_ = nullptr;
  QLabel* choiceNote_ = nullptr;
  QTimer* tick_ = nullptr;
  QTimer* clipboardWipe_ = nullptr;
  QElapsedTimer elapsed_;
  QDateTime startedAt_;
  exam::ResultsFile* results_ = nullptr;
  QString loadError_;
  int seconds_ = 0;
  bool warmUp_ = false;
  exam::Profile profile_;
  exam::ExamResult result_;
  QString sheetHtml_;
};

}  // namespace tecladim::prova
