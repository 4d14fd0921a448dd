#pragma once

#include "BenchApplication.h"

#include "ui/Unit1.h"
#include "ui/controls/UpDown.h"

#include <QScrollBar>
#include <QTimer>

namespace velkaro {

// Shows and activates the window as after start-up, with the preview's timer stopped so that
// only the measured work runs.
inline void ShowActivated(TFVelkaro& window) {
    window.show();
    QApplication::processEvents();
    if (!window.Activated()) {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&window, &activate);
    }
    window.Timer1->stop();
}

// Every cell of the first rows a different colour, so no run of equal cells makes the work
// cheaper.
inline void FillWithDistinctColours(TFVelkaro& window, int rows) {
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < MaxOutputs; ++c)
            window.Cells[r][c] = static_cast<TColor>((r * 7919u + c * 104729u) & 0xFFFFFF);
}

// The longest and widest show, scrolled to its middle.
inline void PrepareLargestShow(TFVelkaro& window) {
    ShowActivated(window);
    window.UDNX->SetPosition(MaxOutputs);
    window.udlz->SetPosition(MaxSteps);
    FillWithDistinctColours(window, MaxSteps);
    window.sbyoffs->setValue(5000);
    window.PaintGrid();
}

} // namespace velkaro
