#include "exercise/key_statistics.h"

#include <gtest/gtest.h>

#include <deque>
#include <numeric>
#include <string>
#include <string_view>

#include "exercise/judge.h"
#include "exercise/lesson_start.h"

namespace tecladim {
namespace {

// The window's part, as Memo2KeyPress does it: judge, record, insert, and the injected Enter
// queued behind whatever keys were pressed together. Every key comes 200 ms after the last;
// Press types them one by one, PressTogether queues them at once.
class Window {
 public:
  explicit Window(int lesson) : setup_(PrepareLesson(lesson)) {}

  void Press(std::u16string_view keys) {
    for (char16_t k : keys) PressTogether({&k, 1});
  }
  void PressTogether(std::u16string_view keys) {
    for (char16_t k : keys) queue_.push_back(k);
    while (!queue_.empty()) {
      const char16_t key = queue_.front();
      queue_.pop_front();
      const KeyInput in{
          key, static_cast<std::int64_t>(typed_.size()), setup_.model, typed_, TypedLineCount(typed_), setup_.lesson};
      const Judgement verdict = JudgeKey(state, in);
      stats.Record(in, verdict, state, nowMs_ += 200);
      if (!verdict.cancel) typed_ += key == EnterChar ? std::u16string(u"\r\n") : std::u16string(1, key);
      if (verdict.lineAdvance) AdvanceLine(state, [this] { queue_.push_back(EnterChar); });
    }
  }
  std::u16string_view Model() const { return setup_.model; }

  ExerciseState state;
  KeyStatistics stats;

