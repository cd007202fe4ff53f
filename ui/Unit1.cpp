#include "ui/Unit1.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableView>
#include <QTimer>
#include <chrono>
#include <exception>
#include <filesystem>
#include <future>
#include <initializer_list>
#include <iostream>

#include "exercise/completion.h"
#include "exercise/figures.h"
#include "history/history_name.h"
#include "platform/shift_state.h"
#include "exercise/judge.h"
#include "exercise/lesson_start.h"
#include "exercise/number_text.h"
#include "history/preload.h"
#include "history/record_set.h"
#include "history/recovery_file.h"
#include "lessons/catalogue.h"
#include "platform/data_folder.h"
#include "platform/durable_file.h"
#include "platform/post_key.h"
#include "platform/services.h"
#include "ui/UMessage_esp.h"
#include "ui/Unit2.h"
#include "ui/assets/assets.h"
#include "ui/error_display.h"
#include "ui/history_model.h"
#include "ui/lesson_spin_box.h"
#include "ui/qtext.h"
#include "ui/shapes.h"
#include "ui/typing_box.h"
#include "ui/window_fonts.h"

namespace tecladim {
namespace {

// The history file: a bare name, so it lives in the working directory.
const QString HistoryFileName = QString::fromUtf8(history::HistoryFileName.data(),
                                                  static_cast<qsizetype>(history::HistoryFileName.size()));
// The maker's web address as the link shows it, and what the browser is asked to open.
const QString MakerAddressText = QStringLiteral("www.tecladim.example.org");
const QString MakerAddressUrl = QStringLiteral("https://www.tecladim.example.org");

constexpr int CompletionTimerMs = 20;
constexpr int FirstRunTimerMs = 100;
constexpr int ClipboardWipeMs = 300;
constexpr int ModelBoxLesson = 3;  // the model box's text at creation
// The system ends the program soon after its request: a lock held longer than this by
// another program's save is not waited for, and the run's records go to a recovery file.
constexpr auto SessionEndLockWait = std::chrono::seconds(3);
// How long the first show waits for another program to let go of the history before the
// window shows without it; and how often it then looks whether the read has ended.
constexpr auto HistoryLockPatience = std::chrono::milliseconds(300);
constexpr int HistoryWaitPollMs = 50;
constexpr int KeyStatsCheckDelayMs = 1000;

// The colours of the layout.
const QColor clGray(128, 128, 128);
const QColor clRed(255, 0, 0);
const QColor clGreen(0, 128, 0);
const QColor clBlue(0, 0, 255);
const QColor clNavy(0, 0, 128);
const QColor clMaroon(128, 0, 0);
const QColor clWhite(255, 255, 255);
const QColor clBlack(0, 0, 0);
const QColor clInstruction(149, 74, 0);
const QColor clTempo(128, 0, 255);

void SetTextColor(QWidget* widget, const QColor& color) {
  QPalette p = widget->palette();
  p.setColor(QPalette::WindowText, color);
  p.setColor(QPalette::Text, color);
  widget->setPalette(p);
}

// Labels size themselves to their text and grow to the right when it changes.
void SetLabelText(QLabel* label, const QString& text) {
  label->setText(text);
  label->adjustSize();
}

QString ErrorText(const std::exception& error) { return QString::fromUtf8(error.what()); }

// The lines "1" to "15", as the typing box and its gutter hold them at creation.
std::u16string NumberedLines() {
  std::u16string lines;
  for (int i = 1; i <= DrillRepetitions; ++i) {
    if (i > 1) lines += u"\r\n";
    lines += IntegerText(i);
  }
  return lines;
}

const QString LessonCaption = QStringLiteral("Lição: ");

// A label of the layout. Labels size themselves to their text.
QLabel* NewLabel(QWidget* parent, const char* name, QRect geometry, const QString& text, const QFont& font,
                 const QColor* color = nullptr) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setGeometry(geometry);
  l->setFont(font);
  if (color) SetTextColor(l, *color);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  l->adjustSize();
  return l;
}

// A field text of the summary box: a fixed-size label the current record fills in.
QLabel* NewFieldText(QWidget* parent, const char* name, QRect geometry, const QFont& font, const QColor& color) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(name));
  l->setGeometry(geometry);
  l->setFont(font);
  SetTextColor(l, color);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return l;
}

// A push button; screen readers call it by its caption.
QPushButton* NewButton(QWidget* parent, const char* name, QRect geometry, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(geometry);
  b->setAccessibleName(caption);
  return b;
}

