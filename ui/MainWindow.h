#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

namespace velkaro {

class BitmapCommands;
class CommandPanel;
class GridMouseEditing;
class GridView;
class LiveOutput;
class Panel;
class PaletteWindow;
class PreviewPlayer;
class ShowPublisher;
class RecoveryCopies;
class SelectionCommands;
class SelectionPanel;
class SettingsControls;
class ShowEdits;
class ShowFileCommands;
class SongColumn;
class TempoColumn;
class SongTrack;
class StatusBar;
class UndoHistory;
struct ShowState;
struct WindowCommands;

// What the program was started with.
struct WindowOptions {
    QString ShowFile;                // a DMX show to open once the window is first activated
    std::optional<int> LiveUniverse; // live output on this universe from the start
    int OlaPort = 9010;              // olad's RPC port
};

// The main window: the grid area with its status bar, preview and palette on the left, the
// command panel or the selection panel on the right. It composes the parts, starts the show
// and routes every command to the class that carries it out.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* Title = "Velkaro Version 1.07";

    explicit MainWindow(const WindowOptions& options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    bool Activated() const { return activated_; }
    // Writes a recovery copy of what was never saved, if anything.
    void KeepUnsavedWork();
    // What ending the program takes: the recovery copy, then the blackout, which olad has taken
    // when this returns (within about a second). Only the first call acts.
    void KeepWorkAndDarkenLamps();
    // A song to attach at the first activation, over the one the show's project names.
    void SetStartSong(const QString& path) { startSong_ = path; }
    // The controls in the order the Tab key visits them.
    std::vector<QWidget*> TabChain() const;

    // The parts, for the program's start-up, its tests and benchmarks.
    ShowState& Show() { return *show_; }
    SettingsControls& Settings() { return *settings_; }
    GridView& View() { return *gridView_; }
    PaletteWindow& Palette() { return *paletteWindow_; }
    PreviewPlayer& Preview() { return *preview_; }
    UndoHistory& History() { return *undo_; }
    ShowFileCommands& Files() { return *files_; }
    BitmapCommands& Bitmaps() { return *bitmaps_; }
    LiveOutput& Live() { return *liveOutput_; }
    ShowPublisher& Publisher() { return *publisher_; }
    RecoveryCopies& Recovery() { return *recovery_; }
    SongTrack& Song() { return *song_; }
    SongColumn& SongControls() { return *songColumn_; }
    TempoColumn& TempoControls() { return *tempoColumn_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildLayout();
    void BuildGridArea();
    void ConnectSongToPreview();
    void CreateCommands();
    void StartShow();
    void FirstActivation();
    void ShowSelectionPanel(bool active);
    void ArrangeTabOrder();
    void CentreOnScreen();

    WindowOptions options_;
    QString startSong_;
    bool activated_ = false;
    bool ended_ = false;
    std::unique_ptr<ShowState> show_;
    SettingsControls* settings_ = nullptr;
    ShowPublisher* publisher_ = nullptr;
    PreviewPlayer* preview_ = nullptr;
    LiveOutput* liveOutput_ = nullptr;
    SongTrack* song_ = nullptr;
    SongColumn* songColumn_ = nullptr;
    TempoColumn* tempoColumn_ = nullptr;
    CommandPanel* commandPanel_ = nullptr;
    SelectionPanel* selectionPanel_ = nullptr;
    Panel* gridArea_ = nullptr;
    StatusBar* statusBar_ = nullptr;
    Panel* paletteHost_ = nullptr;
    GridView* gridView_ = nullptr;
    PaletteWindow* paletteWindow_ = nullptr;
    std::unique_ptr<UndoHistory> undo_;
    std::unique_ptr<GridMouseEditing> mouseEditing_;
    std::unique_ptr<RecoveryCopies> recovery_;
    ShowFileCommands* files_ = nullptr;
    BitmapCommands* bitmaps_ = nullptr;
    ShowEdits* showEdits_ = nullptr;
    SelectionCommands* selectionCommands_ = nullptr;
    std::unique_ptr<WindowCommands> commands_;
};

} // namespace velkaro
