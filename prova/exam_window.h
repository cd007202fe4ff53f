#pragma once
#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>

#include <memory>

#include "exam/profiles.h"
#include "exam/scoring.h"

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
}

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

  const exam::ExamResult& LastResult() const { return result_; }
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
  QTimer* tick_ = nullptr;
  QTimer* clipboardWipe_ = nullptr;
  QElapsedTimer elapsed_;
  int seconds_ = 0;
  bool warmUp_ = false;
  exam::Profile profile_;
  exam::ExamResult result_;
  QString sheetHtml_;
};

}  // namespace tecladim::prova
