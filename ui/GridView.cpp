// The grid view: drawing the visible cells, mapping pixels to cells, scrolling and the wheel.
#include "ui/GridView.h"

#include "ui/SettingsControls.h"
#include "ui/ShowState.h"
#include "ui/controls/Align.h"
#include "ui/controls/PaintBox.h"

#include <QEvent>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace velkaro {

namespace {

constexpr TColor CellBorder = 0x303030;
constexpr TColor EdgeLine = 0x0000FF; // red
constexpr TColor FrameColour = 0x88FF88;
constexpr int WheelNotch = 120;
constexpr int WheelDampingMs = 30;

} // namespace

GridView::GridView(QWidget* area, ShowState& show, SettingsControls& settings)
    : QObject(area), show_(show), settings_(settings) {
    Build(area);
    ConnectSettings();
}

void GridView::Build(QWidget* area) {
    gridScrollBar_ = new QScrollBar(Qt::Vertical, area);
    gridScrollBar_->setObjectName("gridScrollBar");
    gridScrollBar_->setAccessibleName("Schritte blättern");
    gridScrollBar_->resize(31, 100);
    gridScrollBar_->setRange(0, 1);
    gridScrollBar_->setSingleStep(1);
    gridScrollBar_->setPageStep(10);
    gridScrollBar_->setFocusPolicy(Qt::ClickFocus); // the Tab key passes it by
    SetAlign(gridScrollBar_, Align::Right);
    gridScrollBar_->installEventFilter(this);

    gridPaintBox_ = new PaintBox(area);
    gridPaintBox_->setObjectName("gridPaintBox");
    gridPaintBox_->setAccessibleName("Lichtshow-Raster");
    gridPaintBox_->SetBackground(Black);
    SetAlign(gridPaintBox_, Align::Client);

    wheelDampingTimer_ = new QTimer(this);
    wheelDampingTimer_->setObjectName("wheelDampingTimer");
    wheelDampingTimer_->setInterval(WheelDampingMs);

    gridPaintBox_->OnPaint = [this] { PaintGrid(); };
    gridPaintBox_->OnMouseMove = [this](int x, int y) { MouseMoved(x, y); };
    connect(gridScrollBar_, &QScrollBar::valueChanged, this, [this] { PaintGrid(); });
    connect(wheelDampingTimer_, &QTimer::timeout, wheelDampingTimer_, &QTimer::stop);
}

void GridView::SetMouseHandlers(MouseHandler pressed, MouseHandler released) {
    gridPaintBox_->OnMouseDown = std::move(pressed);
    gridPaintBox_->OnMouseUp = std::move(released);
}

void GridView::SetSelectionShownHandler(std::function<void(bool active)> handler) {
    selectionShown_ = std::move(handler);
}

void GridView::SetCellHoveredHandler(std::function<void(int col, int row)> handler) {
    cellHovered_ = std::move(handler);
}

void GridView::ConnectSettings() {
    connect(&settings_, &SettingsControls::outputsChanged, this, [this] {
        ClearView();
        PaintGrid();
    });
    connect(&settings_, &SettingsControls::stepsChanged, this, [this] {
        SetScrollMaximum();
        FitRowsToSteps();
        ClearView();
        PaintGrid();
    });
    connect(&settings_, &SettingsControls::shownRowsChanged, this, [this] {
        SetScrollMaximum();
        ClearView();
        PaintGrid();
    });
}

// Shows every step plus one spare row while rows stay over ten pixels high, never fewer than
// ten rows; longer shows get rows about ten pixels high.
void GridView::FitRowsToSteps() {
    const int rowsWanted = std::max(settings_.Steps() + 1, 10);
    const int height = gridPaintBox_->height();
    settings_.SetShownRows(height / rowsWanted <= 10 ? height / 10 : rowsWanted);
}

void GridView::SetScrollMaximum() {
    gridScrollBar_->setMaximum(std::max(settings_.Steps() - settings_.ShownRows(), 0));
}

int GridView::ViewHeight() const {
    return gridPaintBox_->height();
}

