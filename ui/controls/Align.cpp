#include "ui/controls/Align.h"

#include <QEvent>

#include <algorithm>
#include <vector>

namespace velkaro {

namespace {

constexpr const char* AlignProperty = "velkaroAlign";
constexpr const char* OrderProperty = "velkaroAlignOrder";
constexpr const char* InsetProperty = "velkaroAlignInset";
constexpr const char* HeldProperty = "velkaroAlignHeld";

// Watches a parent and its aligned children and arranges them when sizes or visibility change.
class Arranger : public QObject {
public:
    static constexpr const char* Name = "velkaroArranger";

    explicit Arranger(QWidget* parent) : QObject(parent) {
        setObjectName(Name);
        parent->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto type = event->type();
        auto* host = static_cast<QWidget*>(parent());
        if (watched == host && type == QEvent::Resize) ArrangeAligned(host);
        if (watched != host && (type == QEvent::ShowToParent || type == QEvent::HideToParent))
            ArrangeAligned(host);
        return false;
    }
};

Arranger* ArrangerOf(QWidget* parent) {
    // Arranger has no meta-object of its own, so a typed search would match any child: it is
    // found by its name instead.
    if (auto* existing = parent->findChild<QObject*>(Arranger::Name, Qt::FindDirectChildrenOnly))
        return static_cast<Arranger*>(existing);
    return new Arranger(parent);
}

Align AlignOf(const QWidget* w) {
    return static_cast<Align>(w->property(AlignProperty).toInt());
}

std::vector<QWidget*> AlignedChildrenInOrder(QWidget* parent) {
    std::vector<QWidget*> children;
    for (auto* w : parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (AlignOf(w) != Align::None && !w->isHidden()) children.push_back(w);
    std::stable_sort(children.begin(), children.end(), [](QWidget* a, QWidget* b) {
        return a->property(OrderProperty).toInt() < b->property(OrderProperty).toInt();
    });
    return children;
}

void PlaceOnEdge(QWidget* w, Align edge, QRect& area) {
    switch (edge) {
    case Align::Top:
        w->setGeometry(area.left(), area.top(), area.width(), w->height());
        area.setTop(area.top() + w->height());
        break;
    case Align::Bottom:
        w->setGeometry(area.left(), area.bottom() + 1 - w->height(), area.width(), w->height());
        area.setBottom(area.bottom() - w->height());
        break;
    case Align::Left:
        w->setGeometry(area.left(), area.top(), w->width(), area.height());
        area.setLeft(area.left() + w->width());
        break;
    case Align::Right:
        w->setGeometry(area.right() + 1 - w->width(), area.top(), w->width(), area.height());
        area.setRight(area.right() - w->width());
        break;
    case Align::Client:
        w->setGeometry(area.left(), area.top(), std::max(area.width(), 0),
                       std::max(area.height(), 0));
        break;
    case Align::None:
        break;
    }
}

} // namespace

void SetAlign(QWidget* child, Align align) {
    static int nextOrder = 0;
    child->setProperty(AlignProperty, static_cast<int>(align));
    child->setProperty(OrderProperty, ++nextOrder);
    if (auto* parent = child->parentWidget()) {
        child->installEventFilter(ArrangerOf(parent));
        ArrangeAligned(parent);
    }
}

void SetAlignInset(QWidget* parent, int inset) {
    parent->setProperty(InsetProperty, inset);
    ArrangerOf(parent);
    ArrangeAligned(parent);
}

void ArrangeAligned(QWidget* parent) {
    if (parent->property(HeldProperty).toBool()) return;
    const int inset = parent->property(InsetProperty).toInt();
    QRect area = parent->rect().adjusted(inset, inset, -inset, -inset);
    const auto children = AlignedChildrenInOrder(parent);
    for (Align edge : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client})
        for (auto* w : children)
            if (AlignOf(w) == edge) PlaceOnEdge(w, edge, area);
}

ArrangementHold::ArrangementHold(QWidget* parent) : parent_(parent) {
    parent_->setProperty(HeldProperty, true);
}

ArrangementHold::~ArrangementHold() {
    parent_->setProperty(HeldProperty, false);
    ArrangeAligned(parent_);
}

} // namespace velkaro
