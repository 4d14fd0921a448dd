#pragma once

namespace velkaro {

class GridView;
class SettingsControls;
struct ShowState;

// The ten snapshots of the show and its settings, as the undo ring keeps them.
class UndoHistory {
public:
    UndoHistory(ShowState& show, SettingsControls& settings, GridView& view);

    void PushUndo();
    void Undo();
    void Redo();
    // Fills the whole ring with the show as it is now.
    void FillWithCurrentShow();

private:
    void RestoreUndo();

    ShowState& show_;
    SettingsControls& settings_;
    GridView& view_;
};

} // namespace velkaro
