#include "ui/anchors.h"

#include <algorithm>

namespace tecladim {

void AnchorLayout::Add(QWidget* control, Anchoring anchoring) {
  if (anchoring == Anchoring::TopLeft) return;
  controls_.push_back({control, anchoring, control->geometry()});
}

void AnchorLayout::Apply(int clientHeight) const {
  const int dy = clientHeight - designHeight_;
  for (const Anchored& a : controls_) {
    QRect g = a.designGeometry;
    if (a.anchoring == Anchoring::LeftBottom) {
      // Moved, never resized: a label that sized itself to a longer text since keeps it.
      a.control->move(g.left(), g.top() + dy);
    } else {
      g.setHeight(qMax(0, g.height() + dy));
      a.control->setGeometry(g);
    }
  }
}

QPoint FramePositionWithin(const QRect& frame, const QRect& available) {
  const auto fit = [](int start, int length, int areaStart, int areaLength) {
    // std::clamp would need start <= end; a frame larger than the area keeps its start.
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
  };
  return {fit(frame.x(), frame.width(), available.x(), available.width()),
          fit(frame.y(), frame.height(), available.y(), available.height())};
}

}  // namespace tecladim
