// Start-up of the main window and the handlers of its settings controls.
#include "ui/Unit1.h"

#include "ui/ErrorHandling.h"
#include "ui/controls/Align.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/Panel.h"
#include "ui/controls/UpDown.h"
#include "ui/upalette.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

namespace velkaro {

namespace {

// Places the aligned children of every panel, parents before children, so the sizes are right
// before the window is first shown.
void ArrangeTree(QWidget* root) {
    ArrangeAligned(root);
    for (auto* child : root->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        ArrangeTree(child);
}

} // namespace

TFVelkaro::TFVelkaro(const QStringList& arguments, QWidget* parent)
    : QWidget(parent), Cells(*Memory.Cells), arguments_(arguments) {
    BuildLayout();
    ArrangeTree(this);
    ConnectHandlers();
    // The spinners fill their fields once while the window is created.
    ENXChange();
    ELZChange();
    ESChange();
    FormCreate();
    qApp->installEventFilter(this);
    // The palette window is created hidden, right after the main window is complete.
    FPalette = new TFPalette(*this);
    CentreOnScreen();
}

void TFVelkaro::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    // The frame is not known before the window is shown; a usual frame adds 16 x 39 pixels.
    const QSize outer = size() + QSize(16, 39);
    const QRect area = screen->availableGeometry();
    move(area.x() + std::max(0, (area.width() - outer.width()) / 2),
         area.y() + std::max(0, (area.height() - outer.height()) / 2));
}

TFVelkaro::~TFVelkaro() {
    qApp->removeEventFilter(this);
}

int TFVelkaro::Outputs() const {
    return UDNX->Position();
}
int TFVelkaro::Steps() const {
    return udlz->Position();
}
int TFVelkaro::StepLength() const {
    return uds->Position();
}
int TFVelkaro::BlendMode() const {
    return std::max(RGMItems->checkedId(), 0);
}
bool TFVelkaro::MonoMode() const {
    return cbmono->isChecked();
}
int TFVelkaro::ShownRows() const {
    return sbny->value();
}

ShowSettings TFVelkaro::Settings() const {
    return {Outputs(), Steps(), StepLength(), BlendMode()};
}

void TFVelkaro::ConnectHandlers() {
    UDNX->OnChange = [this] { ENXChange(); };
    udlz->OnChange = [this] { ELZChange(); };
    uds->OnChange = [this] { ESChange(); };
    connect(sbny, &QSpinBox::valueChanged, this, [this] { sbnyChange(); });
    connect(cbmono, &QCheckBox::clicked, this, [this] { cbmonoClick(); });
    Panel7->OnClick = [this] { Panel7Click(); };

    pb->OnPaint = [this] { pbPaint(); };
    pb->OnMouseMove = [this](int x, int y) { pbMouseMove(x, y); };
    connect(sbyoffs, &QScrollBar::valueChanged, this, [this] { sbyoffsChange(); });
    connect(Twheel, &QTimer::timeout, this, [this] { TwheelTimer(); });

    for (auto* undo : {Button15, Button26})
        connect(undo, &QPushButton::clicked, this, [this] { Button15Click(); });
    for (auto* redo : {Button16, Button27})
        connect(redo, &QPushButton::clicked, this, [this] { Button16Click(); });

    ConnectFileCommands();
    ConnectPaletteAndMouse();
    ConnectPreview();
    ConnectRowGenerators();
    ConnectBlockCommands();
    ConnectBitmapCommands();
}

void TFVelkaro::FormCreate() {
    PickActive = false;
    // The strip starts with red, green, blue, yellow, magenta, cyan and white; the rest black.
    Palette.fill(Black);
    const TColor defaults[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF,
                               0xFF00FF, 0xFFFF00, 0xFFFFFF};
    std::copy(std::begin(defaults), std::end(defaults), Palette.begin());
    ColorSwatches = Palette;
    GreySwatches = Palette;
    for (int i = 0; i < 8; ++i)
        GreySwatches[static_cast<std::size_t>(i)] =
            static_cast<TColor>((8 - i) * 32 - 1) * GreyUnit;
    CurCol = 0;
    CurRow = 0;
    SelectedSwatch = 0;
    ClearCells(Cells);
    PaintGrid();
    Memory.Undo.SetUndoPos(0);
    for (int i = 0; i < UndoRing::SlotCount; ++i) PushUndo();
    Memory.ClipWidth = 0;
    Memory.ClipHeight = 0;
    udlz->SetMax(MaxSteps);
}

void TFVelkaro::FormActivate() {
    activated_ = true;
    FPalette->DockInto(PPal);
    ArrangeTabOrder();
    FPalette->SetMono(cbmono->isChecked());
    FPalette->sbrChange(); // the swatches are not yet in sync, so this fills the labels only
    PSel->resize(Panel1->width(), PSel->height());
    EndSelection();
    LoadCommandLineShow();
    PaintGrid();
}

bool TFVelkaro::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !activated_) {
        // The first activation puts the focus into the outputs field, and the activation step
        // runs as it arrives; later activations change nothing.
        ENX->setFocus();
        ENX->selectAll();
        RunGuarded(this, [this] { FormActivate(); });
    }
    return QWidget::event(event);
}

