#pragma once
#include <Qt>

#include "exercise/key_codes.h"

// The toolkit's modifier keys as the core's shift state: what the input guards judge.
namespace tecladim {

inline ShiftState ShiftStateOf(Qt::KeyboardModifiers qt) {
  ShiftState m;
  if (qt.testFlag(Qt::ShiftModifier)) m = m | ShiftState::Shift;
  if (qt.testFlag(Qt::AltModifier)) m = m | ShiftState::Alt;
  if (qt.testFlag(Qt::ControlModifier)) m = m | ShiftState::Ctrl;
  return m;
}

}  // namespace tecladim