// One of the three text boxes: Courier New, and no scroll bars (a drill line never wraps).
template <class Box>
Box* NewBox(QWidget* parent, const char* name, QRect geometry) {
  auto* b = new Box(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(geometry);
  b->setFont(BoxFont());
  b->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  b->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  return b;
}

QTimer* NewTimer(QObject* parent, const char* name, int intervalMs) {
  auto* t = new QTimer(parent);
  t->setObjectName(QString::fromLatin1(name));
  t->setInterval(intervalMs);
  return t;
}

std::filesystem::path HistoryPath() { return std::filesystem::path(ToU16(HistoryFileName)); }
// Beside the history, in the working directory too.
std::filesystem::path KeyStatsPath() { return std::filesystem::path(history::KeyStatsFileName); }  // ASCII

// The local date and time, for the name of a copy made before the services exist.
DateTime LocalNow() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  return EncodeDateTime({date.year(), static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day())},
                        {time.hour(), time.minute(), time.second(), time.msec()});
}

SessionEnd Worse(SessionEnd a, SessionEnd b) { return static_cast<int>(a) > static_cast<int>(b) ? a : b; }

// Puts the records in a recovery file and says where on the standard error.
SessionEnd KeepInRecoveryFile(const history::Packet& records, history::RecoveryPlace place) {
  if (records.RowCount() == 0) return SessionEnd::Saved;
  try {
    const std::filesystem::path file = history::KeepRecords(HistoryPath(), records, place, platform::UserDataFolder());
    std::cerr << history::RecordsKeptText(records.RowCount(), file) << std::endl;
    return SessionEnd::RecordsKept;
  } catch (const std::exception& error) {
    std::cerr << "tecladim: " << records.RowCount() << " exercícios desta execução se perderam: " << error.what()
              << std::endl;
    return SessionEnd::RecordsLost;
  }
}

}  // namespace

TForm1::TForm1(PlatformServices& platform, QWidget* parent) : QWidget(parent), platform_(platform) {
  LoadPictures();
  SetUpFrame();
  CreateTopBar();
  CreateExerciseBoxes();
  CreateHistoryPanel();
  CreateTimersAndMenu();
  StackInLayoutOrder();
  SetTabOrder();
  AnchorToTheFrame();
  ShowFieldTexts();
  keyClock_.start();
}

// Caption, client size, face colour and the window font the controls inherit.
void TForm1::SetUpFrame() {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(ApplicationTitle);
  resize(ClientWidth, ClientHeight);
  setFont(TahomaFont(13, Weight::Bold));
  QPalette face = palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  setPalette(face);
  setAutoFillBackground(true);
}

// "Lição: " with the lesson spin box and "Iniciar", the error count, the accuracy and
// "Posição das mãos" at the right end of the exercise area.
void TForm1::CreateTopBar() {
  const QFont windowFont = font();
  const QFont tahoma13 = TahomaFont(13, Weight::Regular);
  const QFont tahoma13b = TahomaFont(13, Weight::Bold);
  const QFont tahoma15b = TahomaFont(15, Weight::Bold);
  Label1 = NewLabel(this, "Label1", {33, 12, 42, 16}, LessonCaption, windowFont);
  Label2 = NewLabel(this, "Label2", {218, 12, 39, 16}, QStringLiteral("Erros:"), windowFont);
  Label3 = NewLabel(this, "Label3", {259, 12, 8, 16}, QStringLiteral("0"), tahoma13b, &clRed);
  Label7 = NewLabel(this, "Label7", {345, 12, 112, 16}, QStringLiteral("Lições de 1 a %1").arg(LessonCount), tahoma13b, &clGreen);
  Label17 = NewLabel(this, "Label17", {560, 12, 79, 16}, QStringLiteral("% Acertos: "), windowFont);
  Label18 = NewLabel(this, "Label18", {638, 10, 63, 18}, QStringLiteral("100,0%"), tahoma15b, &clBlue);
  Label19 = NewLabel(this, "Label19", {712, 12, 169, 16}, QStringLiteral("Não deixar ser inferior a ") + ToQString(AccuracyFloorText()), tahoma13,
                     &clGreen);

  SpinEdit1 = new LessonSpinBox(this, 1, LessonCount);
  SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
  SpinEdit1->setGeometry(76, 8, 55, 26);
  SpinEdit1->setFont(tahoma13);
  SpinEdit1->setAccessibleName(QStringLiteral("Lição"));
  SpinEdit1->onChange = [this] { SpinEdit1Change(); };
  SpinEdit1->onRefused = [this] { platform_.Beep(); };

  BitBtn1 = NewButton(this, "BitBtn1", {137, 8, 69, 25}, QStringLiteral("Iniciar"));
  connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
  BitBtn2 = NewButton(this, "BitBtn2", {1000, 2, 145, 32}, QStringLiteral("Posição das mãos"));
  connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
}

