#pragma once

// A stand-in for the main window's share of the row, column and block commands: it holds the
// show memory, the settings and the selection, and runs the click handlers in the order the
// window runs them, so the tests see cells, settings, selection and undo ring together.

#include "commands/BlockCommands.h"
#include "commands/RowColumnCommands.h"
#include "model/ShowMemory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace velkaro {
namespace {

// A colour telling where a cell started out, so a moved cell shows its origin.
constexpr TColor Mark(int row, int col) {
    return static_cast<TColor>((row << 8) + col + 1);
}

class CommandTestWindow : public ::testing::Test {
protected:
    // The fourteen grids are reserved once for all tests, as the program does.
    static void SetUpTestSuite() { memory_ = std::make_unique<ShowMemory>(); }
    static void TearDownTestSuite() { memory_.reset(); }

    void SetUp() override {
        for (int r = 0; r < GridRows; ++r)
            for (int c = 0; c < GridCols; ++c) Cells()[r][c] = Mark(r, c);
        memory_->ClipWidth = 0;
        memory_->ClipHeight = 0;
        settings = ShowSettings{};
        settings.Outputs = 20;
        settings.Steps = 10;
        sel = Selection{};
    }

    Grid& Cells() { return *memory_->Cells; }
    Grid& WorkGrid() { return *memory_->WorkGrid; }
    Grid& SelWorkGrid() { return *memory_->SelWorkGrid; }
    BlockBuffer Clip() { return BlockBufferOf(*memory_); }
    UndoRing& Ring() { return memory_->Undo; }

    // A copy of the cells to compare against after a command.
    std::unique_ptr<Grid> Snapshot() {
        auto copy = NewGrid();
        CopyGrid(*copy, Cells());
        return copy;
    }
    bool CellsEqual(const Grid& other) {
        return std::memcmp(Cells().AllCells().data(), other.AllCells().data(), GridBytes) == 0;
    }

    void Select(int col1, int row1, int col2, int row2) { sel = {true, col1, col2, row1, row2}; }

    void PushUndo() { Ring().Push(Cells(), settings); }
    void Undo() {
        CopyGrid(Cells(), Ring().SlotGrid());
        settings = Ring().SlotSettings();
        Ring().StepBack();
    }

    // Outputs and Steps as their controls take them, the selection as the window keeps it.
    void Apply(const CommandResult& result) {
        if (result.Outputs) settings.Outputs = *result.Outputs;
        if (result.Steps) settings.Steps = *result.Steps;
        if (result.NewSelection) sel = *result.NewSelection;
        if (result.EndSelection) sel = Selection{};
    }

    // The click handlers.
    void ClickMirrorShow(bool vertical) {
        PushUndo();
        MirrorShow(Cells(), WorkGrid(), settings.Outputs, settings.Steps, vertical);
    }
    void ClickDeleteRows() {
        PushUndo();
        Apply(DeleteRows(Cells(), WorkGrid(), sel, settings.Steps));
    }
    void ClickDuplicateRows() {
        PushUndo();
        Apply(DuplicateRows(Cells(), WorkGrid(), sel, settings.Steps));
    }
    void ClickDeleteColumns() {
        PushUndo();
        Apply(DeleteColumns(Cells(), WorkGrid(), sel));
    }
    void ClickDuplicateColumns() {
        PushUndo();
        Apply(DuplicateColumns(Cells(), WorkGrid(), sel));
    }
    void ClickCopy() { CopyBlock(Cells(), sel, Clip()); }
    void ClickPaste() {
        PushUndo();
        sel = PasteBlock(Cells(), sel, Clip());
    }
    void ClickTrim() {
        CopyBlock(Cells(), sel, Clip());
        if (TrimToBlockRefused(Clip())) return;
        PushUndo();
        Apply(TrimToBlock(Cells(), Clip()));
    }
    void ClickMirrorBlock(bool vertical) {
        PushUndo();
        MirrorBlock(Cells(), SelWorkGrid(), sel, vertical);
    }
    void ClickMove(int dx, int dy) {
        PushUndo();
        sel = MoveBlock(Cells(), sel, Clip(), dx, dy);
    }
    void ClickFade() {
        if (FadeBlockVerticalRefused(sel)) return;
        PushUndo();
        FadeBlockVertical(Cells(), sel);
    }
    MirroredCopySteps MirrorButtonSteps(bool vertical) {
        return {[this] { PushUndo(); },
                [this, vertical](const Selection& copy) {
                    sel = copy;
                    ClickMirrorBlock(vertical);
                }};
    }
    void ClickMirrorRight() {
        Apply(MirrorBlockRight(Cells(), sel, Clip(), settings.Outputs, MirrorButtonSteps(false)));
    }
    void ClickMirrorDown() {
        Apply(MirrorBlockDown(Cells(), sel, Clip(), settings.Steps, MirrorButtonSteps(true)));
    }

    // Every command once on the current selection; used to prove they stay inside the grids.
    void ClickEveryCommand() {
        const Selection start = sel;
        const ShowSettings startSettings = settings;
        auto run = [&](auto click) {
            sel = start;
            settings = startSettings;
            click();
        };
        run([&] { ClickDeleteRows(); });
        run([&] { ClickDuplicateRows(); });
        run([&] { ClickDeleteColumns(); });
        run([&] { ClickDuplicateColumns(); });
        run([&] { ClickCopy(), ClickPaste(); });
        run([&] { ClickTrim(); });
        run([&] { ClickMirrorBlock(false); });
        run([&] { ClickMirrorBlock(true); });
        run([&] { ClickMove(1, 0); });
        run([&] { ClickMove(-1, 0); });
        run([&] { ClickMove(0, -1); });
        run([&] { ClickMove(0, 1); });
        run([&] { ClickFade(); });
        run([&] { ClickMirrorRight(); });
        run([&] { ClickMirrorDown(); });
        sel = start;
        settings = startSettings;
    }

    static inline std::unique_ptr<ShowMemory> memory_;
    ShowSettings settings;
    Selection sel;
};

} // namespace
} // namespace velkaro
