// The selection panel's control tree: its group boxes in the order they stack, and
// "Auswahl beenden" at the bottom.
#include "ui/SelectionPanel.h"

#include "ui/GridView.h"
#include "ui/WindowCommands.h"

#include <QGroupBox>

namespace velkaro {

SelectionPanel::SelectionPanel(QWidget* parent) : SidePanel(parent, "selectionPanel", Buttons()) {
    NewGroup("selectedRowsGroup", "Ganze Zeile(n)", 56);
    NewGroup("selectedColumnsGroup", "Ganze Spalten", 48);
    NewGroup("blockGroup", "Auswahl", 151);
    NewGroup("mirrorBlockGroup", "Spiegeln", 48);
    NewGroup("moveBlockGroup", "Verschieben", 89);
    NewGroup("fadeBlockGroup", "Überblenden", 98);
    NewGroup("selectionUndoGroup", {}, 54);

    endSelection_ = new Panel(this, "Auswahl beenden    [X]");
    endSelection_->setObjectName("endSelectionButton");
    endSelection_->resize(Width, 32);
    SetAlign(endSelection_, Align::Bottom);
}

void SelectionPanel::ConnectButtons(const WindowCommands& window) {
    SidePanel::ConnectButtons(window);
    endSelection_->OnClick = [&window] { window.View.EndSelection(); };
}

} // namespace velkaro
