#pragma once

#include <QWidget>

namespace velkaro {

// A large picture window that the program creates at start but never shows or uses.
class TFPV : public QWidget {
    Q_OBJECT
public:
    explicit TFPV(QWidget* parent = nullptr);
};

} // namespace velkaro
