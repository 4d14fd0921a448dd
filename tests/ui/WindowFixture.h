#pragma once

#include "ui/BitmapCommands.h"
#include "ui/ErrorHandling.h"
#include "ui/GridView.h"
#include "ui/MainWindow.h"
#include "ui/PaletteWindow.h"
#include "ui/PreviewPlayer.h"
#include "ui/SettingsControls.h"
#include "ui/ShowState.h"
#include "ui/StatusBar.h"
#include "ui/UndoHistory.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/Panel.h"
#include "ui/controls/UpDown.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace velkaro {

// A control of the window found by its object name; a test fails when it is missing.
template <typename T> T* Child(QObject& root, const char* name) {
    T* found = root.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no control named " << name;
    return found;
}

// A shown and activated main window, as a user meets it after start-up.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { Start({}); }
    void TearDown() override { SetErrorPresenter({}); }

    // The window as the program makes it from its one argument, a show file.
    void Start(const QStringList& arguments) {
        StartWith(WindowOptions{arguments.value(0), {}, 9010});
    }

    void StartWith(const WindowOptions& options) {
        SetErrorPresenter([this](const QString&, const QString& text) { errors.push_back(text); });
        w = std::make_unique<MainWindow>(options);
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        if (!w->Activated()) {
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(w.get(), &activate);
        }
        ASSERT_TRUE(w->Activated());
        QApplication::processEvents();
    }

    TColor PixelAt(int x, int y) {
        return Child<PaintBox>(*w, "gridPaintBox")->canvas().Pixel(x, y);
    }

    // Types into a field as a user does, replacing its selected text.
    void TypeInto(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    void SetSteps(int steps) { Child<UpDown>(*w, "stepsSpinner")->SetPosition(steps); }

    std::unique_ptr<MainWindow> w;
    QStringList errors;
};

} // namespace velkaro
