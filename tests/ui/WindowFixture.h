#pragma once

#include "ui/ErrorHandling.h"
#include "ui/Unit1.h"
#include "ui/controls/PaintBox.h"
#include "ui/controls/UpDown.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace velkaro {

// A shown and activated main window, as a user meets it after start-up.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { Start({}); }
    void TearDown() override { SetErrorPresenter({}); }

    void Start(const QStringList& arguments) {
        SetErrorPresenter([this](const QString&, const QString& text) { errors.push_back(text); });
        w = std::make_unique<TFVelkaro>(arguments);
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

    TColor PixelAt(int x, int y) { return w->pb->canvas().Pixel(x, y); }

    // Types into a field as a user does, replacing its selected text.
    void TypeInto(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }

    void SetSteps(int steps) { w->udlz->SetPosition(steps); }

    std::unique_ptr<TFVelkaro> w;
    QStringList errors;
};

} // namespace velkaro
