#pragma once

#include "model/Color.h"

#include <QImage>
#include <QWidget>

namespace velkaro {

// Draws into a paint box's image with the rules the editor's drawing relies on: rectangles
// exclude their right and bottom edge, a rectangle is outlined with the pen and filled with the
// brush, and a line leaves out its end pixel. Writes go straight into the pixels, clipped to the
// image, because the grid view redraws tens of thousands of cells per frame.
class Canvas {
public:
    explicit Canvas(QImage* image = nullptr, QWidget* owner = nullptr)
        : image_(image), owner_(owner) {}
    void SetImage(QImage* image) { image_ = image; }
    // The owner shows the image again after the next draw; one request per frame is enough.
    void Shown() { updateRequested_ = false; }

    void SetPenColor(TColor c) { pen_ = c; }
    void SetBrushColor(TColor c) { brush_ = c; }
    TColor PenColor() const { return pen_; }
    TColor BrushColor() const { return brush_; }

    // Outline (one pixel, pen colour) and inside (brush colour) of left..right-1, top..bottom-1.
    void Rectangle(int left, int top, int right, int bottom);
    // The whole area left..right-1, top..bottom-1 in the brush colour.
    void FillRect(int left, int top, int right, int bottom);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);

    TColor Pixel(int x, int y) const;
    int Width() const { return image_ ? image_->width() : 0; }
    int Height() const { return image_ ? image_->height() : 0; }

    static QRgb ToRgb(TColor c) {
        return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
    }
    static TColor FromRgb(QRgb c) {
        return static_cast<TColor>(qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16));
    }

private:
    void Span(int y, int x1, int x2, QRgb colour); // x1..x2-1, clipped
    void Plot(int x, int y, QRgb colour);
    void DrawStraightLine(int x, int y, QRgb pen); // from the pen position, end pixel excluded
    void RequestUpdate() {
        if (owner_ && !updateRequested_) {
            updateRequested_ = true;
            owner_->update();
        }
    }

    QImage* image_;
    QWidget* owner_;
    bool updateRequested_ = false;
    TColor pen_ = Black;
    TColor brush_ = White;
    int penX_ = 0;
    int penY_ = 0;
};

} // namespace velkaro
