#pragma once

#include "BenchApplication.h"

#include "ui/GridView.h"
#include "ui/MainWindow.h"
#include "ui/PreviewPlayer.h"
#include "ui/SettingsControls.h"
#include "ui/ShowState.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/UpDown.h"

#include <QScrollBar>
#include <QTimer>

namespace velkaro {

// A control of the window found by its object name.
template <typename T> T* Child(QObject& root, const char* name) {
    return root.findChild<T*>(name);
}

// Shows and activates the window as after start-up, with the preview's timer stopped so that
// only the measured work runs.
inline void ShowActivated(MainWindow& window) {
    window.show();
    QApplication::processEvents();
    if (!window.Activated()) {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&window, &activate);
    }
    Child<QTimer>(window, "previewTimer")->stop();
}

// Every cell of the first rows a different colour, so no run of equal cells makes the work
// cheaper.
inline void FillWithDistinctColours(MainWindow& window, int rows) {
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < MaxOutputs; ++c)
            window.Show().Cells[r][c] = static_cast<TColor>((r * 7919u + c * 104729u) & 0xFFFFFF);
}

// The longest and widest show, scrolled to its middle.
inline void PrepareLargestShow(MainWindow& window) {
    ShowActivated(window);
    Child<UpDown>(window, "outputsSpinner")->SetPosition(MaxOutputs);
    Child<UpDown>(window, "stepsSpinner")->SetPosition(MaxSteps);
    FillWithDistinctColours(window, MaxSteps);
    Child<QScrollBar>(window, "gridScrollBar")->setValue(5000);
    window.View().PaintGrid();
}

} // namespace velkaro