 private:
  LessonSetup setup_;
  std::u16string typed_;
  std::deque<char16_t> queue_;
  std::int64_t nowMs_ = 0;
};

const KeyCounts* Find(const KeyStatistics& s, char16_t expected) {
  for (const KeyCounts& k : s.Keys())
    if (k.expected == expected) return &k;
  return nullptr;
}

std::int32_t WrongSum(const KeyStatistics& s) {
  std::int32_t sum = 0;
  for (const KeyCounts& k : s.Keys()) {
    sum += k.wrong;
    EXPECT_EQ(k.wrong, std::accumulate(k.typedInstead.begin(), k.typedInstead.end(), 0,
                                       [](int n, const WrongKey& w) { return n + w.count; }));
  }
  return sum;
}

struct Slip {
  const char* name;
  int lesson;
  std::u16string_view keys;  // what reaches the typing box, from the lesson's first key on
  char16_t expected;         // where the slip counts
  char16_t typed;            // what it counts as typed instead
  std::int32_t errors;       // the judge's count
};

// Lesson 31 starts "idéia é só", 28 "Ana Beatriz", 34 "ação lição", 1 "asdfg hjklç".
const Slip Slips[] = {
    {"the accent forgotten: e for é", 31, u"ide", u'é', u'e', 1},
    {"a wrong dead-key pair makes one wrong letter: á for ã", 34, u"aç\u00e1", u'ã', u'á', 1},
    {"the dead key's letter right counts as that letter", 34, u"açã", u'ã', 0, 0},
    {"Shift forgotten: a for A counts on the capital", 28, u"a", u'A', u'a', 1},
    {"c for ç", 1, u"asdfg hjklc", u'ç', u'c', 1},
    {"Backspace is judged like any key, and wrong", 1, u"as\b", u'd', u'\b', 1},
    {"the same slip twice on one letter", 1, u"xxa", u'a', u'x', 2},
    {"the student's own Enter in mid-line is no key of the statistics", 1, u"as\r", u'd', 0, 0},
};

TEST(KeyStatistics, EachSlipCountsOnTheExpectedLetterWithWhatWasTyped) {
  for (const Slip& slip : Slips) {
    Window w(slip.lesson);
    w.Press(slip.keys);
    ASSERT_EQ(w.state.errorCount, slip.errors) << slip.name;
    EXPECT_EQ(WrongSum(w.stats), slip.errors) << slip.name;
    EXPECT_EQ(w.stats.Errors(), slip.errors) << slip.name;
    const KeyCounts* k = Find(w.stats, slip.expected);
    if (slip.errors == 0) {
      EXPECT_TRUE(k == nullptr || k->wrong == 0) << slip.name;
      continue;
    }
    ASSERT_NE(k, nullptr) << slip.name;
    ASSERT_FALSE(k->typedInstead.empty()) << slip.name;
    EXPECT_EQ(k->typedInstead.front().typed, slip.typed) << slip.name;
  }
}

TEST(KeyStatistics, AccentedLetterRightCountsOnceOnItself) {
  Window w(34);
  w.Press(u"ação");
  const KeyCounts* a = Find(w.stats, u'ã');
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->right, 1);
  EXPECT_EQ(Find(w.stats, u'a')->right, 1);
  EXPECT_EQ(w.stats.JudgedKeys(), 4);
}

// A whole drill line, the line advance and the next line: the injected Enter is not the
// student's key, and every other key is.
TEST(KeyStatistics, TheLineAdvanceIsNotAKeyOfTheStudents) {
  Window w(1);
  std::u16string twoLines(w.Model());
  twoLines += w.Model().substr(0, 5);
  w.Press(twoLines);
  EXPECT_EQ(w.stats.JudgedKeys(), static_cast<std::int32_t>(twoLines.size()));
  EXPECT_EQ(Find(w.stats, EnterChar), nullptr);
  EXPECT_EQ(Find(w.stats, u'a')->right, 8);
}

// A key pressed together with the line's last one is judged before the injected Enter, at
// the line break: the judge counts it wrong, and so does the line end's entry.
TEST(KeyStatistics, KeyTypedBeforeTheLineAdvanceCountsOnTheLineEnd) {
  Window w(1);
  std::u16string line(w.Model());
  w.Press(line.substr(0, line.size() - 1));
  w.PressTogether(std::u16string(1, line.back()) + u"a");
  ASSERT_EQ(w.state.errorCount, 1);
  const KeyCounts* end = Find(w.stats, LineEndKey);
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(end->wrong, 1);
  EXPECT_EQ(WrongSum(w.stats), 1);
}

// A student's realistic exercise: the first three lines of lesson 31 with a slip every few
// words of each kind; the per-key counts add up to the count the student sees.
TEST(KeyStatistics, PerKeyCountsAddUpToTheExercisesErrorCount) {
  Window w(31);
  const std::u16string_view model = w.Model();
  const std::u16string_view wrongFor = u"eaAx\b;";
  for (int line = 0; line < 3; ++line) {
    for (std::size_t i = 0; i < model.size(); ++i) {
      if ((i + static_cast<std::size_t>(line)) % 7 == 3) w.Press(wrongFor.substr((i + line) % wrongFor.size(), 1));
      w.Press(model.substr(i, 1));
    }
  }
  EXPECT_GT(w.state.errorCount, 20);
  EXPECT_EQ(WrongSum(w.stats), w.state.errorCount);
  EXPECT_EQ(w.stats.Errors(), w.state.errorCount);
  EXPECT_EQ(w.stats.JudgedKeys(), static_cast<std::int32_t>(3 * model.size()) + w.state.errorCount);
}

struct Timing {
  const char* name;
  std::int64_t times[4];  // four keys "asdf" of lesson 1, the third one wrong when wrongThird
  bool wrongThird;
  std::int64_t fMs;  // the time recorded on "f"
  std::int32_t fTimed;
};

const Timing Timings[] = {
    {"the time since the key before", {1000, 1200, 1450, 1700}, false, 250, 1},
    {"after a wrong key the flash stood between: not timed", {1000, 1200, 1450, 2700}, true, 0, 0},
    {"a pause of half a minute is not timed", {1000, 1200, 1450, 31450}, false, 0, 0},
    {"ten seconds still are", {1000, 1200, 1450, 11450}, false, 10000, 1},
};

TEST(KeyStatistics, RightKeysAreTimedFromTheKeyBefore) {
  for (const Timing& t : Timings) {
    KeyStatistics s;
    s.Record(u'a', u'a', KeyVerdict::Right, t.times[0]);
    s.Record(u's', u's', KeyVerdict::Right, t.times[1]);
    s.Record(u'd', t.wrongThird ? u'x' : u'd', t.wrongThird ? KeyVerdict::Wrong : KeyVerdict::Right, t.times[2]);
    s.Record(u'f', u'f', KeyVerdict::Right, t.times[3]);
    EXPECT_EQ(Find(s, u'a')->timedRight, 0) << "the first key has no key before it";
    EXPECT_EQ(Find(s, u's')->rightMs, 200) << t.name;
    EXPECT_EQ(Find(s, u'f')->rightMs, t.fMs) << t.name;
    EXPECT_EQ(Find(s, u'f')->timedRight, t.fTimed) << t.name;
  }
}

TEST(KeyStatistics, AnExerciseCountsFromTwentyJudgedKeys) {
  Window w(1);
  w.Press(w.Model().substr(0, MinimumJudgedKeys - 1));
  EXPECT_FALSE(w.stats.CountsForStatistics());
  w.Press(w.Model().substr(MinimumJudgedKeys - 1, 1));
  EXPECT_TRUE(w.stats.CountsForStatistics());
  w.stats.Clear();
  EXPECT_EQ(w.stats.JudgedKeys(), 0);
  EXPECT_TRUE(w.stats.Keys().empty());
}

// Characters beyond the index and many distinct ones keep one entry each.
TEST(KeyStatistics, EveryExpectedCharacterHasOneEntry) {
  KeyStatistics s;
  for (int round = 0; round < 2; ++round)
    for (char16_t c = 0x20; c < 0x3A0; ++c) s.Record(c, c, KeyVerdict::Right, 0);
  EXPECT_EQ(s.Keys().size(), 0x380u);
  for (const KeyCounts& k : s.Keys()) ASSERT_EQ(k.right, 2);
}

}  // namespace
}  // namespace tecladim
