#pragma once
#include <QColor>
#include <QLabel>
#include <QWidget>
#include <functional>

namespace tecladim {

// A filled rectangle with a 1-pixel black outline (the history panel, the summary box).
class ShapeRect : public QWidget {
  Q_OBJECT
 public:
  ShapeRect(QWidget* parent, QColor fill) : QWidget(parent), fill_(fill) {}

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor fill_;
};

// A label that reacts to a left click, with the hand-shaped cursor (the web address).
class LinkLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;
  std::function<void()> onClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace tecladim