void GridView::PaintGrid() {
    const bool mono = settings_.MonoMode();
    const int outputs = settings_.Outputs();
    const int steps = settings_.Steps();
    Canvas& canvas = gridPaintBox_->canvas();
    const int width = canvas.Width();
    const int height = canvas.Height();
    topRow_ = gridScrollBar_->value();
    rowHeight_ = height / settings_.ShownRows();
    shownOutputs_ = std::min(outputs, MaxOutputs);
    colWidth_ = width / outputs;
    bottomRow_ = std::min(topRow_ + settings_.ShownRows() - 1, steps - 1);

    canvas.SetPenColor(CellBorder);
    int y = 0;
    for (int r = topRow_; r <= bottomRow_; ++r, y += rowHeight_) {
        // Painting only reads, so the mark of the grid's used rows stays where it is.
        const TColor* row = std::as_const(show_.Cells)[r];
        int x = 0;
        for (int c = 0; c < shownOutputs_; ++c, x += colWidth_) {
            canvas.SetBrushColor(mono ? MonoGrey(row[c]) : row[c]);
            canvas.Rectangle(x, y, x + colWidth_, y + rowHeight_);
        }
    }

    canvas.SetPenColor(EdgeLine);
    canvas.SetBrushColor(EdgeLine);
    const int startY = -topRow_ * rowHeight_;
    canvas.Rectangle(0, startY, width, startY + 2);
    const int endY = (steps - topRow_) * rowHeight_;
    canvas.Rectangle(0, endY - 2, width, endY);

    DrawSelectionFrame();
    emit painted();
}

const QWidget* GridView::Surface() const {
    return gridPaintBox_;
}

void GridView::ClearView() {
    Canvas& canvas = gridPaintBox_->canvas();
    canvas.SetPenColor(Black);
    canvas.SetBrushColor(Black);
    canvas.Rectangle(0, 0, canvas.Width(), canvas.Height());
}

void GridView::CellAt(int x, int y) {
    if (colWidth_ == 0) colWidth_ = 1;
    if (rowHeight_ == 0) rowHeight_ = 1;
    // Dragging beyond the left or top edge holds the cell at column or row 0; beyond the right
    // or bottom edge at one past the last output or step, which still lies inside Cells.
    show_.CurCol = std::clamp(x / colWidth_, 0, MaxOutputs);
    show_.CurRow = std::clamp(y / rowHeight_ + topRow_, 0, MaxSteps);
}

void GridView::MouseMoved(int x, int y) {
    QWidget* window = gridPaintBox_->window();
    if (!window->isActiveWindow()) window->activateWindow();
    gridScrollBar_->setFocus(Qt::MouseFocusReason);
    // The press cell stays in CurCol, CurRow until the release.
    const int pressCol = show_.CurCol;
    const int pressRow = show_.CurRow;
    CellAt(x, y);
    if (cellHovered_) cellHovered_(show_.CurCol, show_.CurRow);
    show_.CurCol = pressCol;
    show_.CurRow = pressRow;
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
    // The grid has no keyboard scrolling: the focus passes on to the window itself.
    if (watched == gridScrollBar_ && event->type() == QEvent::FocusIn)
        gridScrollBar_->window()->setFocus(Qt::OtherFocusReason);
    return QObject::eventFilter(watched, event);
}

int GridView::FirstShownStep() const {
    return gridScrollBar_->value();
}

void GridView::ScrollTo(int topRow) {
    gridScrollBar_->setValue(topRow);
}

void GridView::ScrollBy(int rows) {
    gridScrollBar_->setValue(gridScrollBar_->value() + rows);
}

void GridView::HandleWheelMessage(int delta) {
    // The first notch of a turn moves one extra step; notches within 30 ms of it do not.
    if (!wheelDampingTimer_->isActive()) {
        ScrollBy(delta < 0 ? 1 : -1);
        wheelDampingTimer_->start();
    }
    wheelAccumulator_ += delta;
    while (std::abs(wheelAccumulator_) >= WheelNotch) {
        const bool down = wheelAccumulator_ < 0;
        wheelAccumulator_ += down ? WheelNotch : -WheelNotch;
        ScrollBy(down ? 1 : -1);
    }
}

void GridView::SetSelection(bool active, int col1, int row1, int col2, int row2) {
    show_.Sel.SelActive = active;
    if (selectionShown_) selectionShown_(active);
    DrawFrame(Black);
    show_.Sel.SelCol1 = std::min(col1, col2);
    show_.Sel.SelCol2 = std::max(col1, col2);
    show_.Sel.SelRow1 = std::min(row1, row2);
    show_.Sel.SelRow2 = std::max(row1, row2);
    DrawSelectionFrame();
}

void GridView::EndSelection() {
    SetSelection(false, 0, 0, 0, 0);
}

void GridView::DrawSelectionFrame() {
    if (show_.Sel.SelActive) DrawFrame(FrameColour);
}

void GridView::DrawFrame(TColor colour) {
    const Selection& sel = show_.Sel;
    const int x1 = sel.SelCol1 * colWidth_;
    const int x2 = (sel.SelCol2 + 1) * colWidth_;
    const int y1 = (sel.SelRow1 - topRow_) * rowHeight_;
    const int y2 = (sel.SelRow2 - topRow_ + 1) * rowHeight_;
    Canvas& canvas = gridPaintBox_->canvas();
    canvas.SetPenColor(colour);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y1);
    canvas.LineTo(x2, y2);
    canvas.LineTo(x1, y2);
    canvas.LineTo(x1, y1);
}

} // namespace velkaro
