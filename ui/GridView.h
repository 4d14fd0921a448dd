#pragma once

#include "model/Color.h"

#include <QObject>
#include <QString>

#include <functional>

class QScrollBar;
class QTimer;
class QWidget;

namespace velkaro {

class PaintBox;
class SettingsControls;
struct ShowState;

// The grid of the show: draws the visible steps, maps pixels to cells, scrolls with its bar and
// the mouse wheel, and frames the selected block. It owns the paint box and the scroll bar it
// places into the grid area.
class GridView : public QObject {
    Q_OBJECT
public:
    GridView(QWidget* area, ShowState& show, SettingsControls& settings);

    void PaintGrid();
    // Blacks out the whole view, before a change of the rows or columns shown.
    void ClearView();
    // Puts the cell under the pixel into the show's CurCol and CurRow, held inside the grid.
    void CellAt(int x, int y);

    int TopRow() const { return topRow_; }
    int BottomRow() const { return bottomRow_; }
    int RowHeight() const { return rowHeight_; }
    int ColWidth() const { return colWidth_; }
    int ShownOutputs() const { return shownOutputs_; }
    int ViewHeight() const;
    // The widget the grid is drawn on, for what is laid out along its rows.
    const QWidget* Surface() const;

    int FirstShownStep() const;
    void ScrollTo(int topRow);
    void ScrollBy(int rows);
    // One wheel message: the damped first notch, then one step per whole notch.
    void HandleWheelMessage(int delta);

    // Marks a block (inclusive, in any order) or ends the marking. onSelectionShown runs
    // between taking away the old frame and drawing the new one.
    void SetSelection(bool active, int col1, int row1, int col2, int row2);
    void EndSelection();

    using MouseHandler = std::function<void(Qt::MouseButton, int x, int y)>;
    void SetMouseHandlers(MouseHandler pressed, MouseHandler released);
    void SetSelectionShownHandler(std::function<void(bool active)> handler);
    void SetCellHoveredHandler(std::function<void(int col, int row)> handler);

signals:
    // After every PaintGrid: every edit of the cells ends with one.
    void painted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build(QWidget* area);
    void ConnectSettings();
    void FitRowsToSteps();
    void SetScrollMaximum();
    void MouseMoved(int x, int y);
    void DrawSelectionFrame();
    void DrawFrame(TColor colour);

    ShowState& show_;
    SettingsControls& settings_;
    std::function<void(bool active)> selectionShown_;
    std::function<void(int col, int row)> cellHovered_;
    PaintBox* gridPaintBox_ = nullptr;
    QScrollBar* gridScrollBar_ = nullptr;
    QTimer* wheelDampingTimer_ = nullptr;

    int topRow_ = 0;
    int bottomRow_ = 0;
    int rowHeight_ = 0;
    int colWidth_ = 0;
    int shownOutputs_ = 0;
    int wheelAccumulator_ = 0;
};

} // namespace velkaro
