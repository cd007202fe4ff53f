#include <gtest/gtest.h>

#include "exercise/key_codes.h"

namespace tecladim {
namespace {

// The codes must be Windows' own: the Windows key file hands them to keybd_event as they are.
TEST(VirtualKeyCodes, AreTheWindowsNumbers) {
  EXPECT_EQ(vk::Back, 0x08);
  EXPECT_EQ(vk::Tab, 0x09);
  EXPECT_EQ(vk::Return, 0x0D);
  EXPECT_EQ(vk::Shift, 0x10);
  EXPECT_EQ(vk::Control, 0x11);
  EXPECT_EQ(vk::Menu, 0x12);
  EXPECT_EQ(vk::Escape, 0x1B);
  EXPECT_EQ(vk::Space, 0x20);
  EXPECT_EQ(vk::Prior, 0x21);
  EXPECT_EQ(vk::Next, 0x22);
  EXPECT_EQ(vk::End, 0x23);
  EXPECT_EQ(vk::Home, 0x24);
  EXPECT_EQ(vk::Left, 0x25);
  EXPECT_EQ(vk::Up, 0x26);
  EXPECT_EQ(vk::Right, 0x27);
  EXPECT_EQ(vk::Down, 0x28);
  EXPECT_EQ(vk::Insert, 0x2D);
  EXPECT_EQ(vk::Delete, 0x2E);
  EXPECT_EQ(vk::Digit0, '0');
  EXPECT_EQ(vk::LetterA, 'A');
  EXPECT_EQ(vk::LetterV, 'V');
  EXPECT_EQ(vk::LetterZ, 'Z');
  EXPECT_EQ(vk::F1, 0x70);
}

TEST(ShiftStateBits, ShiftIsBitZeroAltBitOneCtrlBitTwo) {
  EXPECT_EQ(ShiftState::Shift.bits, 1);
  EXPECT_EQ(ShiftState::Alt.bits, 2);
  EXPECT_EQ(ShiftState::Ctrl.bits, 4);
  EXPECT_EQ((ShiftState::Ctrl | ShiftState::Shift).bits, 5);
  EXPECT_EQ(ShiftState::Ctrl | ShiftState::Alt | ShiftState::Shift, ShiftState{7});
  EXPECT_TRUE(ShiftState{4}.Has(ShiftState::CtrlBit));
  EXPECT_FALSE(ShiftState{4}.Has(ShiftState::ShiftBit));
  EXPECT_TRUE(ShiftState{0x38}.Has(5));
  EXPECT_FALSE(ShiftState{0x100}.Has(8));  // mouse buttons and the like are never tested
}

}  // namespace
}  // namespace tecladim
