#include "ui/controls/UpDown.h"

#include <QValidator>

#include <algorithm>

namespace velkaro {

namespace {

// Holds the number of characters a user may type; text set by the program is not limited.
class TypedLengthLimit : public QValidator {
public:
    TypedLengthLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}
    State validate(QString& input, int&) const override {
        return input.size() <= limit_ ? Acceptable : Invalid;
    }

private:
    int limit_;
};

} // namespace

void SetFieldText(QLineEdit* field, const QString& text) {
    if (field->text() != text) field->setText(text);
}

UpDown::UpDown(QWidget* parent, QLineEdit* buddy, int min, int max, int position, int typedLimit)
    : QWidget(parent), buddy_(buddy), up_(new QToolButton(this)), down_(new QToolButton(this)),
      min_(min), max_(max), position_(std::clamp(position, min, max)) {
    for (auto* button : {up_, down_}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { SetPosition(position_ + 1); });
    connect(down_, &QToolButton::clicked, this, [this] { SetPosition(position_ - 1); });

    buddy_->setValidator(new TypedLengthLimit(typedLimit, buddy_));
    buddy_->setText(QString::number(position_));
    connect(buddy_, &QLineEdit::textChanged, this, [this](const QString& text) {
        TakeText(text);
        if (OnChange) OnChange();
    });
}

void UpDown::SetPosition(int value) {
    value = std::clamp(value, min_, max_);
    if (value == position_) return;
    position_ = value;
    SetFieldText(buddy_, QString::number(position_));
}

void UpDown::SetMax(int max) {
    max_ = std::max(max, min_);
    SetPosition(position_);
}

void UpDown::TakeText(const QString& text) {
    bool isNumber = false;
    const int value = text.toInt(&isNumber, 10);
    // Only plain decimal digits count; "+5", " 5" or "5 " are no whole number here.
    const bool plain = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.isDigit() || c == u'-';
    });
    if (isNumber && plain && value >= min_ && value <= max_) position_ = value;
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

} // namespace velkaro
