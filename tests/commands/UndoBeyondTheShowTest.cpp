// Undo and redo of a small show whose edits reach far past it: snapshots hold only the rows
// that can differ from black, yet every cell of the grid, the spare row and column and the
// cells past the show's outputs and steps included, comes back as a whole copy shows it.
#include "commands/BlockCommands.h"
#include "commands/FillBlock.h"
#include "commands/RowColumnCommands.h"
#include "commands/RowGenerators.h"
#include "model/ShowMemory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

namespace velkaro {
namespace {

using WholeGrid = std::vector<TColor>;

class UndoBeyondTheShowTest : public ::testing::Test {
protected:
    // A 100-step show of 20 outputs, a hidden cell past the outputs and one in the spare column.
    void SetUp() override {
        for (int r = 0; r < 100; ++r)
            for (int c = 0; c < 20; ++c) Cells().At(r, c) = RGB(r, c * 10, 200);
        Cells().At(10, 100) = 0x0A0B0C;
        Cells().At(40, LastCol) = 0x123456;
        settings.Steps = 100;
        slotHolds.fill(-1);
    }

    Grid& Cells() { return *memory.Cells; }
    BlockBuffer Clip() { return BlockBufferOf(memory); }
    WholeGrid Whole() { return {Cells().AllCells().begin(), Cells().AllCells().end()}; }
    void Select(int col1, int row1, int col2, int row2) { sel = {true, col1, col2, row1, row2}; }

    // As the window runs a command: the snapshot, then the edit. The test keeps a whole copy of
    // what each slot should hold.
    void Edit(const std::function<void()>& edit) {
        memory.Undo.Push(Cells(), settings);
        slotHolds[Slot()] = static_cast<int>(copies.size());
        copies.push_back(Whole());
        edit();
        ASSERT_TRUE(BlackFromTheMarkOn()) << "an edit wrote past the mark of used rows";
    }
    void Apply(const CommandResult& result) {
        if (result.Steps) settings.Steps = *result.Steps;
        if (result.NewSelection) sel = *result.NewSelection;
        if (result.EndSelection) sel = Selection{};
    }
    void Apply(const RowCommandResult& result) {
        if (result.Steps) settings.Steps = *result.Steps;
    }

    // Undo and Redo as the window has them, each checked against the whole copy.
    void Undo() {
        ExpectSlotRestored();
        memory.Undo.StepBack();
    }
    void Redo() {
        memory.Undo.StepForward();
        ExpectSlotRestored();
    }

    ShowMemory memory;
    ShowSettings settings;
    Selection sel;

private:
    std::size_t Slot() const { return static_cast<std::size_t>(memory.Undo.UndoPos()); }
    void ExpectSlotRestored() {
        CopyGrid(Cells(), memory.Undo.SlotGrid());
        const int held = slotHolds[Slot()];
        ASSERT_GE(held, 0);
        ASSERT_TRUE(Whole() == copies[static_cast<std::size_t>(held)]) << "snapshot " << held;
        ASSERT_TRUE(BlackFromTheMarkOn());
    }
    bool BlackFromTheMarkOn() {
        const auto cells = Cells().AllCells();
        return std::all_of(cells.begin() +
                               static_cast<std::ptrdiff_t>(Cells().UsedRows()) * GridCols,
                           cells.end(), [](TColor c) { return c == Black; });
    }

    std::vector<WholeGrid> copies;
    std::array<int, UndoRing::SlotCount> slotHolds{};
};

TEST_F(UndoBeyondTheShowTest, EveryCellComesBackAfterEditsFarPastTheShow) {
    Edit([&] { FillBlock(Cells(), 2, 10, 6, 30, 0x0000FF); }); // a paint stroke
    Edit([&] {                                                 // a paste at step 9,999
        Select(0, 0, 5, 4);
        CopyBlock(Cells(), sel, Clip());
        Select(0, 9999, 0, 9999);
        sel = PasteBlock(Cells(), sel, Clip());
    });
    Edit([&] { Apply(ClearShow(Cells())); }); // the spare column keeps its cell
    Edit([&] { Apply(Brighten(Cells(), 20, 100)); });
    Edit([&] { // the show lengthened...
        Select(0, 0, 0, 99);
        Apply(DuplicateRows(Cells(), *memory.WorkGrid, sel, settings.Steps));
    });
    Edit([&] { // ...and shortened again, leaving cells past the lowered step count
        Select(0, 0, 0, 179);
        Apply(DeleteRows(Cells(), *memory.WorkGrid, sel, settings.Steps));
    });
    Edit([&] { Apply(CopyLastStep(Cells(), 20, MaxSteps, StepShift::Unchanged)); }); // row 10000
    Edit([&] {
        Select(0, 0, 2, 0);
        Apply(DeleteColumns(Cells(), *memory.WorkGrid, sel));
    });
    Edit([&] {
        Select(5, 0, 6, 0);
        Apply(DuplicateColumns(Cells(), *memory.WorkGrid, sel));
    });

    for (int i = 0; i < 4; ++i) Undo();
    for (int i = 0; i < 2; ++i) Redo();
    // New edits over the redone state replace snapshots of other sizes.
    Edit([&] {
        Select(0, 0, 3, LastSelectableRow);
        MirrorBlock(Cells(), *memory.SelWorkGrid, sel, true);
    });
    Edit([&] {
        Select(0, 9990, 5, 10000);
        FadeBlockVertical(Cells(), sel);
    });
    Edit([&] { MirrorShow(Cells(), *memory.WorkGrid, 20, MaxSteps, true); });
    Edit([&] {
        Select(0, 0, 3, 2);
        CopyBlock(Cells(), sel, Clip());
        Apply(TrimToBlock(Cells(), Clip()));
    });
    Edit([&] { Apply(MakeChaser(Cells(), 20, RunDirection::Left)); });
    Edit([&] { FillBlock(Cells(), LastCol, LastRow, LastCol, LastRow, White); }); // spare row

    // Round the whole ring and back, twice, so each snapshot is restored over the others.
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < UndoRing::SlotCount; ++i) Undo();
        for (int i = 0; i < UndoRing::SlotCount; ++i) Redo();
    }
}

} // namespace
} // namespace velkaro
