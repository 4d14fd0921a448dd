#include "ui/UPV.h"

#include "ui/controls/Align.h"
#include "ui/controls/Panel.h"

#include <QLabel>

namespace velkaro {

TFPV::TFPV(QWidget* parent) : QWidget(parent) {
    resize(2088, 1080);
    auto* bottom = new Panel(this);
    bottom->resize(2088, 41);
    SetAlign(bottom, Align::Bottom);
    auto* picture = new QLabel(this);
    SetAlign(picture, Align::Client);
}

} // namespace velkaro