bool TFVelkaro::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sbyoffs && event->type() == QEvent::FocusIn) sbyoffsEnter();
    if (event->type() == QEvent::Wheel && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget == this || isAncestorOf(widget)) {
            // A tilt wheel or a sideways swipe carries no vertical turn and scrolls nothing.
            const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
            if (delta != 0) HandleWheelMessage(delta);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFVelkaro::SetScrollMaximum() {
    sbyoffs->setMaximum(std::max(Steps() - ShownRows(), 0));
}

void TFVelkaro::ENXChange() {
    SetFieldText(ENX, QString::number(UDNX->Position()));
    ClearView();
    PaintGrid();
}

void TFVelkaro::ELZChange() {
    SetFieldText(ELZ, QString::number(udlz->Position()));
    SetScrollMaximum();
    // Show every step plus one spare row while rows stay over ten pixels high, never fewer
    // than ten rows; longer shows get rows about ten pixels high.
    const int rowsWanted = std::max(Steps() + 1, 10);
    const int height = pb->height();
    sbny->setValue(height / rowsWanted <= 10 ? height / 10 : rowsWanted);
    ClearView();
    PaintGrid();
}

void TFVelkaro::ESChange() {
    SetFieldText(ES, QString::number(uds->Position()));
}

void TFVelkaro::sbnyChange() {
    if (sbny->value() == 0) sbny->setValue(1);
    if (sbny->value() > sbny->maximum()) sbny->setValue(sbny->maximum());
    SetScrollMaximum();
    ClearView();
    PaintGrid();
}

void TFVelkaro::cbmonoClick() {
    // The grid shows the new mode at its next redraw.
    FPalette->SetMono(cbmono->isChecked());
}

void TFVelkaro::Panel7Click() {
    QDesktopServices::openUrl(QUrl(WebLink));
}

void TFVelkaro::PushUndo() {
    Memory.Undo.Push(Cells, Settings());
}

void TFVelkaro::RestoreUndo() {
    CopyGrid(Cells, Memory.Undo.SlotGrid());
    const ShowSettings stored = Memory.Undo.SlotSettings();
    UDNX->SetPosition(stored.Outputs);
    udlz->SetPosition(stored.Steps);
    uds->SetPosition(stored.StepLength);
    if (auto* item = RGMItems->button(stored.BlendMode)) item->setChecked(true);
    PaintGrid();
}

void TFVelkaro::Undo() {
    RestoreUndo();
    Memory.Undo.StepBack();
}

void TFVelkaro::Redo() {
    Memory.Undo.StepForward();
    RestoreUndo();
}

void TFVelkaro::Button15Click() {
    Undo();
}
void TFVelkaro::Button16Click() {
    Redo();
}

} // namespace velkaro
