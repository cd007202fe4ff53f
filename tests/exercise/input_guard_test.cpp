#include <gtest/gtest.h>

#include "exercise/input_guard.h"

namespace tecladim {
namespace {

TEST(PasteKeyGuard, RefusesOnlyThePasteCombinations) {
  constexpr std::uint16_t C = 67, X = 88, Delete = 46;
  constexpr ShiftState none{};
  constexpr ShiftState ctrl = ShiftState::Ctrl;
  constexpr ShiftState shift = ShiftState::Shift;
  constexpr ShiftState alt = ShiftState::Alt;
  struct Row {
    const char* name;
    std::uint16_t key;
    ShiftState modifiers;
    KeyDownVerdict verdict;
  };
  const Row rows[] = {
      {"Ctrl+V", vk::LetterV, ctrl, KeyDownVerdict::Refuse},
      {"Ctrl+Shift+V", vk::LetterV, ShiftState::Ctrl | ShiftState::Shift, KeyDownVerdict::Refuse},
      {"Ctrl+Alt+V", vk::LetterV, ShiftState::Ctrl | ShiftState::Alt, KeyDownVerdict::Refuse},
      {"Shift+Insert", vk::Insert, shift, KeyDownVerdict::Refuse},
      {"Ctrl+Shift+Insert", vk::Insert, ShiftState::Ctrl | ShiftState::Shift, KeyDownVerdict::Refuse},
      {"V alone", vk::LetterV, none, KeyDownVerdict::Pass},
      {"Shift+V, a capital", vk::LetterV, shift, KeyDownVerdict::Pass},
      {"Alt+V", vk::LetterV, alt, KeyDownVerdict::Pass},
      {"Insert alone", vk::Insert, none, KeyDownVerdict::Pass},
      {"Ctrl+Insert copies", vk::Insert, ctrl, KeyDownVerdict::Pass},
      {"Ctrl+C copies", C, ctrl, KeyDownVerdict::Pass},
      {"Ctrl+X cuts", X, ctrl, KeyDownVerdict::Pass},
      {"Shift+Delete cuts", Delete, shift, KeyDownVerdict::Pass},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(PasteKeyVerdict(r.key, r.modifiers), r.verdict);
  }
}

TEST(SpinCharGuard, TakesNumbersAndEditingKeys) {
  for (char16_t c : std::u16string_view(u"0123456789+-,\b")) {
    SCOPED_TRACE(static_cast<int>(c));
    EXPECT_EQ(SpinCharVerdictFor(c), SpinCharVerdict::Accept);
  }
  EXPECT_EQ(SpinCharVerdictFor(char16_t{3}), SpinCharVerdict::Accept);  // Ctrl+C
  for (char16_t c : std::u16string_view(u"a .e\rç$")) {
    SCOPED_TRACE(static_cast<int>(c));
    EXPECT_EQ(SpinCharVerdictFor(c), SpinCharVerdict::RefuseWithBeep);
  }
}

}  // namespace
}  // namespace tecladim
