#include <gtest/gtest.h>

#include <deque>
#include <limits>
#include <stdexcept>
#include <string>

#include "exercise/judge.h"
#include "exercise/lesson_start.h"

namespace tecladim {
namespace {

// The first lesson's line, 77 characters.
constexpr std::u16string_view LessonOne =
    u"asdfg hjklç asdfg hjklç asdfg hjklç asdfg hjklç asdfg hjklç asdfg hjklç asdfg";
constexpr int Drill = 1;
constexpr int Passage = 158;

// A typing box fed through the judge. Keys pressed together are queued together, and the
// injected Enter joins the queue behind them, as the system's input queue delivers it.
class TypingBox {
 public:
  TypingBox(std::u16string_view model, int lesson) : model_(model), lesson_(lesson) {}

  void Press(std::u16string_view keys) {
    for (char16_t k : keys) queue_.push_back(k);
    while (!queue_.empty()) {
      const char16_t k = queue_.front();
      queue_.pop_front();
      last = Deliver(k);
    }
  }

  // One key judged with the caret where the caret pin keeps it, at the end of the text.
  Judgement Deliver(char16_t key) {
    const KeyInput in{key, static_cast<std::int64_t>(typed.size()), model_, typed, TypedLineCount(typed), lesson_};
    const Judgement j = JudgeKey(state, in);
    if (!j.cancel) typed += key == EnterChar ? std::u16string(u"\r\n") : std::u16string(1, key);
    if (j.error) ++flashes;
    if (j.lineAdvance) AdvanceLine(state, [this] {
      ++injected;
      queue_.push_back(EnterChar);
    });
    if (j.armCompletion) ++completions;
    return j;
  }

  // A flash took the keyboard: the keys still queued, the injected Enter among them, are gone.
  void Swallow() { queue_.clear(); }

  // What the window does once a flash has closed.
  void FlashClosed() {
    if (LineAdvanceLost(state, static_cast<std::int64_t>(typed.size()), model_.size())) {
      AdvanceLine(state, [this] {
        ++injected;
        queue_.push_back(EnterChar);
      });
    }
    Press(u"");
  }

  std::u16string Lines(int count) const {
    std::u16string out;
    for (int i = 0; i < count; ++i) {
      if (i > 0) out += u"\r\n";
      out += model_;
    }
    return out;
  }

  ExerciseState state;
  std::u16string typed;
  Judgement last;
  int flashes = 0;
  int injected = 0;
  int completions = 0;

