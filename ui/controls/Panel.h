#pragma once

#include "model/Color.h"

#include <QFrame>
#include <QString>

#include <functional>

namespace velkaro {

enum class Bevel { None, Raised, Lowered };

// A flat area with an optional one-pixel bevel, its own background colour and a centred caption.
// Children docked into it with SetAlign keep clear of the bevel.
class Panel : public QFrame {
    Q_OBJECT
public:
    explicit Panel(QWidget* parent, const QString& caption = {}, Bevel bevel = Bevel::Raised);

    void SetCaption(const QString& caption);
    QString Caption() const { return caption_; }
    void SetColor(TColor colour);
    TColor Color() const { return colour_; }
    void SetCaptionColor(TColor colour);
    void SetBevel(Bevel bevel);

    std::function<void()> OnClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    QString caption_;
    Bevel bevel_;
    TColor colour_;
    bool hasOwnColour_ = false;
    TColor captionColour_ = Black;
};

} // namespace velkaro