// The model box, the instruction line, the typing box with its line-number gutter behind
// it, "Sair" under the typing box, and the judge's two hidden labels.
void TForm1::CreateExerciseBoxes() {
  const QFont windowFont = font();
  Label4 = NewLabel(this, "Label4", {34, 230, 52, 18}, QStringLiteral("Digitar"), TahomaFont(15, Weight::Bold),
                    &clInstruction);
  Label5 = NewLabel(this, "Label5", {30, 670, 42, 16}, LessonCaption, windowFont);
  Label5->hide();
  Label6 = NewLabel(this, "Label6", {74, 670, 42, 16}, LessonCaption, windowFont);
  Label6->hide();

  CreateLineGutter();

  Memo1 = NewBox<TextBox>(this, "Memo1", {29, 40, 1116, 186});
  SetTextColor(Memo1, clBlue);
  Memo1->setReadOnly(true);
  Memo1->SetText(LessonText(ModelBoxLesson).value_or(u""));
  Memo1->setAccessibleName(QStringLiteral("Texto modelo"));
  Memo1->onEnter = [this] { Memo3Enter(); };

  Memo2 = NewBox<TypingBox>(this, "Memo2", {29, 248, 1116, 417});
  SetTextColor(Memo2, clBlack);
  Memo2->SetText(NumberedLines());
  Memo2->setAccessibleName(QStringLiteral("Digitação"));
  Memo2->onKeyDown = [this](int& key, Qt::KeyboardModifiers m) { Memo2KeyDown(key, ShiftStateOf(m)); };
  Memo2->onKeyPress = [this](char16_t& key) { Memo2KeyPress(key); };
  Memo2->onKeyUp = [this] { Memo2KeyUp(); };
  Memo2->onClick = [this] { Memo2Click(); };
  AlignGutterWithTypingBox();

  BitBtn3 = NewButton(this, "BitBtn3", {1064, 671, 81, 27}, QStringLiteral("Sair"));
  connect(BitBtn3, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
}

// The grey panel at the right: "Histórico", the history grid bound to cds1, the summary
// box with the current record's fields, the maker's logo and web address.
void TForm1::CreateHistoryPanel() {
  Shape1 = new ShapeRect(this, clGray);
  Shape1->setObjectName(QStringLiteral("Shape1"));
  Shape1->setGeometry(1147, 0, 203, 700);
  Label8 = NewLabel(this, "Label8", {1199, 11, 94, 25}, QStringLiteral("Histórico"), TahomaFont(21, Weight::Bold),
                    &clWhite);

  cds1 = std::make_unique<history::RecordSet>("cds1");
  DataSource1 = std::make_unique<HistoryModel>(*cds1, nullptr);
  DataSource1->setObjectName(QStringLiteral("DataSource1"));
  DataSource1->onCurrentChanged = [this] { ShowFieldTexts(); };
  CreateHistoryGrid();

  CreateSummaryBox();
  CreateMakerLogo();
}

// The line numbers beside the typing box: a disabled box the keyboard never reaches.
void TForm1::CreateLineGutter() {
  Memo3 = NewBox<TextBox>(this, "Memo3", {-3, 253, 875, 411});
  Memo3->setFrameStyle(QFrame::NoFrame);
  Memo3->setReadOnly(true);
  Memo3->SetText(NumberedLines());
  {
    QPalette p = Memo3->palette();
    p.setColor(QPalette::Base, palette().color(QPalette::Button));
    p.setColor(QPalette::Text, clBlack);
    Memo3->setPalette(p);
  }
  Memo3->setEnabled(false);
  Memo3->onEnter = [this] { Memo3Enter(); };
}

void TForm1::AlignGutterWithTypingBox() {
  // The gutter's numbers stand level with the typing box's lines: its top lies 5 px
  // lower and it has no frame, so its text margin makes up the difference. Its left edge
  // lies 3 px beyond the window's: the numbers start at the window's edge, not cut by it.
  const int gutterMargin = Memo2->document()->documentMargin() + Memo2->frameWidth() - 5;
  Memo3->document()->setDocumentMargin(gutterMargin);
  Memo3->IndentText(qMax(0, -Memo3->x() - gutterMargin));
}

// The summary box under the grid: the current record's fields.
void TForm1::CreateSummaryBox() {
  const QFont tahoma12b = TahomaFont(12, Weight::Bold);
  const QFont tahoma13b = TahomaFont(13, Weight::Bold);
  Shape2 = new ShapeRect(this, clWhite);
  Shape2->setObjectName(QStringLiteral("Shape2"));
  Shape2->setGeometry(1151, 392, 195, 189);
  Label14 = NewLabel(this, "Label14", {1221, 400, 56, 16}, QStringLiteral("Resumo:"),
                     TahomaFont(13, Weight::Bold, Underline::Yes), &clMaroon);
  Label9 = NewLabel(this, "Label9", {1161, 424, 35, 14}, QStringLiteral("Lição:"), tahoma12b, &clBlack);
  Label10 = NewLabel(this, "Label10", {1161, 443, 33, 14}, QStringLiteral("Data:"), tahoma12b, &clBlack);
  Label11 = NewLabel(this, "Label11", {1161, 491, 37, 14}, QStringLiteral("Início:"), tahoma12b, &clBlack);
  Label12 = NewLabel(this, "Label12", {1161, 513, 24, 14}, QStringLiteral("Fim:"), tahoma12b, &clBlack);
  Label13 = NewLabel(this, "Label13", {1157, 553, 47, 16}, QStringLiteral("Tempo:"), tahoma13b, &clBlack);
  Label15 = NewFieldText(this, "Label15", {1199, 424, 143, 16}, tahoma12b, clBlue);
  DBText1 = NewFieldText(this, "DBText1", {1199, 443, 143, 16}, tahoma12b, clBlue);
  DBText2 = NewFieldText(this, "DBText2", {1199, 491, 143, 16}, tahoma12b, clNavy);
  DBText3 = NewFieldText(this, "DBText3", {1199, 513, 143, 16}, tahoma12b, clNavy);
  DBText4 = NewFieldText(this, "DBText4", {1208, 553, 160, 16}, tahoma13b, clTempo);
}

// The maker's logo and web address at the foot of the panel.
void TForm1::CreateMakerLogo() {
  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(1152, 593, 192, 74);
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image1->setPixmap(ReadPicture(LogoPicture()));
  Label16 = new LinkLabel(MakerAddressText, this);
  Label16->setObjectName(QStringLiteral("Label16"));
  Label16->setGeometry(1161, 675, 171, 14);
  Label16->setFont(LinkFont());
  SetTextColor(Label16, clBlue);
  Label16->setCursor(Qt::PointingHandCursor);
  Label16->adjustSize();
  Label16->onClick = [this] { Label16Click(); };
}

void TForm1::CreateHistoryGrid() {
  DBGrid1 = new QTableView(this);
  DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
  DBGrid1->setGeometry(1151, 41, 195, 345);
  DBGrid1->setFont(TahomaFont(11, Weight::Regular));
  DBGrid1->setModel(DataSource1.get());
  DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  DBGrid1->setAccessibleName(QStringLiteral("Histórico"));
  DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  DBGrid1->verticalHeader()->setDefaultSectionSize(18);
  DBGrid1->verticalHeader()->setFixedWidth(12);
  DBGrid1->horizontalHeader()->setHighlightSections(false);
  // The style's default padding would cut "Lição" in its 27-pixel column, and the stand-in
  // for Tahoma is a little wider than Tahoma itself: tighten the titles by a few percent.
  QFont titles = DBGrid1->font();
  titles.setLetterSpacing(QFont::PercentageSpacing, 94);
  DBGrid1->horizontalHeader()->setFont(titles);
  DBGrid1->horizontalHeader()->setStyleSheet(QStringLiteral(
      "QHeaderView::section { padding: 0px 1px; background: #f0f0f0; border: none;"
      " border-right: 1px solid #a0a0a0; border-bottom: 1px solid #a0a0a0; }"));
  DBGrid1->setColumnWidth(0, HistoryModel::LicaoWidth);
  DBGrid1->setColumnWidth(1, HistoryModel::DataWidth);
  DBGrid1->setColumnWidth(2, HistoryModel::ErrosWidth);
  connect(DBGrid1, &QTableView::clicked, this, [this](const QModelIndex& index) { cds1->SetCurrentRow(index.row()); });
}

// The completion, first-run and clipboard timers, and the typing box's one-item menu.
void TForm1::CreateTimersAndMenu() {
  Timer1 = NewTimer(this, "Timer1", CompletionTimerMs);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  Timer2 = NewTimer(this, "Timer2", FirstRunTimerMs);
  connect(Timer2, &QTimer::timeout, this, &TForm1::Timer2Timer);
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  DesativadosemTrapaa1 = PopupMenu1->addAction(QStringLiteral("Desativado sem Trapaça"));
  DesativadosemTrapaa1->setObjectName(QStringLiteral("DesativadosemTrapaa1"));
  DesativadosemTrapaa1->setEnabled(false);
  Memo2->SetContextMenu(PopupMenu1);
  Timer3 = NewTimer(this, "Timer3", ClipboardWipeMs);
  connect(Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
  Timer3->start();
}

// Later controls of the layout lie above earlier ones, whichever area built them.
void TForm1::StackInLayoutOrder() {
  for (QWidget* control : std::initializer_list<QWidget*>{
           Shape1,  Shape2,  Label1,  Label2,  Label3,  Label4,  Label5,  Label6,  Label7,
           Label8,  Label9,  Label10, Label11, Label12, Label13, Label14, Label15, DBText1,
           DBText2, DBText3, DBText4, Image1,  Label16, Label17, Label18, Label19, Memo3,
           SpinEdit1, BitBtn1, Memo1, Memo2, BitBtn2, BitBtn3, DBGrid1}) {
    control->raise();
  }
}

void TForm1::SetTabOrder() {
  QWidget::setTabOrder(SpinEdit1, BitBtn1);
  QWidget::setTabOrder(BitBtn1, Memo1);
  QWidget::setTabOrder(Memo1, Memo2);
  QWidget::setTabOrder(Memo2, Memo3);
  QWidget::setTabOrder(Memo3, BitBtn2);
  QWidget::setTabOrder(BitBtn2, BitBtn3);
  QWidget::setTabOrder(BitBtn3, DBGrid1);
}

// What follows the frame's bottom edge; everything else keeps to the top-left corner.
void TForm1::AnchorToTheFrame() {
  anchors_.Add(Label4, Anchoring::LeftBottom);
  anchors_.Add(Label5, Anchoring::LeftBottom);
  anchors_.Add(Label6, Anchoring::LeftBottom);
  anchors_.Add(Memo3, Anchoring::LeftBottom);
  anchors_.Add(Memo1, Anchoring::LeftTopBottom);
  anchors_.Add(Memo2, Anchoring::LeftBottom);
  anchors_.Add(BitBtn3, Anchoring::LeftBottom);
}

TForm1::~TForm1() = default;

void TForm1::ShowErrorCount() { SetLabelText(Label3, ToQString(IntegerText(exercise.errorCount))); }

void TForm1::ShowFieldTexts() {
  using history::HistoryField;
  Label15->setText(ToQString(cds1->DisplayText(HistoryField::Licao)));
  DBText1->setText(ToQString(cds1->DisplayText(HistoryField::Data)));
  DBText2->setText(ToQString(cds1->DisplayText(HistoryField::Inicio)));
  DBText3->setText(ToQString(cds1->DisplayText(HistoryField::Fim)));
  DBText4->setText(cds1tempoGetText());
  if (const int row = cds1->CurrentRow(); row != history::NoRow) {
    DBGrid1->selectRow(row);
    DBGrid1->scrollTo(DataSource1->index(row, 0));
  } else {
    DBGrid1->clearSelection();
  }
}

QString TForm1::cds1tempoGetText() const { return ToQString(cds1->DisplayText(history::HistoryField::Tempo)); }

// The record of a completed exercise, field by field in the completion step's order.
void TForm1::AppendRecord(const CompletionRecord& record) {
  RecordsStore().AppendRecord(record.AsHistoryRecord());
}

// The history that did not load stays closed and untouched; the student's work is kept
// beside it all the same, and joins it once it loads again.
history::RecordSet& TForm1::RecordsStore() {
  if (cds1->Active() || !loadFailed_) return *cds1;
  if (!keptRecords_) {
    keptRecords_ = std::make_unique<history::RecordSet>(cds1->Name());
    keptRecords_->CreateDataSet();
  }
  return *keptRecords_;
}

SessionEnd TForm1::KeepRecordsOfUnloadedHistory() {
  if (!keptRecords_) return SessionEnd::Saved;
  const SessionEnd kept = KeepInRecoveryFile(keptRecords_->NewRecords(), history::RecoveryPlace::BesideHistory);
  if (kept == SessionEnd::RecordsKept) keptRecords_.reset();
  return kept;
}

int TForm1::LessonNumber() const { return ReadLessonNumber(ViewOf(SpinEdit1->Text())); }

// The lesson start. The lesson-number change, the completion step and the first show run
// it directly: a programmatic click of BitBtn1 would only add a signal on the way.
void TForm1::BitBtn1Click() {
  KeepLeftExercise();
  keyStatsLesson_ = LessonNumber();
  const LessonSetup setup = StartLesson(exercise, ViewOf(SpinEdit1->Text()));
  ShowErrorCount();
  Memo1->SetText(setup.lessonText);
  if (setup.notPrepared) ShowNotPrepared();
  Memo2->SetText(u"");
  BeginExercise(exercise, setup, platform_.Now());
  ShowLesson(setup);
}

void TForm1::ShowNotPrepared() {
  ShowPlainMessage(this, ToQString(NotPreparedMessage));
  TakeKeyboardBack();
}

// The lesson in place: model box, instruction line, a writable typing box, the accuracy.
void TForm1::ShowLesson(const LessonSetup& setup) {
  Memo1->SetText(setup.model);
  SetLabelText(Label4, ToQString(setup.instruction));
  Memo2->setReadOnly(false);
  if (!exercise.noFocus) Memo2->setFocus();
  arr_total();
}

void TForm1::SpinEdit1Change() {
  exercise.noFocus = true;
  BitBtn1Click();
  exercise.noFocus = false;
}

void TForm1::arr_total() { SetLabelText(Label18, ToQString(AccuracyText(exercise))); }

void TForm1::Memo2KeyPress(char16_t& Key) {
  const std::u16string model = Memo1->Text();
  const std::u16string typed = Memo2->Text();
  const KeyInput in = KeyInputOf(Key, model, typed);
  const Judgement verdict = JudgeKey(exercise, in);
  if (verdict.cancel) Key = 0;
  try {
    // Before the verdict is applied: the error flash would count in the next key's time.
    keyStats_.Record(in, verdict, exercise, keyClock_.elapsed());
    ApplyVerdict(verdict);
  } catch (...) {
    // The judge shows no failure: the key keeps the verdict it already has.
  }
}

KeyInput TForm1::KeyInputOf(char16_t key, const std::u16string& model, const std::u16string& typed) const {
  return {key, Memo2->CaretOffset(), model, typed, TypedLineCount(typed), LessonNumber()};
}

// In the judge's order: the error shown, beeped and flashed; the line advance; the
// completion armed; the accuracy.
void TForm1::ApplyVerdict(const Judgement& verdict) {
  if (verdict.error) {
    ShowErrorCount();
    platform_.Beep();
    showmessageesp(ToQString(ErrorFlashText));
    // The flash may have swallowed the injected Enter of the line just finished.
    if (LineAdvanceLost(exercise, Memo2->CaretOffset(), Memo1->Text().size())) Memo2->TypeLater(QChar(EnterChar));
  }
  if (verdict.lineAdvance) InjectLineAdvance();
  if (verdict.armCompletion && !Timer1->isActive()) Timer1->start();
  if (verdict.recomputeAccuracy) arr_total();
}

void TForm1::InjectLineAdvance() {
  AdvanceLine(exercise, [this] { PostKeyEx32(platform_, vk::Return, {}, KeyKind::Normal); });
}

void TForm1::Memo2KeyDown(int& Key, ShiftState Shift) {
  // The silent abort: the box's own handling of the key-down does not run.
  if (PasteKeyVerdict(static_cast<std::uint16_t>(Key), Shift) == KeyDownVerdict::Refuse) Key = 0;
}

void TForm1::Memo2KeyUp() { Memo2->MoveCaretToEnd(); }

void TForm1::Memo2Click() { Memo2->MoveCaretToEnd(); }

void TForm1::Memo3Enter() { Memo2->setFocus(); }

void TForm1::Timer1Timer() {
  const DateTime now = platform_.Now();
  Timer1->stop();
  Memo2->setReadOnly(true);
  try {
    const std::u16string errors = ToU16(Label3->text());
    const CompletionInput input{now, exercise.inicio, exercise.tempo, errors, LessonNumber()};
    const CompletionRecord record = MakeCompletionRecord(input);
    AppendRecord(record);
    if (keyStats_.CountsForStatistics())
      keyStatsStore_.Add(history::StatsOfExercise(record, history::ExerciseEnd::Completed, keyStats_));
    keyStats_.Clear();
    showmessageesp2(ToQString(MakeCompletionReport(input).text));
    BitBtn1Click();
  } catch (const std::exception& error) {
    ReportError(error);
  }
}

void TForm1::Timer2Timer() {
  Timer2->stop();
  BitBtn2Click();
}

void TForm1::Timer3Timer() {
  try {
    platform_.EmptyClipboard();
  } catch (const std::exception& error) {
    // The timer keeps ticking while the error box is up; one box at a time is enough.
    if (clipboardErrorShown_) return;
    clipboardErrorShown_ = true;
    ReportError(error);
    clipboardErrorShown_ = false;
  }
}

void TForm1::BitBtn2Click() {
  if (!form2_) return;
  form2_->exec();
  TakeKeyboardBack();
}

void TForm1::BitBtn3Click() { close(); }

void TForm1::Label16Click() { platform_.OpenUrl(MakerAddressUrl); }

void TForm1::showmessageesp(const QString& s) {
  ShowAlertFlash(platform_, this, s);
  TakeKeyboardBack();
}

void TForm1::showmessageesp2(const QString& s) {
  ShowAlertReport(platform_, this, s);
  TakeKeyboardBack();
}

// The standard error display; the failing handler ends after it.
void TForm1::ReportError(const std::exception& error) {
  ShowStandardError(this, ErrorText(error));
  TakeKeyboardBack();
}

// After a modal window has closed. Without a window manager (a kiosk session, a bare X
// server) nobody hands the keyboard back, and keys, dead keys included, go nowhere; so the
// window takes it back itself, for the control that had it: the typing box, or the spin box
// after a number without a lesson, which then keeps that number until the student leaves.
void TForm1::TakeKeyboardBack() { activateWindow(); }

void TForm1::FormShow() {
  if (!form2_ || form2_->Tag == 1) return;
  form2_->Tag = 1;
  if (!historyPreload_) historyPreload_ = PreloadHistory();
  if (historyPreload_ && !HistoryReadSoon()) {
    WaitForHistory();
    return;
  }
  FirstShowWithHistory();
}

bool TForm1::HistoryReadSoon() {
  const auto patience = std::chrono::steady_clock::now() + HistoryLockPatience;
  constexpr auto step = std::chrono::milliseconds(10);
  while (!historyPreload_->WaitFor(step))
    if (std::chrono::steady_clock::now() >= patience && !historyPreload_->Reading()) return false;
  return true;
}

// Another program holds the history (a save of a large history, or a program stuck in
// one): the window shows and answers meanwhile, busy, with nothing to start until the read
// ends and the first show goes on.
void TForm1::WaitForHistory() {
  setCursor(Qt::BusyCursor);
  BitBtn1->setEnabled(false);
  SpinEdit1->setEnabled(false);
  historyWait_ = NewTimer(this, "historyWait", HistoryWaitPollMs);
  connect(historyWait_, &QTimer::timeout, this, [this] {
    if (!historyPreload_->WaitFor(std::chrono::milliseconds(0))) return;
    historyWait_->stop();
    unsetCursor();
    BitBtn1->setEnabled(true);
    SpinEdit1->setEnabled(true);
    FirstShowWithHistory();
  });
  historyWait_->start();
}

void TForm1::FirstShowWithHistory() {
  try {
    cds1->CreateDataSet();
    if (platform_.FileExists(HistoryFileName)) {
      if (cds1->Active()) cds1->Close();
      LoadHistory();
    } else {
      Timer2->start();
    }
    if (!cds1->Active()) cds1->Open();
    cds1->Last();
    BitBtn1Click();
    // Known whole while the student types, the key statistics' file is not read again at
    // the close; later than the first paint, not to slow the start.
    QTimer::singleShot(KeyStatsCheckDelayMs, this, [this] { keyStatsStore_.Check(KeyStatsPath()); });
  } catch (const std::exception& error) {
    loadFailed_ = !cds1->Active();
    // Shown before the window is mapped. With a window manager the show gives it the
    // keyboard; without one nobody does, so it is asked for now and taken at the mapping.
    ShowStandardError(this, ErrorText(error));
    TakeKeyboardBack();
  }
}

std::unique_ptr<history::PacketPreload> TForm1::PreloadHistory() {
  const std::filesystem::path name = HistoryPath();
  history::StartSteps steps{platform::UserDataFolder(), LocalNow(), &std::cerr};
  std::error_code ec;
  // Records a run could not save wait beside the history or in the data folder: the start
  // merges them in, history or not.
  if (!std::filesystem::is_regular_file(name, ec) &&
      !std::filesystem::is_regular_file(history::RecoveryFileBeside(name), ec) &&
      !std::filesystem::is_regular_file(history::RecoveryFileInDataFolder(name, steps.dataFolder), ec))
    return nullptr;
  return std::make_unique<history::PacketPreload>(name, std::move(steps));
}

void TForm1::SetHistoryPreload(std::unique_ptr<history::PacketPreload> preload) {
  historyPreload_ = std::move(preload);
}

// What the preload read while the window was built, or the file read now when there was
// none (the file came after the start).
void TForm1::LoadHistory() {
  if (const std::unique_ptr<history::PacketPreload> preload = std::move(historyPreload_)) {
    cds1->LoadFromPreload(*preload);
  } else {
    cds1->LoadFromFile(std::filesystem::path(ToU16(HistoryFileName)));
  }
}

bool TForm1::FormClose() {
  KeepLeftExercise();
  // The key statistics' file is saved beside the history, at the same time: the close
  // waits for the longer of the two saves only.
  std::future<void> keyStatsSaved = std::async(std::launch::async, [this] { SaveKeyStatsFile(); });
  try {
    cds1->SaveToFile(HistoryPath());
    // After a load error the history stays as it was, and the run's records go beside it.
    if (keptRecords_) {
      const history::Packet records = keptRecords_->NewRecords();
      if (records.RowCount() > 0) {
        const std::filesystem::path file = history::KeepRecords(
            HistoryPath(), records, history::RecoveryPlace::BesideHistory, platform::UserDataFolder());
        std::cerr << history::RecordsKeptText(records.RowCount(), file) << std::endl;
      }
      keptRecords_.reset();
    }
  } catch (const std::exception& error) {
    keyStatsSaved.wait();
    ReportError(error);
    return false;
  }
  saved_ = true;
  keyStatsSaved.wait();
  return true;
}

void TForm1::KeepLeftExercise() {
  if (keyStats_.CountsForStatistics()) {
    try {
      const CompletionRecord stamps = MakeLeftRecord(platform_.Now(), exercise.inicio, keyStatsLesson_);
      keyStatsStore_.Add(history::StatsOfExercise(stamps, history::ExerciseEnd::Left, keyStats_));
    } catch (const std::exception&) {
      // Statistics without stamps could not be read with the history: they are dropped.
    }
  }
  keyStats_.Clear();
}

void TForm1::SaveKeyStats() {
  KeepLeftExercise();
  SaveKeyStatsFile();
}

// Touches nothing but the store of key statistics and standard error: it runs beside the
// history's save.
void TForm1::SaveKeyStatsFile() {
  try {
    keyStatsStore_.SaveToFile(KeyStatsPath(), platform::UserDataFolder());
    return;
  } catch (const std::exception& error) {
    std::cerr << history::KeyStatsNotSavedText(KeyStatsPath(), error) << std::endl;
  }
  if (keyStatsStore_.Pending() == 0) return;
  try {
    const auto [file, exercises] = keyStatsStore_.KeepInRecoveryFile(KeyStatsPath(), platform::UserDataFolder());
    std::cerr << history::KeyStatsKeptText(exercises, file) << std::endl;
  } catch (const std::exception& error) {
    // Still waiting here, for a later save of this run.
    std::cerr << history::KeyStatsNotSavedText(history::RecoveryFileBeside(KeyStatsPath()), error) << std::endl;
  }
}

SessionEnd TForm1::SaveAtSessionEnd() {
  if (sessionEnd_) return *sessionEnd_;
  if (saved_) return SessionEnd::Saved;
  platform::SetLockWaitLimit(SessionEndLockWait);
  SessionEnd end = SessionEnd::Saved;
  try {
    cds1->SaveToFile(HistoryPath());
    saved_ = true;
  } catch (const std::exception& error) {
    // The session is ending: there is nobody left to read an error box.
    std::cerr << "tecladim: " << error.what() << std::endl;
    end = Worse(SessionEnd::RecordsKept, KeepInRecoveryFile(cds1->NewRecords(), history::RecoveryPlace::DataFolder));
  }
  end = Worse(end, KeepRecordsOfUnloadedHistory());
  SaveKeyStats();
  sessionEnd_ = end;
  return end;
}

void TForm1::showEvent(QShowEvent* event) {
  // Sent before the window is mapped, so a load error shows before the window does and
  // the first lesson is in place before the first paint.
  if (!event->spontaneous()) FormShow();
  QWidget::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (FormClose()) {
    event->accept();
  } else {
    event->ignore();
  }
}

// The window is centred by its client area before the window manager adds the frame;
// once the frame is known, it is kept on the free part of the screen, so the title bar
// and "Sair" stay in reach above a taskbar on a 1366x768 screen. Only the first time: a
// student may later drag the window where they like.
void TForm1::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (framePlaced_ || !isVisible() || frameGeometry() == geometry()) return;
  framePlaced_ = true;
  if (const QScreen* where = screen()) {
    const QPoint position = FramePositionWithin(frameGeometry(), where->availableGeometry());
    if (position != frameGeometry().topLeft()) move(position);
  }
}

void TForm1::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  anchors_.Apply(height());
}

}  // namespace tecladim