 private:
  std::u16string model_;
  int lesson_;
  std::deque<char16_t> queue_;
};

TEST(ModelPosition, CaretsOnLessonOne) {
  struct Row {
    const char* name;
    std::int64_t caret;
    std::int32_t p;
  };
  const Row rows[] = {
      {"start of the first line", 0, 1},
      {"the line's last character", 76, 77},
      {"after the last character, before the line break", 77, 78},
      {"between CR and LF", 78, 79},
      {"start of the second line", 79, 1},
      {"start of the 15th line", 1106, 1},
      {"end of the 15th line", 1182, 77},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(ModelPosition(r.caret, LessonOne.size()), r.p);
  }
}

// The reduction used to take one turn per line of the caret (one per two characters on an
// empty model) and computed caret + 1 in 32 bits; it is now one step and overflow-free.
TEST(ModelPosition, EmptyModelOrHugeCaretNeitherHangsNorOverflows) {
  EXPECT_EQ(ModelPosition(0, 0), 1);
  EXPECT_EQ(ModelPosition(1, 0), 2);
  EXPECT_EQ(ModelPosition(2, 0), 1);
  EXPECT_EQ(ModelPosition(std::numeric_limits<std::int64_t>::max(), 0), 2);
  EXPECT_EQ(ModelPosition(std::numeric_limits<std::int32_t>::max(), 77), 25);  // 2147483647 = 79 * 27183337 + 24
  EXPECT_EQ(ModelPosition(-5, 77), 1);

  TypingBox box(u"", Drill);
  box.Press(u"a\r");
  EXPECT_EQ(box.typed, u"");
  EXPECT_EQ(box.state.errorCount, 1);  // the letter; the Enter is refused without error
  EXPECT_EQ(box.completions, 0);
}

TEST(TypedLineCount, EmptyLastLineIsNotCounted) {
  EXPECT_EQ(TypedLineCount(u""), 0);
  EXPECT_EQ(TypedLineCount(u"abc"), 1);
  EXPECT_EQ(TypedLineCount(u"abc\r\n"), 1);
  EXPECT_EQ(TypedLineCount(u"abc\r\nd"), 2);
  EXPECT_EQ(TypedLineCount(u"\r\n\r\n"), 2);
}

TEST(Judge, SingleKeys) {
  struct Row {
    const char* name;
    std::u16string_view model;
    std::u16string_view typed;
    char16_t key;
    Judgement verdict;
  };
  const Judgement passes{false, false, false, false, true};
  const Judgement wrong{true, true, false, false, true};
  const Judgement refused{true, false, false, false, true};
  const Row rows[] = {
      {"right letter in mid-line", u"asdfg", u"as", u'd', passes},
      {"wrong letter in mid-line", u"asdfg", u"as", u'f', wrong},
      {"a where the model has A", u"Eu Ando", u"Eu ", u'a', wrong},
      {"c where the model has ç", u"laço", u"la", u'c', wrong},
      {"e where the model has é", u"idéia", u"id", u'e', wrong},
      {"Backspace is a wrong key and deletes nothing", u"asdfg", u"as", u'\b', wrong},
      {"the character of Ctrl+V is a wrong key", u"asdfg", u"as", char16_t{22}, wrong},
      {"Enter in mid-line is refused without error", u"asdfg", u"as", EnterChar, refused},
      {"a space that belongs to the line", u"a2 ", u"a2", u' ', {false, false, true, false, true}},
      {"any character right after a line's end", u"asdfg", u"asdfg", u'a', wrong},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ExerciseState state;
    const KeyInput in{r.key, static_cast<std::int64_t>(r.typed.size()), r.model, r.typed, TypedLineCount(r.typed), Drill};
    EXPECT_EQ(JudgeKey(state, in), r.verdict);
    EXPECT_EQ(state.errorCount, r.verdict.error ? 1 : 0);
    EXPECT_EQ(state.lastKey, r.key);
    EXPECT_EQ(state.position, static_cast<std::int32_t>(r.typed.size()) + 1);
  }
}

TEST(Judge, WhileBusyAKeyPassesUnjudged) {
  ExerciseState state;
  state.busy = true;
  state.position = 4;
  const KeyInput in{u'x', 0, u"asdfg", u"", 0, Drill};
  EXPECT_EQ(JudgeKey(state, in), Judgement{});
  EXPECT_EQ(state.errorCount, 0);
  EXPECT_EQ(state.position, 4);
  EXPECT_EQ(state.lastKey, 0);
}

TEST(Judge, WholeDrillTypedWithoutErrors) {
  TypingBox box(LessonOne, Drill);
  for (int line = 1; line <= DrillRepetitions; ++line) {
    box.Press(LessonOne);
    if (line < DrillRepetitions) {
      EXPECT_EQ(box.injected, line);
      EXPECT_EQ(box.completions, 0);
      EXPECT_EQ(box.state.position, 78);  // the injected Enter, right after the line
    }
  }
  EXPECT_EQ(box.typed, box.Lines(DrillRepetitions));
  EXPECT_EQ(box.typed.size(), 1183u);
  EXPECT_EQ(box.injected, DrillRepetitions - 1);  // none after the 15th line
  EXPECT_EQ(box.completions, 1);
  EXPECT_EQ(box.state.errorCount, 0);
  EXPECT_FALSE(box.state.pula);
  EXPECT_FALSE(box.state.busy);
}

TEST(Judge, ErrorsAreCountedAndLeaveTheTextAsTheModel) {
  TypingBox box(u"asdfg", Drill);
  box.Press(u"asxdfAg");
  EXPECT_EQ(box.typed, u"asdfg\r\n");
  EXPECT_EQ(box.state.errorCount, 2);
  EXPECT_EQ(box.flashes, 2);
  box.Press(u"\b");
  EXPECT_EQ(box.typed, u"asdfg\r\n");
  EXPECT_EQ(box.state.errorCount, 3);
}

TEST(Judge, AfterTheLastLineEnterIsRefusedAndOtherKeysAreErrors) {
  TypingBox box(u"Erro.", 0);
  for (int line = 0; line < DrillRepetitions; ++line) box.Press(u"Erro.");
  EXPECT_EQ(box.completions, 1);
  EXPECT_EQ(box.typed.size(), 15u * 5 + 14 * 2);
  box.Press(u"\r");
  EXPECT_TRUE(box.last.cancel);
  EXPECT_FALSE(box.last.error);
  box.Press(u"E");
  EXPECT_TRUE(box.last.error);
  EXPECT_EQ(box.completions, 1);
  EXPECT_EQ(box.state.errorCount, 1);
}

TEST(Judge, ErroAsAPassageCompletesAfterItsFifthCharacter) {
  TypingBox box(u"Erro.", 193);
  box.Press(u"Erro");
  EXPECT_EQ(box.completions, 0);
  box.Press(u".");
  EXPECT_EQ(box.completions, 1);
  EXPECT_EQ(box.injected, 0);
  EXPECT_EQ(box.typed, u"Erro.");
}

TEST(Judge, PassageCompletesOnItsLastCharacter) {
  constexpr std::u16string_view text = u"A raposa e as uvas. Ela não as alcançou.";
  TypingBox box(text, Passage);
  box.Press(text.substr(0, text.size() - 1));
  EXPECT_EQ(box.completions, 0);
  box.Press(u"X.");
  EXPECT_EQ(box.state.errorCount, 1);
  EXPECT_EQ(box.completions, 1);
  EXPECT_EQ(box.injected, 0);
  EXPECT_EQ(box.typed, text);
}

TEST(Judge, PassageWhoseTextDiffersFromTheModelIsNotComplete) {
  // The typed text came in by some other way than the judge: the line end advances instead.
  const KeyInput in{u'.', 3, u"abc.", u"abd", 1, Passage};
  ExerciseState state;
  const Judgement j = JudgeKey(state, in);
  EXPECT_FALSE(j.armCompletion);
  EXPECT_TRUE(j.lineAdvance);
}

TEST(Judge, KeyQueuedBeforeTheInjectedEnterIsAnError) {
  TypingBox box(u"asdfg", Drill);
  box.Press(u"asdf");
  box.Press(u"gh");  // h was typed before the injected Enter came in
  EXPECT_EQ(box.state.errorCount, 1);
  EXPECT_EQ(box.typed, u"asdfg\r\n");
  EXPECT_FALSE(box.state.pula);
  box.Press(u"a");
  EXPECT_EQ(box.state.position, 1);
  EXPECT_EQ(box.state.errorCount, 1);
}

TEST(Judge, EnterQueuedBeforeTheInjectedOneTakesItsPlace) {
  TypingBox box(u"asdfg", Drill);
  box.Press(u"asdfg\r");
  EXPECT_EQ(box.typed, u"asdfg\r\n");  // one line break: the injected Enter was refused
  EXPECT_TRUE(box.last.cancel);
  EXPECT_FALSE(box.last.error);
  EXPECT_EQ(box.state.errorCount, 0);
  EXPECT_FALSE(box.state.pula);
}

TEST(Judge, LostInjectedEnterLeavesTheStudentsEnterAsTheLineAdvance) {
  TypingBox box(u"asdfg", Drill);
  box.Deliver(u'a');
  box.Deliver(u's');
  box.Deliver(u'd');
  box.Deliver(u'f');
  EXPECT_TRUE(box.Deliver(u'g').lineAdvance);  // its Enter went to the alert flash instead
  EXPECT_TRUE(box.Deliver(u'x').error);
  EXPECT_TRUE(box.Deliver(u'y').error);
  EXPECT_FALSE(box.Deliver(EnterChar).cancel);
  EXPECT_EQ(box.typed, u"asdfg\r\n");
}

// A wrong key typed just before the injected Enter used to strand the student at the line's
// end: its flash swallowed the Enter, and every key there but the student's Enter was wrong.
TEST(Judge, SwallowedLineAdvanceIsPutBackOnceTheFlashCloses) {
  TypingBox box(u"asdfg", Drill);
  box.Press(u"asdf");
  EXPECT_TRUE(box.Deliver(u'g').lineAdvance);
  EXPECT_TRUE(box.Deliver(u'h').error);  // typed before the injected Enter came in
  box.Swallow();
  box.FlashClosed();
  EXPECT_EQ(box.injected, 2);
  EXPECT_EQ(box.typed, u"asdfg\r\n");
  box.Press(u"asdfg");
  EXPECT_EQ(box.typed, u"asdfg\r\nasdfg\r\n");
  EXPECT_EQ(box.state.errorCount, 1);  // the wrong key alone

  // The Enter arrived after all (the flash closed before it was read): nothing is put back.
  TypingBox late(u"asdfg", Drill);
  late.Press(u"asdfgh");
  late.FlashClosed();
  EXPECT_EQ(late.injected, 1);
  EXPECT_EQ(late.typed, u"asdfg\r\n");
}

TEST(Judge, LineAdvanceIsLostOnlyWhilePulaWaitsAtALinesEnd) {
  struct Row {
    const char* name;
    bool pula;
    std::int64_t caret;
    std::size_t modelLength;
    bool lost;
  };
  const Row rows[] = {
      {"first line complete, Enter swallowed", true, 5, 5, true},
      {"third line complete, Enter swallowed", true, 19, 5, true},
      {"last line complete: no Enter was sent", false, 5, 5, false},
      {"mid-line", true, 3, 5, false},
      {"start of the next line: the Enter came", true, 7, 5, false},
      {"lesson 1 after its first line", true, 77, 77, true},
      {"empty model", true, 0, 0, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    ExerciseState state;
    state.pula = r.pula;
    EXPECT_EQ(LineAdvanceLost(state, r.caret, r.modelLength), r.lost);
  }
}

// The student's Enter with the caret before a line's last character used to pass and
// inject the line advance as well: two line breaks, and a passage could never be finished.
TEST(Judge, StudentsEnterBeforeTheLinesLastCharacterIsRefused) {
  TypingBox drill(u"asdfg", Drill);
  drill.Press(u"asdf\r");
  EXPECT_EQ(drill.typed, u"asdf");
  EXPECT_EQ(drill.injected, 0);
  EXPECT_EQ(drill.state.errorCount, 0);
  drill.Press(u"g");
  EXPECT_EQ(drill.typed, u"asdfg\r\n");

  TypingBox passage(u"Erro.", Passage);
  passage.Press(u"Erro\r.");
  EXPECT_EQ(passage.typed, u"Erro.");
  EXPECT_EQ(passage.completions, 1);
}

// A failing injection used to leave the busy flag set, after which every key passed unjudged.
TEST(Judge, FailedLineAdvanceLeavesTheJudgeWorking) {
  ExerciseState state;
  EXPECT_THROW(AdvanceLine(state, [] { throw std::runtime_error("no input queue"); }), std::runtime_error);
  EXPECT_FALSE(state.busy);
  EXPECT_FALSE(state.pula);
  const KeyInput in{u'x', 0, u"asdfg", u"", 0, Drill};
  EXPECT_TRUE(JudgeKey(state, in).error);
}

TEST(Judge, LineAdvanceIsBusyOnlyWhileInjecting) {
  ExerciseState state;
  bool busyDuring = false;
  AdvanceLine(state, [&] { busyDuring = state.busy; });
  EXPECT_TRUE(busyDuring);
  EXPECT_FALSE(state.busy);
  EXPECT_TRUE(state.pula);
}

// Every lesson of the catalogue, typed without a fault from its lesson start on, completes
// once, with a line advance after each drill line but the last and none in a passage.
TEST(Judge, EveryCatalogueLessonCanBeCompleted) {
  for (int lesson = 1; lesson <= LessonCount; ++lesson) {
    SCOPED_TRACE(lesson);
    const LessonSetup setup = PrepareLesson(lesson);
    TypingBox box(setup.model, lesson);
    const int lines = IsDrill(lesson) ? DrillRepetitions : 1;
    for (int line = 0; line < lines; ++line) box.Press(setup.model);
    EXPECT_EQ(box.completions, 1);
    EXPECT_EQ(box.injected, lines - 1);
    EXPECT_EQ(box.state.errorCount, 0);
    EXPECT_EQ(box.typed, box.Lines(lines));
    EXPECT_EQ(static_cast<std::int32_t>(box.typed.size()) - 2 * (lines - 1), setup.total);
  }
}

}  // namespace
}  // namespace tecladim
