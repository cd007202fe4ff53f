#include "ui/anchors.h"

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

}  // namespace tecladim
