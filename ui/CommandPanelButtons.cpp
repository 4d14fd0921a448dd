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

constexpr const char* ChaserHint = "Aus der ersten Szene einen Farbverlauf  erzeugen";

} // namespace

std::span<const ButtonCommand> CommandPanel::Buttons() {
    static const ButtonCommand buttons[] = {
        {.Name = "copyLastStepRotatedLeftButton",
         .Caption = "<<<",
         .Hint = "Die letzte Zeile kopieren und um ein Feld nach links verschieben",
         .Group = "copyLastStepGroup",
         .Geometry = {8, 16, 33, 25},
         .Run = EditShow([](const ShowInputs& s) {
             return CopyLastStep(s.Cells, s.Outputs, s.Steps, StepShift::RotateLeft);
         })},
        {.Name = "copyLastStepRotatedRightButton",
         .Caption = ">>>",
         .Hint = "Die letzte Zeile kopieren und um ein Feld nach rechts verschieben",
         .Group = "copyLastStepGroup",
         .Geometry = {88, 16, 33, 25},
         .Run = EditShow([](const ShowInputs& s) {
             return CopyLastStep(s.Cells, s.Outputs, s.Steps, StepShift::RotateRight);
         })},
        {.Name = "copyLastStepButton",
         .Caption = "===",
         .Hint = "Die letzte Zeile unverändert kopieren ",
         .Group = "copyLastStepGroup",
         .Geometry = {48, 16, 33, 25},
         .Run = EditShow([](const ShowInputs& s) {
             return CopyLastStep(s.Cells, s.Outputs, s.Steps, StepShift::Unchanged);
         })},
        {.Name = "copyLastStepShiftedRightButton",
         .Caption = "| >>",
         .Group = "copyLastStepGroup",
         .Geometry = {88, 48, 35, 25},
         .Run = EditShow([](const ShowInputs& s) {
             return CopyLastStep(s.Cells, s.Outputs, s.Steps, StepShift::ShiftRight);
         })},
        {.Name = "copyLastStepShiftedLeftButton",
         .Caption = "<< |",
         .Group = "copyLastStepGroup",
         .Geometry = {8, 48, 33, 25},
         .Run = EditShow([](const ShowInputs& s) {
             return CopyLastStep(s.Cells, s.Outputs, s.Steps, StepShift::ShiftLeft);
         })},
        {.Name = "importBitmapButton",
         .Caption = "Laden",
         .Hint = "Ein Bitmap als Animation übernehmen",
         .Group = "bitmapGroup",
         .Geometry = {8, 16, 49, 25},
         .Run = [](const WindowCommands& w) { w.Bitmaps.ImportBitmapFile(); }},
        {.Name = "exportBitmapButton",
         .Caption = "Speichern",
         .Hint = "Animation als Bitmap speichern",
         .Group = "bitmapGroup",
         .Geometry = {64, 16, 65, 25},
         .Run = [](const WindowCommands& w) { w.Bitmaps.ExportBitmapFile(); }},
        {.Name = "saveShowButton",
         .Caption = "Speichern",
         .Hint = "DMX Datei speichern",
         .Group = "fileGroup",
         .Geometry = {72, 20, 57, 25},
         .Run = [](const WindowCommands& w) { w.Files.SaveShowFile(); }},
        {.Name = "loadShowButton",
         .Caption = "Laden",
         .Hint = "DMX Datei laden",
         .Group = "fileGroup",
         .Geometry = {8, 20, 57, 25},
         .Run = [](const WindowCommands& w) { w.Files.LoadShowFile(); }},
        {.Name = "appendShowButton",
         .Caption = "Anhängen",
         .Group = "fileGroup",
         .Geometry = {8, 48, 57, 25},
         .Run = [](const WindowCommands& w) { w.Files.AppendShowFile(); }},
        {.Name = "chaserLeftButton",
         .Caption = "<<<<<<<",
         .Hint = ChaserHint,
         .Group = "chaserGroup",
         .Geometry = {8, 16, 49, 25},
         .Run = EditShow([](const ShowInputs& s) {
             return MakeChaser(s.Cells, s.Outputs, RunDirection::Left);
         })},
        {.Name = "chaserRightButton",
         .Caption = ">>>>>>",
         .Hint = ChaserHint,
         .Group = "chaserGroup",
         .Geometry = {64, 16, 65, 25},
         .Run = EditShow([](const ShowInputs& s) {
             return MakeChaser(s.Cells, s.Outputs, RunDirection::Right);
         })},
        {.Name = "stretchFirstStepButton",
         .Caption = "Dehnen",
         .Group = "firstStepGroup",
         .Geometry = {8, 16, 49, 25},
         .Run = EditShow(
             [](const ShowInputs& s) { return StretchFirstStep(s.Cells, s.WorkGrid, s.Outputs); })},
        {.Name = "rotateFirstStepLeftButton",
         .Caption = "<<",
         .Group = "firstStepGroup",
         .Geometry = {64, 16, 25, 25},
         .Run = EditShow([](const ShowInputs& s) {
             return RotateFirstStep(s.Cells, s.WorkGrid, s.Outputs, RunDirection::Left);
         })},
        {.Name = "rotateFirstStepRightButton",
         .Caption = ">>",
         .Group = "firstStepGroup",
         .Geometry = {96, 16, 27, 25},
         .Run = EditShow([](const ShowInputs& s) {
             return RotateFirstStep(s.Cells, s.WorkGrid, s.Outputs, RunDirection::Right);
         })},
        {.Name = "clearShowButton",
         .Caption = "Clr",
         .Group = "editGroup",
         .Geometry = {8, 16, 57, 25},
         .Run = [](const WindowCommands& w) { w.Edits.ClearShow(); }},
        {.Name = "brightenButton",
         .Caption = "Aufhellen",
         .Group = "editGroup",
         .Geometry = {72, 16, 57, 25},
         .Run =
             EditShow([](const ShowInputs& s) { return Brighten(s.Cells, s.Outputs, s.Steps); })},
        {.Name = "rainbowButton",
         .Caption = "Regenbogen",
         .Group = "editGroup",
         .Geometry = {8, 48, 123, 25},
         .Run = [](const WindowCommands& w) { w.Edits.MakeRainbow(); }},
        {.Name = "mirrorShowHorizontalButton",
         .Caption = "Horizontal",
         .Group = "mirrorShowGroup",
         .Geometry = {8, 16, 57, 25},
         .Run = EditShow([](const ShowInputs& s) {
             MirrorShow(s.Cells, s.WorkGrid, s.Outputs, s.Steps, false);
         })},
        {.Name = "mirrorShowVerticalButton",
         .Caption = "Vertikal",
         .Group = "mirrorShowGroup",
         .Geometry = {72, 16, 57, 25},
         .Run = EditShow([](const ShowInputs& s) {
             MirrorShow(s.Cells, s.WorkGrid, s.Outputs, s.Steps, true);
         })},
        {.Name = "undoButton",
         .Caption = "Undo",
         .Group = "undoGroup",
         .Geometry = {8, 13, 57, 25},
         .Run = [](const WindowCommands& w) { w.Undo.Undo(); }},
        {.Name = "redoButton",
         .Caption = "Redo",
         .Group = "undoGroup",
         .Geometry = {72, 13, 57, 25},
         .Run = [](const WindowCommands& w) { w.Undo.Redo(); }},
    };
    return buttons;
}

} // namespace velkaro
