// The command panel's buttons, in the order the Tab key visits them: what each is called, says,
// explains, where it sits and what it runs.
#include "ui/CommandPanel.h"

#include "commands/RowColumnCommands.h"
#include "commands/RowGenerators.h"
#include "ui/BitmapCommands.h"
#include "ui/ShowEdits.h"
#include "ui/ShowFileCommands.h"
#include "ui/UndoHistory.h"
#include "ui/WindowCommands.h"

namespace velkaro {

namespace {

constexpr const char* NoHint = "";
constexpr const char* ChaserHint = "Aus der ersten Szene einen Farbverlauf  erzeugen";

RowCommandResult MirrorShowWith(const ShowInputs& show, bool vertical) {
    MirrorShow(show.Cells, show.WorkGrid, show.Outputs, show.Steps, vertical);
    return {};
}

} // namespace

std::span<const ButtonCommand> CommandPanel::Buttons() {
    static const ButtonCommand buttons[] = {
        {"copyLastStepRotatedLeftButton",
         "<<<",
         "Die letzte Zeile kopieren und um ein Feld nach links verschieben",
         "copyLastStepGroup",
         {8, 16, 33, 25},
         EditShow([](const ShowInputs& s) {
             return CopyLastStep(s.Cells, s.Outputs, s.Steps, StepShift::RotateLeft);
         })},
        {"copyLastStepRotatedRightButton",
         ">>>",
         "Die letzte Zeile kopieren und um ein Feld nach rechts verschieben",
         "copyLastStepGroup",
         {88, 16, 33, 25},
         EditShow([](const ShowInputs& s) {
             return CopyLastStep(s.Cells, s.Outputs, s.Steps, StepShift::RotateRight);
         })},
        {"copyLastStepButton",
         "===",
         "Die letzte Zeile unverändert kopieren ",
         "copyLastStepGroup",
         {48, 16, 33, 25},
         EditShow([](const ShowInputs& s) {
             return CopyLastStep(s.Cells, s.Outputs, s.Steps, StepShift::Unchanged);
         })},
        {"copyLastStepShiftedRightButton",
         "| >>",
         NoHint,
         "copyLastStepGroup",
         {88, 48, 35, 25},
         EditShow([](const ShowInputs& s) {
             return CopyLastStep(s.Cells, s.Outputs, s.Steps, StepShift::ShiftRight);
         })},
        {"copyLastStepShiftedLeftButton",
         "<< |",
         NoHint,
         "copyLastStepGroup",
         {8, 48, 33, 25},
         EditShow([](const ShowInputs& s) {
             return CopyLastStep(s.Cells, s.Outputs, s.Steps, StepShift::ShiftLeft);
         })},
        {"importBitmapButton",
         "Laden",
         "Ein Bitmap als Animation übernehmen",
         "bitmapGroup",
         {8, 16, 49, 25},
         [](const WindowCommands& w) { w.Bitmaps.ImportBitmapFile(); }},
        {"exportBitmapButton",
         "Speichern",
         "Animation als Bitmap speichern",
         "bitmapGroup",
         {64, 16, 65, 25},
         [](const WindowCommands& w) { w.Bitmaps.ExportBitmapFile(); }},
        {"saveShowButton",
         "Speichern",
         "DMX Datei speichern",
         "fileGroup",
         {72, 20, 57, 25},
         [](const WindowCommands& w) { w.Files.SaveShowFile(); }},
        {"loadShowButton",
         "Laden",
         "DMX Datei laden",
         "fileGroup",
         {8, 20, 57, 25},
         [](const WindowCommands& w) { w.Files.LoadShowFile(); }},
        {"appendShowButton",
         "Anhängen",
         NoHint,
         "fileGroup",
         {8, 48, 57, 25},
         [](const WindowCommands& w) { w.Files.AppendShowFile(); }},
        {"chaserLeftButton",
         "<<<<<<<",
         ChaserHint,
         "chaserGroup",
         {8, 16, 49, 25},
         EditShow([](const ShowInputs& s) {
             return MakeChaser(s.Cells, s.Outputs, RunDirection::Left);
         })},
        {"chaserRightButton",
         ">>>>>>",
         ChaserHint,
         "chaserGroup",
         {64, 16, 65, 25},
         EditShow([](const ShowInputs& s) {
             return MakeChaser(s.Cells, s.Outputs, RunDirection::Right);
         })},
        {"stretchFirstStepButton",
         "Dehnen",
         NoHint,
         "firstStepGroup",
         {8, 16, 49, 25},
         EditShow(
             [](const ShowInputs& s) { return StretchFirstStep(s.Cells, s.WorkGrid, s.Outputs); })},
        {"rotateFirstStepLeftButton",
         "<<",
         NoHint,
         "firstStepGroup",
         {64, 16, 25, 25},
         EditShow([](const ShowInputs& s) {
             return RotateFirstStep(s.Cells, s.WorkGrid, s.Outputs, RunDirection::Left);
         })},
        {"rotateFirstStepRightButton",
         ">>",
         NoHint,
         "firstStepGroup",
         {96, 16, 27, 25},
         EditShow([](const ShowInputs& s) {
             return RotateFirstStep(s.Cells, s.WorkGrid, s.Outputs, RunDirection::Right);
         })},
        {"clearShowButton",
         "Clr",
         NoHint,
         "editGroup",
         {8, 16, 57, 25},
         [](const WindowCommands& w) { w.Edits.ClearShow(); }},
        {"brightenButton",
         "Aufhellen",
         NoHint,
         "editGroup",
         {72, 16, 57, 25},
         EditShow([](const ShowInputs& s) { return Brighten(s.Cells, s.Outputs, s.Steps); })},
        {"rainbowButton",
         "Regenbogen",
         NoHint,
         "editGroup",
         {8, 48, 123, 25},
         [](const WindowCommands& w) { w.Edits.MakeRainbow(); }},
        {"mirrorShowHorizontalButton",
         "Horizontal",
         NoHint,
         "mirrorShowGroup",
         {8, 16, 57, 25},
         EditShow([](const ShowInputs& s) { return MirrorShowWith(s, false); })},
        {"mirrorShowVerticalButton",
         "Vertikal",
         NoHint,
         "mirrorShowGroup",
         {72, 16, 57, 25},
         EditShow([](const ShowInputs& s) { return MirrorShowWith(s, true); })},
        {"undoButton",
         "Undo",
         NoHint,
         "undoGroup",
         {8, 13, 57, 25},
         [](const WindowCommands& w) { w.Undo.Undo(); }},
        {"redoButton",
         "Redo",
         NoHint,
         "undoGroup",
         {72, 13, 57, 25},
         [](const WindowCommands& w) { w.Undo.Redo(); }},
    };
    return buttons;
}

} // namespace velkaro
