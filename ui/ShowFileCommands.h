#pragma once

#include <QObject>
#include <QString>

class QFileDialog;
class QWidget;

namespace velkaro {

class CommandPanel;
class GridView;
class SettingsControls;
class SongTrack;
struct ShowState;

// The "Datei" commands: loading, saving and appending DMX show files, exporting FSEQ sequences,
// and the show named on the command line. Both dialogs are kept once made, so each opens where
// it was last left.
class ShowFileCommands : public QObject {
    Q_OBJECT
public:
    ShowFileCommands(QWidget* window, ShowState& show, SettingsControls& settings, GridView& view,
                     CommandPanel& panel, SongTrack& song);

    void LoadShowFile();
    void SaveShowFile();
    void AppendShowFile();
    // Opens the show given at start; errors go to the caller.
    void LoadCommandLineShow(const QString& path);

    // Loads a DMX show file and puts its steps, outputs, mode and length into the controls.
    void LoadShow(const QString& path, bool append);
    void SaveShow(const QString& path);
    // Writes the show as an FSEQ sequence; the show stays the document it was.
    void ExportFseq(const QString& path, bool compress);

signals:
    // After a show was loaded from or saved to a file: the show now equals that file.
    void showMatchesFile();

private:
    void CreateDialogs();
    QString ChooseShowToRead();
    void SetCaption(const QString& text);
    // The song of the show just loaded; a fault in its project file is told on its own, after
    // the show itself has loaded.
    void FollowSongOf(const QString& path);

    QWidget* window_;
    ShowState& show_;
    SettingsControls& settings_;
    GridView& view_;
    CommandPanel& panel_;
    SongTrack& song_;
    QFileDialog* openShowDialog_ = nullptr;
    QFileDialog* saveShowDialog_ = nullptr;
};

} // namespace velkaro
