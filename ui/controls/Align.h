#pragma once

#include <QObject>
#include <QWidget>

namespace velkaro {

enum class Align { None, Top, Bottom, Left, Right, Client };

// Docks a child against an edge of its parent, or lets it fill what is left. Children of one
// parent are placed in the order: top, bottom, left, right, then client; within one edge the
// child aligned first sits nearest the edge. Hidden children take no room. The parent keeps
// them placed on every resize and whenever one of them is shown or hidden.
void SetAlign(QWidget* child, Align align);

// The margin kept free inside the parent (a bevel, for example).
void SetAlignInset(QWidget* parent, int inset);

// Places the aligned children of parent now.
void ArrangeAligned(QWidget* parent);

// Holds back the placing of a parent's children while several of them are shown or hidden,
// and places them once when it ends: swapping two panels of one width then never resizes
// their neighbours on the way.
class ArrangementHold {
public:
    explicit ArrangementHold(QWidget* parent);
    ~ArrangementHold();
    ArrangementHold(const ArrangementHold&) = delete;
    ArrangementHold& operator=(const ArrangementHold&) = delete;

private:
    QWidget* parent_;
};

} // namespace velkaro
