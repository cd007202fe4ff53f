#pragma once
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <vector>

namespace tecladim {

// Which edges of the window a control keeps its distance to. Left and top always hold;
// nothing in the main window follows the right edge.
enum class Anchoring { TopLeft, LeftBottom, LeftTopBottom };

// Moves the bottom-anchored controls and stretches the top-and-bottom ones when the
// window's client height changes, keeping the distances they have at the design height.
// A moved control keeps its current size, so labels that size themselves to their text
// go on doing so.
class AnchorLayout {
 public:
  explicit AnchorLayout(int designHeight) : designHeight_(designHeight) {}

  void Add(QWidget* control, Anchoring anchoring);
  void Apply(int clientHeight) const;

 private:
  struct Anchored {
    QWidget* control;
    Anchoring anchoring;
    QRect designGeometry;
  };
  int designHeight_;
  std::vector<Anchored> controls_;
};

// Where a window's frame goes so that its title bar, and as much below it as fits, is on
// the screen's free area (a taskbar takes part of a 768-pixel screen): unchanged when the
// frame fits, else moved in, its top-left corner first when it is larger than the area.
QPoint FramePositionWithin(const QRect& frame, const QRect& available);

}  // namespace tecladim
