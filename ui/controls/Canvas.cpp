#include "ui/controls/Canvas.h"

#include <algorithm>
#include <cstdlib>

namespace velkaro {

void Canvas::Span(int y, int x1, int x2, QRgb colour) {
    if (!image_ || y < 0 || y >= image_->height()) return;
    x1 = std::max(x1, 0);
    x2 = std::min(x2, image_->width());
    if (x1 >= x2) return;
    auto* line = reinterpret_cast<QRgb*>(image_->bits() +
                                         static_cast<qsizetype>(y) * image_->bytesPerLine());
    std::fill(line + x1, line + x2, colour);
}

void Canvas::Plot(int x, int y, QRgb colour) {
    if (!image_ || x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return;
    reinterpret_cast<QRgb*>(image_->bits() +
                            static_cast<qsizetype>(y) * image_->bytesPerLine())[x] = colour;
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
    if (!image_ || right <= left || bottom <= top) return;
    RequestUpdate();
    const int width = image_->width();
    const int x1 = std::max(left, 0);
    const int x2 = std::min(right, width);
    const int y1 = std::max(top, 0);
    const int y2 = std::min(bottom, image_->height());
    if (x1 >= x2 || y1 >= y2) return;
    const QRgb pen = ToRgb(pen_);
    const QRgb brush = ToRgb(brush_);
    // The grid view draws over ten thousand small cells per frame: the pixels are reached once
    // per rectangle, and each row is clipped here rather than span by span.
    uchar* bits = image_->bits();
    const qsizetype bytesPerLine = image_->bytesPerLine();
    const int innerLeft = std::max(left + 1, 0);
    const int innerRight = std::min(right - 1, width);
    const bool leftEdgeShown = left >= 0;
    const bool rightEdgeShown = right <= width;
    for (int y = y1; y < y2; ++y) {
        auto* line = reinterpret_cast<QRgb*>(bits + static_cast<qsizetype>(y) * bytesPerLine);
        if (y == top || y == bottom - 1) {
            std::fill(line + x1, line + x2, pen);
            continue;
        }
        if (innerLeft < innerRight) std::fill(line + innerLeft, line + innerRight, brush);
        if (leftEdgeShown) line[left] = pen;
        if (rightEdgeShown) line[right - 1] = pen;
    }
}

void Canvas::FillRect(int left, int top, int right, int bottom) {
    RequestUpdate();
    const QRgb brush = ToRgb(brush_);
    for (int y = std::max(top, 0); y < bottom; ++y) Span(y, left, right, brush);
}

void Canvas::MoveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void Canvas::LineTo(int x, int y) {
    RequestUpdate();
    const QRgb pen = ToRgb(pen_);
    if (penX_ == x || penY_ == y) {
        DrawStraightLine(x, y, pen);
        MoveTo(x, y);
        return;
    }
    // Bresenham from the current point, stopping before the end pixel.
    int x0 = penX_, y0 = penY_;
    const int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
    const int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
    int err = dx + dy;
    while (x0 != x || y0 != y) {
        Plot(x0, y0, pen);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
    MoveTo(x, y);
}

// A level or upright line, cut to the image first: a selection frame may reach thousands of
// rows beyond the view, and none of those pixels is worth a visit.
void Canvas::DrawStraightLine(int x, int y, QRgb pen) {
    if (!image_) return;
    const bool level = penY_ == y;
    const int from = level ? penX_ : penY_;
    const int to = level ? x : y; // the end pixel is not drawn
    const int across = level ? y : x;
    const int length = level ? image_->width() : image_->height();
    const int breadth = level ? image_->height() : image_->width();
    if (from == to || across < 0 || across >= breadth) return;
    const int first = std::max(from < to ? from : to + 1, 0);
    const int last = std::min(from < to ? to - 1 : from, length - 1);
    for (int i = first; i <= last; ++i) level ? Plot(i, across, pen) : Plot(across, i, pen);
}

TColor Canvas::Pixel(int x, int y) const {
    if (!image_ || x < 0 || y < 0 || x >= image_->width() || y >= image_->height()) return Black;
    return FromRgb(image_->pixel(x, y));
}

} // namespace velkaro
