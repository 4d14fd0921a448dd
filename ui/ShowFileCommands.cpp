// Loading, saving and appending DMX show files.
#include "ui/ShowFileCommands.h"

#include "files/ShowFile.h"
#include "player/FseqExport.h"
#include "ui/CommandPanel.h"
#include "ui/ErrorHandling.h"
#include "ui/FileDialogs.h"
#include "ui/GridView.h"
#include "ui/SettingsControls.h"
#include "ui/ShowState.h"
#include "ui/SongTrack.h"

#include <QFileDialog>

namespace velkaro {

namespace {

// Shown as "DMX"; the list takes the extension in any letter case.
const QString DmxFilter = "DMX (*.DMX)";
// Sequences for players that read FSEQ; the show itself stays a DMX document.
const QString FseqFilter = "FSEQ (*.fseq)";
const QString CompressedFseqFilter = "FSEQ komprimiert (*.fseq)";

enum class SaveKind { Dmx, Fseq, CompressedFseq };

// The dialog names its filter in full or, as it shows it, by the name alone.
SaveKind KindOf(const QString& filter) {
    if (filter.startsWith("FSEQ komprimiert")) return SaveKind::CompressedFseq;
    if (filter.startsWith("FSEQ")) return SaveKind::Fseq;
    return SaveKind::Dmx;
}

} // namespace

ShowFileCommands::ShowFileCommands(QWidget* window, ShowState& show, SettingsControls& settings,
                                   GridView& view, CommandPanel& panel, SongTrack& song)
    : QObject(window), window_(window), show_(show), settings_(settings), view_(view),
      panel_(panel), song_(song) {}

// A file dialog takes a third of the window's start-up to build, so both wait for the first
// file command; from then on they are kept.
void ShowFileCommands::CreateDialogs() {
    if (openShowDialog_) return;
    openShowDialog_ =
        NewFileDialog(window_, "openShowDialog", QFileDialog::AcceptOpen, {DmxFilter});
    saveShowDialog_ = NewFileDialog(window_, "saveShowDialog", QFileDialog::AcceptSave,
                                    {DmxFilter, FseqFilter, CompressedFseqFilter});
}

void ShowFileCommands::LoadShow(const QString& path, bool append) {
    const auto takeFirstRecord = [this](const ShowRecord::StepTiming& timing) {
        settings_.SetBlendMode(timing.BlendMode);
        settings_.SetStepLength(timing.StepLength);
    };
    LoadResult result;
    try {
        result = velkaro::LoadShow(LocalPath(path), append, show_.Cells, settings_.MonoMode(),
                                   append ? settings_.Steps() : 1, takeFirstRecord);
    } catch (...) {
        // A load that failed part-way has already cleared the grid and read some records;
        // the view must show that, not the show that is gone.
        view_.PaintGrid();
        throw;
    }
    // As text, so the fields decide: zero steps or more than 10000 leave Steps as it was.
    settings_.TypeSteps(result.StepsText);
    settings_.TypeOutputs(result.OutputsText);
}

void ShowFileCommands::SaveShow(const QString& path) {
    velkaro::SaveShow(LocalPath(path), show_.Cells, settings_.Values(), settings_.MonoMode());
    song_.SaveBeside(LocalPath(path));
}

void ShowFileCommands::FollowSongOf(const QString& path) {
    RunGuarded(window_, [&] { song_.FollowLoadedShow(LocalPath(path)); });
}

// Asks for a show file to read; the path, or an empty one when the user cancels. The save
// dialog then offers the same file, and the caption names it.
QString ShowFileCommands::ChooseShowToRead() {
    show_.IgnoreNextGridRelease = true;
    CreateDialogs();
    const QString path = ChooseFile(openShowDialog_);
    if (path.isEmpty()) return path;
    saveShowDialog_->selectFile(path);
    SetCaption(path);
    return path;
}

void ShowFileCommands::LoadShowFile() {
    RunGuarded(window_, [this] {
        const QString path = ChooseShowToRead();
        if (path.isEmpty()) return;
        LoadShow(path, false);
        view_.PaintGrid();
        emit showMatchesFile();
        FollowSongOf(path);
    });
}

void ShowFileCommands::ExportFseq(const QString& path, bool compress) {
    const ShowSettings settings = settings_.Values();
    velkaro::ExportFseq(LocalPath(path), show_.Cells, settings, settings_.MonoMode(), compress,
                        song_.Project().SongPath,
                        TickLengthOf(song_.Project().Tempo, settings.StepLength));
}

void ShowFileCommands::SaveShowFile() {
    RunGuarded(window_, [this] {
        show_.IgnoreNextGridRelease = true;
        CreateDialogs();
        // Each save starts as a DMX save, so an earlier export is never repeated by accident.
        SelectFileType(saveShowDialog_, DmxFilter);
        const QString path = ChooseFile(saveShowDialog_);
        if (path.isEmpty()) return;
        const SaveKind kind = KindOf(saveShowDialog_->selectedNameFilter());
        // An export leaves caption and unsaved state alone: the show is still its DMX file.
        if (kind != SaveKind::Dmx) return ExportFseq(path, kind == SaveKind::CompressedFseq);
        SetCaption(path);
        SaveShow(path);
        emit showMatchesFile();
    });
}

void ShowFileCommands::AppendShowFile() {
    RunGuarded(window_, [this] {
        const QString path = ChooseShowToRead();
        if (path.isEmpty()) return;
        const int times = panel_.AppendTimes();
        for (int i = 0; i < times; ++i) LoadShow(path, true);
        view_.PaintGrid();
    });
}

// The caption shows a path exactly as given: Qt would read "[*]" in it as the marker of a
// modified document, unless it is doubled.
void ShowFileCommands::SetCaption(const QString& text) {
    window_->setWindowTitle(QString(text).replace("[*]", "[*][*]"));
}

void ShowFileCommands::LoadCommandLineShow(const QString& path) {
    SetCaption(path);
    LoadShow(path, false);
    CreateDialogs();
    openShowDialog_->selectFile(path);
    emit showMatchesFile();
    FollowSongOf(path);
}

} // namespace velkaro
