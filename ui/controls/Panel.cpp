#include "ui/controls/Panel.h"

#include "ui/controls/Align.h"
#include "ui/controls/Canvas.h"

#include <QMouseEvent>
#include <QPainter>

namespace velkaro {

Panel::Panel(QWidget* parent, const QString& caption, Bevel bevel)
    : QFrame(parent), caption_(caption), bevel_(bevel), colour_(Black) {
    SetAlignInset(this, bevel == Bevel::None ? 0 : 1);
}

void Panel::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update();
}

void Panel::SetColor(TColor colour) {
    colour_ = colour;
    hasOwnColour_ = true;
    update();
}

void Panel::SetCaptionColor(TColor colour) {
    captionColour_ = colour;
    update();
}

void Panel::SetBevel(Bevel bevel) {
    bevel_ = bevel;
    SetAlignInset(this, bevel == Bevel::None ? 0 : 1);
    update();
}

void Panel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor face =
        hasOwnColour_ ? QColor::fromRgb(Canvas::ToRgb(colour_)) : palette().color(QPalette::Window);
    painter.fillRect(rect(), face);
    if (bevel_ != Bevel::None) {
        const QColor light = palette().color(QPalette::Light);
        const QColor dark = palette().color(QPalette::Dark);
        const QColor topLeft = bevel_ == Bevel::Raised ? light : dark;
        const QColor bottomRight = bevel_ == Bevel::Raised ? dark : light;
        const QRect r = rect().adjusted(0, 0, -1, -1);
        painter.setPen(topLeft);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
    }
    if (!caption_.isEmpty()) {
        painter.setPen(QColor::fromRgb(Canvas::ToRgb(captionColour_)));
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, caption_);
    }
}

void Panel::mouseReleaseEvent(QMouseEvent* event) {
    if (OnClick && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        OnClick();
}

} // namespace velkaro
