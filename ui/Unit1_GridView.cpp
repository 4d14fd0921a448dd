// The grid view: drawing the visible cells, mapping pixels to cells, scrolling and the wheel.
#include "ui/Unit1.h"

#include "ui/controls/Align.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/Panel.h"

#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>

#include <cstdlib>

namespace velkaro {

namespace {

constexpr TColor CellBorder = 0x303030;
constexpr TColor EdgeLine = 0x0000FF; // red
constexpr TColor FrameColour = 0x88FF88;
constexpr int WheelNotch = 120;

} // namespace

void TFVelkaro::PaintGrid() {
    const bool mono = MonoMode();
    Canvas& canvas = pb->canvas();
    const int width = canvas.Width();
    const int height = canvas.Height();
    TopRow = sbyoffs->value();
    BottomRow = TopRow + ShownRows() - 1;
    RowHeight = height / ShownRows();
    ShownOutputs = std::min(Outputs(), MaxOutputs);
    ColWidth = width / Outputs();
    BottomRow = std::min(BottomRow, Steps() - 1);

    canvas.SetPenColor(CellBorder);
    int y = 0;
    for (int r = TopRow; r <= BottomRow; ++r, y += RowHeight) {
        const TColor* row = Cells[r];
        int x = 0;
        for (int c = 0; c < ShownOutputs; ++c, x += ColWidth) {
            canvas.SetBrushColor(mono ? MonoGrey(row[c]) : row[c]);
            canvas.Rectangle(x, y, x + ColWidth, y + RowHeight);
        }
    }

    canvas.SetPenColor(EdgeLine);
    canvas.SetBrushColor(EdgeLine);
    const int startY = -TopRow * RowHeight;
    canvas.Rectangle(0, startY, width, startY + 2);
    const int endY = (Steps() - TopRow) * RowHeight;
    canvas.Rectangle(0, endY - 2, width, endY);

    DrawSelectionFrame();
}

void TFVelkaro::ClearView() {
    Canvas& canvas = pb->canvas();
    canvas.SetPenColor(Black);
    canvas.SetBrushColor(Black);
    canvas.Rectangle(0, 0, canvas.Width(), canvas.Height());
}

void TFVelkaro::CellAt(int x, int y) {
    if (ColWidth == 0) ColWidth = 1;
    if (RowHeight == 0) RowHeight = 1;
    // Dragging beyond the left or top edge holds the cell at column or row 0; beyond the right
    // or bottom edge at one past the last output or step, which still lies inside Cells.
    CurCol = std::clamp(x / ColWidth, 0, MaxOutputs);
    CurRow = std::clamp(y / RowHeight + TopRow, 0, MaxSteps);
}

void TFVelkaro::pbPaint() {
    PaintGrid();
}

void TFVelkaro::sbyoffsChange() {
    PaintGrid();
}

void TFVelkaro::sbyoffsEnter() {
    // The grid has no keyboard scrolling: the focus passes on to the window itself.
    setFocus(Qt::OtherFocusReason);
}

void TFVelkaro::pbMouseMove(int x, int y) {
    if (!isActiveWindow()) activateWindow();
    sbyoffs->setFocus(Qt::MouseFocusReason);
    const int savedCol = CurCol;
    const int savedRow = CurRow;
    CellAt(x, y);
    Panel5->SetCaption(
        QString("RGB-Kanal: %1    DMX(Rot): %2").arg(CurCol + 1).arg(3 * CurCol + 1));
    Panel6->SetCaption(QString("Schritt: %1").arg(CurRow + 1));
    CurCol = savedCol;
    CurRow = savedRow;
}

void TFVelkaro::FormMouseWheel(int delta) {
    // The first notch of a turn moves one extra step; notches within 30 ms of it do not.
    if (Twheel->isActive()) return;
    sbyoffs->setValue(sbyoffs->value() + (delta < 0 ? 1 : -1));
    Twheel->start();
}

void TFVelkaro::FormMouseWheelDown() {
    sbyoffs->setValue(sbyoffs->value() + 1);
}
void TFVelkaro::FormMouseWheelUp() {
    sbyoffs->setValue(sbyoffs->value() - 1);
}
void TFVelkaro::TwheelTimer() {
    Twheel->stop();
}

void TFVelkaro::HandleWheelMessage(int delta) {
    FormMouseWheel(delta);
    wheelAccumulator_ += delta;
    while (std::abs(wheelAccumulator_) >= WheelNotch) {
        if (wheelAccumulator_ < 0) {
            wheelAccumulator_ += WheelNotch;
            FormMouseWheelDown();
        } else {
            wheelAccumulator_ -= WheelNotch;
            FormMouseWheelUp();
        }
    }
}

void TFVelkaro::SetSelection(bool active, int col1, int row1, int col2, int row2) {
    SelActive = active;
    {
        const ArrangementHold hold(Panel1->parentWidget());
        Panel1->setVisible(!active);
        PSel->setVisible(active);
    }
    DrawFrame(Black);
    SelCol1 = std::min(col1, col2);
    SelCol2 = std::max(col1, col2);
    SelRow1 = std::min(row1, row2);
    SelRow2 = std::max(row1, row2);
    DrawSelectionFrame();
}

void TFVelkaro::EndSelection() {
    SetSelection(false, 0, 0, 0, 0);
}

void TFVelkaro::DrawSelectionFrame() {
    if (SelActive) DrawFrame(FrameColour);
}

void TFVelkaro::DrawFrame(TColor colour) {
    const int x1 = SelCol1 * ColWidth;
    const int x2 = (SelCol2 + 1) * ColWidth;
    const int y1 = (SelRow1 - TopRow) * RowHeight;
    const int y2 = (SelRow2 - TopRow + 1) * RowHeight;
    Canvas& canvas = pb->canvas();
    canvas.SetPenColor(colour);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y1);
    canvas.LineTo(x2, y2);
    canvas.LineTo(x1, y2);
    canvas.LineTo(x1, y1);
}

} // namespace velkaro
