// The selection panel's control tree.
#include "ui/SelectionPanel.h"

#include <QGroupBox>
#include <QPushButton>

namespace velkaro {

SelectionPanel::SelectionPanel(QWidget* parent) : SidePanel(parent, "selectionPanel") {
    BuildRowAndColumnGroups();
    BuildBlockGroups();

    QGroupBox* undo = NewGroup("selectionUndoGroup", {}, 54);
    NewButton(undo, "selectionUndoButton", "Undo", {8, 16, 57, 25}, &SelectionPanel::undoClicked);
    NewButton(undo, "selectionRedoButton", "Redo", {72, 16, 57, 25}, &SelectionPanel::redoClicked);

    auto* endSelection = new Panel(this, "Auswahl beenden    [X]");
    endSelection->setObjectName("endSelectionButton");
    endSelection->resize(Width, 32);
    SetAlign(endSelection, Align::Bottom);
    endSelection->OnClick = [this] { emit endSelectionClicked(); };
}

QPushButton* SelectionPanel::NewButton(QGroupBox* box, const QString& name, const QString& caption,
                                       QRect geometry, void (SelectionPanel::*clicked)()) {
    QPushButton* button = SidePanel::NewButton(box, name, caption, geometry);
    connect(button, &QPushButton::clicked, this, clicked);
    return button;
}

void SelectionPanel::BuildRowAndColumnGroups() {
    QGroupBox* rows = NewGroup("selectedRowsGroup", "Ganze Zeile(n)", 56);
    NewButton(rows, "deleteRowsButton", "Löschen", {8, 24, 49, 25},
              &SelectionPanel::deleteRowsClicked);
    NewButton(rows, "duplicateRowsButton", "Duplizieren", {64, 24, 67, 25},
              &SelectionPanel::duplicateRowsClicked);

    QGroupBox* columns = NewGroup("selectedColumnsGroup", "Ganze Spalten", 48);
    NewButton(columns, "deleteColumnsButton", "Löschen", {8, 16, 49, 25},
              &SelectionPanel::deleteColumnsClicked);
    NewButton(columns, "duplicateColumnsButton", "Duplizieren", {64, 15, 67, 25},
              &SelectionPanel::duplicateColumnsClicked);
}

void SelectionPanel::BuildBlockGroups() {
    QGroupBox* block = NewGroup("blockGroup", "Auswahl", 151);
    NewButton(block, "copyBlockButton", "Kopieren", {8, 16, 49, 25},
              &SelectionPanel::copyBlockClicked);
    NewButton(block, "pasteBlockButton", "Einfügen", {64, 16, 67, 25},
              &SelectionPanel::pasteBlockClicked);
    NewButton(block, "trimToBlockButton", "Trimmen", {8, 48, 49, 25},
              &SelectionPanel::trimToBlockClicked);
    NewButton(block, "mirrorBlockRightAsCopyButton", "Nach Rechts Spiegeln", {8, 80, 121, 25},
              &SelectionPanel::mirrorBlockRightAsCopyClicked);
    NewButton(block, "mirrorBlockDownAsCopyButton", "Nach Unten spiegeln", {8, 112, 121, 25},
              &SelectionPanel::mirrorBlockDownAsCopyClicked);

    QGroupBox* mirror = NewGroup("mirrorBlockGroup", "Spiegeln", 48);
    NewButton(mirror, "mirrorBlockHorizontalButton", "Horizontal", {8, 16, 57, 25},
              &SelectionPanel::mirrorBlockHorizontalClicked);
    NewButton(mirror, "mirrorBlockVerticalButton", "Vertikal", {72, 16, 57, 25},
              &SelectionPanel::mirrorBlockVerticalClicked);

    QGroupBox* move = NewGroup("moveBlockGroup", "Verschieben", 89);
    NewButton(move, "moveBlockUpButton", "^", {56, 24, 35, 25},
              &SelectionPanel::moveBlockUpClicked);
    NewButton(move, "moveBlockLeftButton", "<", {8, 40, 41, 25},
              &SelectionPanel::moveBlockLeftClicked);
    NewButton(move, "moveBlockRightButton", ">", {96, 40, 35, 25},
              &SelectionPanel::moveBlockRightClicked);
    NewButton(move, "moveBlockDownButton", "v", {56, 56, 33, 25},
              &SelectionPanel::moveBlockDownClicked);

    QGroupBox* fade = NewGroup("fadeBlockGroup", "Überblenden", 98);
    NewButton(fade, "fadeBlockVerticalButton", "Vertikal", {72, 16, 59, 25},
              &SelectionPanel::fadeBlockVerticalClicked);
}

std::vector<QWidget*> SelectionPanel::TabChain() const {
    std::vector<QWidget*> chain;
    for (const char* name :
         {"deleteRowsButton", "duplicateRowsButton", "deleteColumnsButton",
          "duplicateColumnsButton", "trimToBlockButton", "copyBlockButton", "pasteBlockButton",
          "mirrorBlockRightAsCopyButton", "mirrorBlockDownAsCopyButton", "selectionUndoButton",
          "selectionRedoButton", "mirrorBlockHorizontalButton", "mirrorBlockVerticalButton",
          "moveBlockRightButton", "moveBlockLeftButton", "moveBlockUpButton", "moveBlockDownButton",
          "fadeBlockVerticalButton"})
        chain.push_back(findChild<QWidget*>(name));
    return chain;
}

} // namespace velkaro
