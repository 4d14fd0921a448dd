#include "files/ShowFingerprint.h"
#include "ShowFileSupport.h"
#include "files/ShowFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace velkaro {
namespace {

using testing::Bytes;
using testing::ReadBytes;
using testing::TempFolder;

struct Show {
    std::unique_ptr<Grid> cells = NewGrid();
    ShowSettings settings{20, 3, 10, FadeMode};
    bool mono = false;

    Show() {
        cells->At(0, 0) = 0x123456;
        cells->At(1, 5) = 0x00FF00;
        cells->At(2, 167) = 0x0000FF;
    }
    Bytes Saved(const TempFolder& folder) const {
        SaveShow(folder / "show.dmx", *cells, settings, mono);
        return ReadBytes(folder / "show.dmx");
    }
    std::uint64_t Fingerprint() const { return ShowFingerprint(*cells, settings, mono); }
};

// The fingerprint differs exactly where the saved file differs; each case also says which of the
// two it is, so that a change in what a save writes is noticed here as well.
TEST(ShowFingerprintTest, ChangesExactlyWhenTheSavedFileWould) {
    struct Case {
        const char* what;
        std::function<void(Show&)> change;
        bool fileChanges;
    };
    const Case cases[] = {
        {"a cell's colour", [](Show& s) { s.cells->At(1, 5) = 0x00FE00; }, true},
        {"two cells swapped", [](Show& s) { std::swap(s.cells->At(0, 0), s.cells->At(1, 5)); },
         true},
        {"a cell beyond Outputs, which a save writes anyway",
         [](Show& s) { s.cells->At(0, 100) = 1; }, true},
        {"the last output of the last step", [](Show& s) { s.cells->At(2, 167) = 0; }, true},
        {"one step more", [](Show& s) { s.settings.Steps = 4; }, true},
        {"one step less", [](Show& s) { s.settings.Steps = 2; }, true},
        {"the mode", [](Show& s) { s.settings.BlendMode = HoldMode; }, true},
        {"the step length", [](Show& s) { s.settings.StepLength = 11; }, true},
        {"single-colour mode", [](Show& s) { s.mono = true; }, true},
        {"a cell at row Steps", [](Show& s) { s.cells->At(3, 0) = White; }, false},
        {"a cell in the spare column", [](Show& s) { s.cells->At(0, 168) = White; }, false},
        {"the Outputs setting", [](Show& s) { s.settings.Outputs = 168; }, false},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Show show;
        const Bytes before = show.Saved(folder);
        const auto fingerprint = show.Fingerprint();
        c.change(show);
        EXPECT_EQ(show.Saved(folder) != before, c.fileChanges);
        EXPECT_EQ(show.Fingerprint() != fingerprint, c.fileChanges);
    }
}

// Single-colour records carry only the red byte; a half-and-half length loses its odd tenth.
TEST(ShowFingerprintTest, WhatASaveDropsDoesNotCount) {
    Show mono;
    mono.mono = true;
    const auto fingerprint = mono.Fingerprint();
    mono.cells->At(1, 5) = 0xFFFF00;
    EXPECT_EQ(mono.Fingerprint(), fingerprint);

    Show half;
    half.settings = {20, 3, 24, HalfFadeHalfHoldMode};
    const auto even = half.Fingerprint();
    half.settings.StepLength = 25;
    EXPECT_EQ(half.Fingerprint(), even);
    half.settings.StepLength = 26;
    EXPECT_NE(half.Fingerprint(), even);
}

} // namespace
} // namespace velkaro
