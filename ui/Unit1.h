#pragma once
#include <QElapsedTimer>
#include <QWidget>
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "exercise/completion.h"
#include "exercise/exercise_state.h"
#include "exercise/input_guard.h"
#include "exercise/judge.h"
#include "exercise/key_statistics.h"
#include "exercise/lesson_start.h"
#include "history/key_stats_store.h"
#include "ui/anchors.h"
#include "history/session_end.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QTimer;

namespace tecladim::history {
class PacketPreload;
class RecordSet;
}

namespace tecladim {

inline constexpr int ExitHistoryNotSaved = ExitNotSaved;

class PlatformServices;
class HistoryModel;
class LessonSpinBox;
class LinkLabel;
class ShapeRect;
class TextBox;
class TypingBox;
class TForm2;

// The main window: the lesson, the typing box, the live error count and accuracy, and
// the history panel. Its handlers only turn widget events into calls of the exercise and
// history code, and their results back into widgets.
class TForm1 : public QWidget {
  Q_OBJECT
 public:
  static constexpr int ClientWidth = 1350;
  static constexpr int ClientHeight = 700;

  TForm1(PlatformServices& platform, QWidget* parent = nullptr);
  ~TForm1() override;

  // The hand-position window that BitBtn2 shows and whose tag is the first-show flag.
  void SetHandPositionWindow(TForm2* form2) { form2_ = form2; }
  // Starts reading the history file on a thread of its own, before the window is built;
  // null when there is no file yet. The first show takes what it read.
  static std::unique_ptr<history::PacketPreload> PreloadHistory();
  void SetHistoryPreload(std::unique_ptr<history::PacketPreload> preload);

  // Controls, in creation order.
  ShapeRect* Shape1;
  ShapeRect* Shape2;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label7;
  QLabel* Label8;
  QLabel* Label9;
  QLabel* Label10;
  QLabel* Label11;
  QLabel* Label12;
  QLabel* Label13;
  QLabel* Label14;
  QLabel* Label15;
  QLabel* DBText1;
  QLabel* DBText2;
  QLabel* DBText3;
  QLabel* DBText4;
  QLabel* Image1;
  LinkLabel* Label16;
  QLabel* Label17;
  QLabel* Label18;
  QLabel* Label19;
  TextBox* Memo3;
  LessonSpinBox* SpinEdit1;
  QPushButton* BitBtn1;
  TextBox* Memo1;
  TypingBox* Memo2;
  QPushButton* BitBtn2;
  QPushButton* BitBtn3;
  QTableView* DBGrid1;
  // Components that are not drawn.
  QTimer* Timer1;
  std::unique_ptr<history::RecordSet> cds1;
  std::unique_ptr<HistoryModel> DataSource1;  // after cds1: it goes first
  QTimer* Timer2;
  QMenu* PopupMenu1;
  QAction* DesativadosemTrapaa1;
  QTimer* Timer3;

  // The exercise: pula, total, inicio and tempo, the error count and the flags.
  ExerciseState exercise;

  void BitBtn1Click();
  void SpinEdit1Change();
  void arr_total();
  void Memo2KeyPress(char16_t& Key);
  void Memo2KeyDown(int& Key, ShiftState Shift);
  void Memo2KeyUp();
  void Memo2Click();
  void Memo3Enter();
  void Timer1Timer();
  void Timer2Timer();
  void Timer3Timer();
  void BitBtn2Click();
  void BitBtn3Click();
  void Label16Click();
  void FormShow();
  // The display text of the current record's tempo, as the history store renders it: a
  // duration under a day as its time alone.
  QString cds1tempoGetText() const;
  void showmessageesp(const QString& s);
  void showmessageesp2(const QString& s);

  // Writes the history when the desktop session ends the program without a close;
  // does nothing once a close has saved it. A lock held by another program is waited for a
  // few seconds only; then the run's records go to a recovery file in the user's data folder.
  // Once per run: later calls report what the first one did.
  SessionEnd SaveAtSessionEnd();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  // The constructor's builders, one per area of the window.
  void SetUpFrame();
  void CreateLineGutter();
  void AlignGutterWithTypingBox();
  void CreateSummaryBox();
  void CreateMakerLogo();
  void CreateTopBar();
  void CreateExerciseBoxes();
  void CreateHistoryPanel();
  void CreateHistoryGrid();
  void CreateTimersAndMenu();
  void StackInLayoutOrder();
  void SetTabOrder();
  void AnchorToTheFrame();

  bool FormClose();  // the close handler: false keeps the window open
  // The first show's steps after the history's read: load, first lesson, first-run timer.
  void FirstShowWithHistory();
  // Whether the history's read ended soon enough to show the window with it; else the
  // window shows at once and WaitForHistory finishes the first show when the read ends.
  bool HistoryReadSoon();
  void WaitForHistory();
  void LoadHistory();
  // Where a completed exercise goes: the history, or after a load error the records kept
  // for a recovery file.
  history::RecordSet& RecordsStore();
  // Writes the records kept after a load error to the recovery file beside the history.
  SessionEnd KeepRecordsOfUnloadedHistory();
  void ShowFieldTexts();
  void ShowErrorCount();
  void ShowLesson(const LessonSetup& setup);
  void ShowNotPrepared();
  void ApplyVerdict(const Judgement& verdict);
  void InjectLineAdvance();
  KeyInput KeyInputOf(char16_t key, const std::u16string& model, const std::u16string& typed) const;
  int LessonNumber() const;
  void AppendRecord(const CompletionRecord& record);
  void ReportError(const std::exception& error);
  // The exercise under way, when it has keys enough to count, kept as left unfinished.
  void KeepLeftExercise();
  // The run's key statistics beside the history, after the history's own save; a failure
  // is told on standard error only, for the trainer and the history go on without them,
  // and the statistics wait in a recovery file for the next save.
  void SaveKeyStats();
  void SaveKeyStatsFile();
  void TakeKeyboardBack();

  PlatformServices& platform_;
  TForm2* form2_ = nullptr;
  std::unique_ptr<history::PacketPreload> historyPreload_;
  AnchorLayout anchors_{ClientHeight};
  bool saved_ = false;
  bool loadFailed_ = false;
  std::unique_ptr<history::RecordSet> keptRecords_;  // after a load error: this run's records
  std::optional<SessionEnd> sessionEnd_;
  QTimer* historyWait_ = nullptr;
  bool clipboardErrorShown_ = false;
  bool framePlaced_ = false;
  // The key statistics of the exercise under way, the lesson it began with, the clock of
  // its keys' times, and the exercises waiting for the next save.
  KeyStatistics keyStats_;
  int keyStatsLesson_ = 0;
  QElapsedTimer keyClock_;
  history::KeyStatsStore keyStatsStore_;
};

}  // namespace tecladim
