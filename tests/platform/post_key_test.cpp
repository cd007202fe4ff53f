#include <gtest/gtest.h>

#include <vector>

#include "platform/fake_services.h"
#include "platform/post_key.h"
#include "platform/system_services.h"

namespace tecladim {
namespace {

struct PostKeyRow {
  const char* name;
  std::uint16_t key;
  ShiftState shift;
  KeyKind kind;
  std::vector<SentKey> expected;
};

void PrintTo(const PostKeyRow& row, std::ostream* os) { *os << row.name; }

class PostKeySequence : public ::testing::TestWithParam<PostKeyRow> {};

TEST_P(PostKeySequence, SendsTheEventsInOrder) {
  FakeServices fake;
  PostKeyEx32(fake, GetParam().key, GetParam().shift, GetParam().kind);
  EXPECT_EQ(fake.keys, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PostKeySequence,
    ::testing::Values(
        PostKeyRow{"the line advance is one Enter down and up",
                   13, {}, KeyKind::Normal, {{0x0D, 0x1C, 0}, {0x0D, 0x1C, 2}}},
        PostKeyRow{"Ctrl and Shift around an extended key",
                   0x2E, ShiftState::Ctrl | ShiftState::Shift, KeyKind::Extended,
                   {{0x11, 0x1D, 0}, {0x10, 0x2A, 0}, {0x2E, 0x53, 1}, {0x2E, 0x53, 3},
                    {0x10, 0x2A, 2}, {0x11, 0x1D, 2}}},
        PostKeyRow{"Alt is pressed after Shift and released before it",
                   'A', ShiftState::Alt | ShiftState::Shift, KeyKind::Normal,
                   {{0x10, 0x2A, 0}, {0x12, 0x38, 0}, {0x41, 0x1E, 0}, {0x41, 0x1E, 2},
                    {0x12, 0x38, 2}, {0x10, 0x2A, 2}}},
        PostKeyRow{"all three modifiers go Ctrl, Shift, Alt and come back Alt, Shift, Ctrl",
                   'V', ShiftState::Alt | ShiftState::Ctrl | ShiftState::Shift, KeyKind::Normal,
                   {{0x11, 0x1D, 0}, {0x10, 0x2A, 0}, {0x12, 0x38, 0}, {0x56, 0x2F, 0}, {0x56, 0x2F, 2},
                    {0x12, 0x38, 2}, {0x10, 0x2A, 2}, {0x11, 0x1D, 2}}},
        PostKeyRow{"an extended key without modifiers",
                   13, {}, KeyKind::Extended, {{0x0D, 0x1C, 1}, {0x0D, 0x1C, 3}}},
        PostKeyRow{"only the low byte of the key is sent",
                   0x010D, {}, KeyKind::Normal, {{0x0D, 0x1C, 0}, {0x0D, 0x1C, 2}}},
        PostKeyRow{"mouse-button bits of the shift state press nothing",
                   13, ShiftState{0x0038}, KeyKind::Normal, {{0x0D, 0x1C, 0}, {0x0D, 0x1C, 2}}}));

struct ScanRow {
  std::uint8_t virtualKey;
  std::uint8_t scanCode;
};

// The codes of a standard PC keyboard, as Windows reports them.
constexpr ScanRow KnownScanCodes[] = {
    {0x0D, 0x1C}, {0x10, 0x2A}, {0x11, 0x1D}, {0x12, 0x38}, {0x08, 0x0E}, {0x20, 0x39},
    {'A', 0x1E},  {'Q', 0x10},  {'P', 0x19},  {'L', 0x26},  {'Z', 0x2C},  {'M', 0x32},
    {'1', 0x02},  {'9', 0x0A},  {'0', 0x0B},  {0x2D, 0x52}, {0x70, 0x3B}, {0x7B, 0x58},
    {0x07, 0x00},  // no key: no scan code
};

TEST(ScanCodes, AreThoseOfAStandardKeyboardOnEverySystem) {
  SystemServices system;
  FakeServices fake;
  for (const ScanRow& row : KnownScanCodes) {
    EXPECT_EQ(fake.MapVirtualKey(row.virtualKey), row.scanCode) << int{row.virtualKey};
    EXPECT_EQ(system.MapVirtualKey(row.virtualKey), row.scanCode) << int{row.virtualKey};
  }
}

}  // namespace
}  // namespace tecladim
