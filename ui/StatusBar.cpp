#include "ui/StatusBar.h"

#include "ui/controls/Align.h"

#include <QDesktopServices>
#include <QUrl>

namespace velkaro {

namespace {

Panel* NewStatusField(QWidget* parent, const char* name, int width, Align align) {
    auto* field = new Panel(parent, {}, Bevel::Lowered);
    field->setObjectName(name);
    field->resize(width, 27);
    SetAlign(field, align);
    return field;
}

} // namespace

StatusBar::StatusBar(QWidget* parent) : Panel(parent) {
    setObjectName("statusBar");
    resize(100, 29);
    SetAlign(this, Align::Bottom);
    outputStatus_ = NewStatusField(this, "outputStatus", 184, Align::Left);
    stepStatus_ = NewStatusField(this, "stepStatus", 104, Align::Left);

    Panel* link = NewStatusField(this, "webLink", 132, Align::Right);
    link->SetCaption(WebAddress);
    link->SetCaptionColor(RGB(0, 0, 255));
    QFont linkFont = link->font();
    linkFont.setUnderline(true);
    link->setFont(linkFont);
    link->setCursor(Qt::PointingHandCursor);
    link->OnClick = [] { QDesktopServices::openUrl(QUrl(WebLink)); };

    Panel* help = NewStatusField(this, "mouseHelp", 100, Align::Client);
    help->SetCaption(QString::fromUtf8(HelpText));
}

void StatusBar::ShowCell(int col, int row) {
    outputStatus_->SetCaption(
        QString("RGB-Kanal: %1    DMX(Rot): %2").arg(col + 1).arg(3 * col + 1));
    stepStatus_->SetCaption(QString("Schritt: %1").arg(row + 1));
}

} // namespace velkaro
