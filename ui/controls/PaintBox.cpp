#include "ui/controls/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

#include <utility>

namespace velkaro {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent), canvas_(&image_, this) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void PaintBox::EnsureImage() {
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (image_.size() == size) return;
    image_ = QImage(size, QImage::Format_RGB32);
    image_.fill(Canvas::ToRgb(background_));
    canvas_.SetImage(&image_);
    needsPaintHandler_ = true;
}

void PaintBox::Repaint() {
    EnsureImage();
    needsPaintHandler_ = false;
    if (OnPaint) OnPaint();
    update();
}

void PaintBox::resizeEvent(QResizeEvent*) {
    EnsureImage();
    Repaint();
}

void PaintBox::paintEvent(QPaintEvent* event) {
    EnsureImage();
    if (needsPaintHandler_) {
        needsPaintHandler_ = false;
        if (OnPaint) OnPaint();
    }
    canvas_.Shown();
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

void PaintBox::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown) {
        const QPoint p = event->position().toPoint();
        OnMouseDown(event->button(), p.x(), p.y());
    }
}

void PaintBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (OnMouseUp) OnMouseUp(event->button(), p.x(), p.y());
    const bool ofDoubleClick = std::exchange(releaseEndsDoubleClick_, false);
    if (OnClick && !ofDoubleClick && event->button() == Qt::LeftButton && rect().contains(p))
        OnClick();
}

// Qt hands a widget the second press of two quick clicks only as a double-click: it is a press
// like any other, so quick work on neighbouring cells or swatches loses nothing. Its release
// is no second click, though: a double-click on the preview bar stops it once rather than
// stopping and starting it again.
void PaintBox::mouseDoubleClickEvent(QMouseEvent* event) {
    releaseEndsDoubleClick_ = event->button() == Qt::LeftButton;
    mousePressEvent(event);
}

void PaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove) {
        const QPoint p = event->position().toPoint();
        OnMouseMove(p.x(), p.y());
    }
}

} // namespace velkaro
