#pragma once

#include <QObject>

namespace velkaro {

class GridView;
class SettingsControls;
class UndoHistory;
struct CommandResult;
struct Selection;
struct ShowState;

// The commands on whole rows and columns of the selection and the commands on the selected
// block.
class SelectionCommands : public QObject {
    Q_OBJECT
public:
    SelectionCommands(QObject* parent, ShowState& show, SettingsControls& settings, GridView& view,
                      UndoHistory& undo);

    void DeleteRows();
    void DuplicateRows();
    void DeleteColumns();
    void DuplicateColumns();

    void CopyBlock();
    void PasteBlock();
    void TrimToBlock();
    void MirrorBlockRightAsCopy();
    void MirrorBlockDownAsCopy();
    void MirrorBlockHorizontal();
    void MirrorBlockVertical();
    void MoveBlockUp();
    void MoveBlockLeft();
    void MoveBlockRight();
    void MoveBlockDown();
    void FadeBlockVertical();

private:
    void MirrorBlock(bool vertical);
    void MoveBlock(int dx, int dy);
    // Outputs and Steps change only through their controls, whose handlers redraw the view.
    void ApplyOutputs(const CommandResult& result);
    void ApplySteps(const CommandResult& result);
    // A moved or resized block is stored straight into the bounds: the block stays selected
    // and the next PaintGrid draws its frame where it now lies.
    void StoreBounds(const Selection& sel);

    ShowState& show_;
    SettingsControls& settings_;
    GridView& view_;
    UndoHistory& undo_;
};

} // namespace velkaro
