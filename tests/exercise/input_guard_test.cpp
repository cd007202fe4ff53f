#include <gtest/gtest.h>

#include "exercise/input_guard.h"

namespace tecladim {
namespace {

TEST(PasteKeyGuard, RefusesOnlyThePasteCombinations) {
  constexpr std::uint16_t C = 67, X = 88, Delete = 46;
  constexpr Modifiers none{};
  constexpr Modifiers ctrl = none | KeyModifier::Ctrl;
  constexpr Modifiers shift = none | KeyModifier::Shift;
  constexpr Modifiers alt = none | KeyModifier::Alt;
  struct Row {
    const char* name;
    std::uint16_t key;
    Modifiers modifiers;
    KeyDownVerdict verdict;
  };
  const Row rows[] = {
      {"Ctrl+V", VirtualKeyV, ctrl, KeyDownVerdict::Refuse},
      {"Ctrl+Shift+V", VirtualKeyV, KeyModifier::Ctrl | KeyModifier::Shift, KeyDownVerdict::Refuse},
      {"Ctrl+Alt+V", VirtualKeyV, KeyModifier::Ctrl | KeyModifier::Alt, KeyDownVerdict::Refuse},
      {"Shift+Insert", VirtualKeyInsert, shift, KeyDownVerdict::Refuse},
      {"Ctrl+Shift+Insert", VirtualKeyInsert, KeyModifier::Ctrl | KeyModifier::Shift, KeyDownVerdict::Refuse},
      {"V alone", VirtualKeyV, none, KeyDownVerdict::Pass},
      {"Shift+V, a capital", VirtualKeyV, shift, KeyDownVerdict::Pass},
      {"Alt+V", VirtualKeyV, alt, KeyDownVerdict::Pass},
      {"Insert alone", VirtualKeyInsert, none, KeyDownVerdict::Pass},
      {"Ctrl+Insert copies", VirtualKeyInsert, ctrl, KeyDownVerdict::Pass},
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
