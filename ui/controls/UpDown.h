#pragma once

#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

#include <functional>

namespace velkaro {

// Sets a field's text, doing nothing (and so running no change handler) when it already
// shows that text.
void SetFieldText(QLineEdit* field, const QString& text);

// An up-down spinner coupled to an edit field. Its position is the accepted value of the
// setting. Setting the position clamps it and writes it into the field, which runs the field's
// change handler before the setter returns. Text put into the field, typed or set by the
// program, moves the position only when the whole text is an integer within the range; the
// field's change handler then writes the position back, so the field always ends up showing
// the accepted value.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QWidget* parent, QLineEdit* buddy, int min, int max, int position, int typedLimit);

    int Position() const { return position_; }
    void SetPosition(int value);
    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetMax(int max);

    QLineEdit* Buddy() const { return buddy_; }
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

    // The field's change handler; it runs after the spinner has taken the new text.
    std::function<void()> OnChange;

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    void TakeText(const QString& text);

    QLineEdit* buddy_;
    QToolButton* up_;
    QToolButton* down_;
    int min_;
    int max_;
    int position_;
};

} // namespace velkaro
