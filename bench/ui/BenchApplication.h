#pragma once

#include <QApplication>

namespace velkaro {

// The one offscreen application of the window benchmarks. Every benchmark file of this program
// must get it here: Qt allows a single application object per process.
inline QApplication& BenchApplication() {
    static int argc = 1;
    static char name[] = "velkaro_bench_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
            return existing;
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

} // namespace velkaro
