#pragma once

#include "ui/SidePanel.h"

#include <vector>

class QGroupBox;
class QPushButton;

namespace velkaro {

// The side panel shown instead of the command panel while a block is selected: whole rows and
// columns of the selection, the block commands and "Auswahl beenden". It only places its
// controls and says which command was asked for.
class SelectionPanel : public SidePanel {
    Q_OBJECT
public:
    explicit SelectionPanel(QWidget* parent);

    // The controls of this panel in the order the Tab key visits them.
    std::vector<QWidget*> TabChain() const;

signals:
    void deleteRowsClicked();
    void duplicateRowsClicked();
    void deleteColumnsClicked();
    void duplicateColumnsClicked();
    void copyBlockClicked();
    void pasteBlockClicked();
    void trimToBlockClicked();
    void mirrorBlockRightAsCopyClicked();
    void mirrorBlockDownAsCopyClicked();
    void mirrorBlockHorizontalClicked();
    void mirrorBlockVerticalClicked();
    void moveBlockUpClicked();
    void moveBlockLeftClicked();
    void moveBlockRightClicked();
    void moveBlockDownClicked();
    void fadeBlockVerticalClicked();
    void undoClicked();
    void redoClicked();
    void endSelectionClicked();

private:
    QPushButton* NewButton(QGroupBox* box, const QString& name, const QString& caption,
                           QRect geometry, void (SelectionPanel::*clicked)());
    void BuildRowAndColumnGroups();
    void BuildBlockGroups();
};

} // namespace velkaro
