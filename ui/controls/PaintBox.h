#pragma once

#include "ui/controls/Canvas.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace velkaro {

// A widget with a persistent canvas. Handlers draw into it whenever they like; what they drew
// stays until they draw over it. The paint handler runs when the box first gets its size or is
// resized (its new area starts in the background colour), and when a handler asks for Repaint.
class PaintBox : public QWidget {
    Q_OBJECT
public:
    explicit PaintBox(QWidget* parent = nullptr);

    // The canvas, sized to the box as it is now.
    Canvas& canvas() {
        EnsureImage();
        return canvas_;
    }
    const QImage& image() const { return image_; }
    void SetBackground(TColor colour) { background_ = colour; }

    // Runs the paint handler now and shows the result.
    void Repaint();

    std::function<void()> OnPaint;
    std::function<void(Qt::MouseButton, int x, int y)> OnMouseDown;
    std::function<void(Qt::MouseButton, int x, int y)> OnMouseUp;
    std::function<void(int x, int y)> OnMouseMove;
    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;

private:
    void EnsureImage();

    QImage image_;
    Canvas canvas_;
    TColor background_ = Black;
    bool needsPaintHandler_ = true;
    bool releaseEndsDoubleClick_ = false;
};

} // namespace velkaro
