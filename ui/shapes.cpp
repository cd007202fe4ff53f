#include "ui/shapes.h"

#include <QMouseEvent>
#include <QPainter>

namespace tecladim {

void ShapeRect::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(fill_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick) onClick();
}

}  // namespace tecladim
