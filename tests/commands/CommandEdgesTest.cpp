#include "CommandTestWindow.h"

namespace velkaro {
namespace {

// Every command must stay inside the grids whatever the selection: the sanitizer build turns
// a stray index before or after a grid into a failure, and the ten spare rows below row 10000,
// which none of these commands may write, catch a stray index that stays inside the memory.
class CommandEdgesTest : public CommandTestWindow {
protected:
    bool SpareRowsUntouched() {
        for (int r = LastSelectableRow + 1; r < GridRows; ++r)
            for (int c = 0; c < GridCols; ++c)
                if (Cells()[r][c] != Mark(r, c)) return false;
        return true;
    }
};

TEST_F(CommandEdgesTest, SelectionsReachingColumn168AndRow10000) {
    settings.Outputs = MaxOutputs;
    settings.Steps = MaxSteps;
    const Selection selections[] = {{true, 0, 168, 0, 10000},
                                    {true, 168, 168, 10000, 10000},
                                    {true, 160, 168, 9990, 10000},
                                    {true, 0, 168, 10000, 10000},
                                    {true, 168, 168, 0, 9999}};
    for (const Selection& s : selections) {
        sel = s;
        ClickEveryCommand();
        ASSERT_TRUE(SpareRowsUntouched());
    }
}

TEST_F(CommandEdgesTest, BlocksPushedPastEveryEdgeAndBack) {
    struct Push {
        int dx, dy, presses;
    };
    const Push pushes[] = {{1, 0, 12}, {0, 1, 12}, {-1, 0, 180}, {0, -1, 40}, {1, 0, 3}};
    Select(160, 9995, 168, 10000);
    for (const Push& push : pushes) {
        for (int press = 0; press < push.presses; ++press) {
            ClickMove(push.dx, push.dy);
            if (press % 4 == 0) ClickEveryCommand();
        }
        ASSERT_TRUE(SpareRowsUntouched());
    }
}

TEST_F(CommandEdgesTest, MirroredCopiesBesideTheLastColumnAndRow) {
    Select(150, 9990, 168, 10000);
    for (int press = 0; press < 3; ++press) {
        ClickMirrorRight();
        ClickMirrorDown();
    }
    EXPECT_TRUE(SpareRowsUntouched());
    EXPECT_LE(settings.Outputs, MaxOutputs);
    EXPECT_LE(settings.Steps, MaxSteps);
}

TEST_F(CommandEdgesTest, BoundsNoMouseCanDeliverAreCutToTheGrid) {
    const Selection hostile[] = {{true, -3, 200, -7, 20000},
                                 {true, 500, 400, 20000, 10},
                                 {true, 0, -2, 0, -2},
                                 {true, -100, -50, -100, -50}};
    Select(0, 0, 168, 10000);
    ClickCopy(); // a full buffer, so pastes have something to write
    for (const Selection& s : hostile) {
        sel = s;
        ClickPaste();
        sel = s;
        ClickEveryCommand();
        ASSERT_TRUE(SpareRowsUntouched());
    }
    MirrorShow(Cells(), WorkGrid(), 5000, 50000, false);
    MirrorShow(Cells(), WorkGrid(), -1, -1, true);
    EXPECT_TRUE(SpareRowsUntouched());
}

} // namespace
} // namespace velkaro
