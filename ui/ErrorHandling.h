#pragma once

#include "model/ShowError.h"

#include <QString>
#include <QWidget>

#include <exception>
#include <functional>
#include <string>

namespace velkaro {

// The application's title: the program file's name without folder and extension, every
// letter after the first in lower case.
QString ApplicationTitle();

// Shows an error the standard way: an error box with one OK button, titled with the
// application's title, the message with a full stop where the rule adds one.
void ShowStandardError(QWidget* parent, const std::string& message);

// Tests replace how the box is shown; an empty function restores the message box.
using ErrorPresenter = std::function<void(const QString& title, const QString& text)>;
void SetErrorPresenter(ErrorPresenter presenter);

// Runs a handler that may fail. Every handler that touches files runs through here, so an
// error ends the command, reaches the user, and never crosses the event loop.
template <typename Handler> void RunGuarded(QWidget* parent, Handler&& handler) {
    try {
        handler();
    } catch (const ShowError& error) {
        ShowStandardError(parent, error.what());
    } catch (const std::bad_alloc&) {
        ShowStandardError(parent, "Zu wenig Arbeitsspeicher");
    } catch (const std::exception& error) {
        ShowStandardError(parent, error.what());
    }
}

} // namespace velkaro
