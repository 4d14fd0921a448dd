#include "app/CommandLine.h"
#include "audio/SongBeat.h"
#include "files/ShowProject.h"
#include "model/ShowError.h"
#include "player/FseqExport.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/ProgramEnd.h"

#include <QApplication>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The song an export names: the one given, else the one of the show's project file. A damaged
// project file is told, and the sequence is written without a song.
std::string SongToExport(const velkaro::CommandLine& commandLine, const std::string& program) {
    if (!commandLine.audio.empty()) return commandLine.audio;
    try {
        const auto project = velkaro::ReadShowProject(commandLine.showFile);
        return project ? project->SongPath : std::string();
    } catch (const velkaro::ShowError& error) {
        std::cerr << program << ": " << velkaro::WithFullStop(error.what()) << '\n';
        return {};
    }
}

// Tempo and first beat on one line, for scripts; without a display.
int PrintTempo(const std::string& song, const std::string& program) {
    try {
        const std::optional<velkaro::BeatProposal> beat = velkaro::FindSongBeat(song);
        if (!beat) {
            std::cerr << program << ": " << velkaro::NoBeatMessage(song) << ".\n";
            return 1;
        }
        std::printf("%.2f %.3f\n", beat->Bpm, beat->FirstBeatSeconds);
        return 0;
    } catch (const velkaro::ShowError& error) {
        std::cerr << program << ": " << velkaro::WithFullStop(error.what()) << '\n';
        return 2;
    }
}

std::string ProgramName(const char* path) {
    const std::string name = path ? path : "velkaro";
    return name.substr(name.find_last_of('/') + 1);
}

} // namespace

int main(int argc, char* argv[]) {
    // Help, version and faulty options are answered before a window system is needed.
    const std::string program = ProgramName(argc > 0 ? argv[0] : nullptr);
    const velkaro::CommandLine commandLine =
        velkaro::ParseCommandLine(std::vector<std::string>(argv + std::min(argc, 1), argv + argc));
    using Action = velkaro::CommandLine::Action;
    switch (commandLine.action) {
    case Action::ShowHelp:
        std::cout << velkaro::UsageText(program);
        return 0;
    case Action::ShowVersion:
        std::cout << velkaro::VersionText(program) << '\n';
        return 0;
    case Action::Error:
        std::cerr << program << ": " << commandLine.error << '\n'
                  << "Aufruf: " << program << " --help zeigt die Hilfe.\n";
        return 2;
    case Action::Run:
        break;
    }
    if (const std::string note = velkaro::IgnoredFilesNote(commandLine); !note.empty())
        std::cerr << program << ": " << note << '\n';
    if (!commandLine.findTempo.empty()) return PrintTempo(commandLine.findTempo, program);
    // An export needs neither a window nor a display.
    if (!commandLine.exportFseq.empty()) {
        try {
            velkaro::ExportShowFileAsFseq(commandLine.showFile, commandLine.exportFseq,
                                          commandLine.compress, SongToExport(commandLine, program));
            return 0;
        } catch (const velkaro::ShowError& error) {
            std::cerr << program << ": " << velkaro::WithFullStop(error.what()) << '\n';
            return 2;
        }
    }

    QApplication app(argc, argv);
    velkaro::ApplyVelkaroLook(app);
    // Desktops find the program's entry and icon under this name.
    QGuiApplication::setDesktopFileName("org.example.velkaro");
    velkaro::WindowOptions options;
    options.ShowFile = QString::fromLocal8Bit(commandLine.showFile.c_str());
    options.LiveUniverse = commandLine.liveUniverse;
    options.OlaPort = commandLine.olaPort;
    velkaro::MainWindow window(options);
    window.SetStartSong(QString::fromLocal8Bit(commandLine.audio.c_str()));
    const velkaro::ProgramEnd programEnd(window);
    window.show();
    // Without a window manager nothing activates a new window; the editor's start-up relies
    // on being activated once.
    window.activateWindow();
    const int status = app.exec();
    // However the loop ended (the last window closed, a signal, the session's end).
    window.KeepWorkAndDarkenLamps();
    return status;
}
