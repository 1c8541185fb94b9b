#pragma once

#include <QMainWindow>

#include <array>
#include <memory>

class BannerStrip;
class EditGuard;
class EventLog;
class FileIcons;
class ForwardingPlayerLink;
class HelpBrowser;
class MainLoudness;
class MainRemoteControl;
class MainSchedule;
class MainWindowLayout;
class MprisService;
class PlayMonitor;
class PlaybackSequencer;
class PlayerLink;
class PlayerToolBar;
class PlayerAnswerCheck;
class PlayListCommands;
class PlayListLibraryModel;
class PlayListLibraryView;
class PlayListStore;
class QDBusConnection;
class QLabel;
class frmMixer;
class QTimer;
class RemoteControl;
class SettingsStore;
class SongListEditor;
class SongListModel;
class SongListView;
class UserDialogs;
struct MainActions;
struct PlayerActions;
struct SongListActions;
class SongRow;

// The main window and composition root: it creates the controls and the
// collaborators, wires them, and runs start-up and closing in their order.
class frmMain : public QMainWindow
{
    Q_OBJECT

public:
    // Captions of the 16 toolbar buttons: tbTools' six, then tbPlayer's ten.
    static constexpr int kButtonCaptionCount = 16;

    // Whether the load shows the splash window modally (the program does;
    // windows made by tests start quietly).
    enum class StartUp
    {
        Quiet,
        WithSplash,
    };

    frmMain(const QString &programFolder, SettingsStore &settings, UserDialogs &dialogs,
            std::unique_ptr<PlayerLink> link, QWidget *parent = nullptr);
    frmMain(const QString &programFolder, SettingsStore &settings, UserDialogs &dialogs,
            std::unique_ptr<PlayerLink> link, StartUp startUp, QWidget *parent = nullptr);
    ~frmMain() override;

    // Public operations other windows call.
    void NewPlayList(const QString &name);
    void SetModifyedPLFlag();
    void UpdateStatusBar();

    // Start-up and closing, in the order the window runs them.
    void Form_Load();
    void tmrInit_Timer();
    void tmrHack_Timer();
    // Runs the closing steps; true when the user cancelled and the window stays.
    bool Form_QueryUnload();
    // Closes as closing does, but asks nothing and keeps the working copies,
    // so that unsaved work stays on disk (the program was told to end).
    void closeWithoutQuestions();

    void mnuViewTextLabels_Click();
    void mnuViewBanner_Click();
    void mnuViewMode_Click(int index);
    void ApplyBannerSettings();
    void lblSign_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();
    // Shows the preferences modally; the sequencer then re-applies the banner
    // and retries the link, or moves to a new link when the stored player
    // program is driven another way.
    void showPreferences();
    // Where Help > Contents opens its page; the desktop's browser unless set.
    void setHelpBrowser(HelpBrowser *browser) { m_helpBrowser = browser; }

    PlayListStore &store() { return *m_store; }
    SongListEditor &songEditor() { return *m_songEditor; }
    PlayListCommands &commands() { return *m_commands; }
    SongListView &songView() { return *m_lvSongs; }
    FileIcons &fileIcons() { return *m_fileIcons; }
    const SongListActions &songActions() const { return *m_songActions; }
    SongListModel &songs() { return *m_songs; }
    PlayListLibraryModel &library() { return *m_library; }
    const std::array<QString, kButtonCaptionCount> &ButtonCaptions() const
    {
        return m_buttonCaptions;
    }
    bool PlayerLinked() const;
    PlaybackSequencer &sequencer() { return *m_sequencer; }
    PlayMonitor &monitor() { return *m_monitor; }
    const PlayerActions &playerActions() const { return *m_playerActions; }
    PlayerToolBar &playerToolBar() { return *m_tbPlayer; }
    BannerStrip &banner() { return *m_banner; }
    MainWindowLayout &windowLayout() { return *m_layout; }
    MainLoudness &loudness() { return *m_loudness; }
    const MainActions &mainActions() const { return *m_actions; }
    frmMixer &mixer() { return *m_mixer; }
    MainSchedule &schedule() { return *m_schedule; }
    // The link everything holds; it moves to a new player when the stored
    // program needs another kind of link.
    ForwardingPlayerLink &playerLink() { return *m_link; }

    // Offers the player's commands and state to remote controls (MPRIS) on
    // `bus`. Returns the bus name taken; empty, and nothing offered, when the
    // bus cannot be used.
    QString publishRemoteControl(const QDBusConnection &bus);
    RemoteControl &remoteControl();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void wireSongList();
    void assignFileIcons(SongRow &row);
    void wirePlayback();
    void wireLayout();
    void wireCommands();
    // Shows the Add Wizard modally, then refreshes the status bar.
    void tbbAddWizard_Click();
    void loadMixer();

    SettingsStore &m_settings;
    UserDialogs &m_dialogs;
    StartUp m_startUp = StartUp::Quiet;
    std::unique_ptr<HelpBrowser> m_desktopBrowser;
    HelpBrowser *m_helpBrowser = nullptr;
    // VORN.log in the program folder: what went wrong while nobody watched.
    std::unique_ptr<EventLog> m_log;

    PlayListLibraryModel *m_library;
    SongListModel *m_songs;
    class Display;

    std::unique_ptr<FileIcons> m_fileIcons;
    std::unique_ptr<ForwardingPlayerLink> m_link;
    std::unique_ptr<PlayerActions> m_playerActions;
    std::unique_ptr<Display> m_display;
    PlaybackSequencer *m_sequencer = nullptr;
    std::unique_ptr<PlayMonitor> m_monitor;
    PlayerToolBar *m_tbPlayer = nullptr;
    std::unique_ptr<MainActions> m_actions;
    BannerStrip *m_banner = nullptr;
    MainWindowLayout *m_layout = nullptr;
    std::unique_ptr<PlayListStore> m_store;
    std::unique_ptr<SongListEditor> m_songEditor;
    std::unique_ptr<PlayListCommands> m_commands;
    std::unique_ptr<EditGuard> m_editGuard;
    std::unique_ptr<SongListActions> m_songActions;
    // Even loudness: measures the songs in the background, gives each its gain.
    std::unique_ptr<MainLoudness> m_loudness;

    PlayListLibraryView *m_lvPlayLists = nullptr;
    SongListView *m_lvSongs = nullptr;
    QLabel *m_pPlayLists = nullptr;
    QLabel *m_pMediaFiles = nullptr;
    QLabel *m_pPlayTime = nullptr;
    QTimer *m_tmrInit = nullptr;
    QTimer *m_tmrHack = nullptr;
    frmMixer *m_mixer = nullptr;
    PlayerAnswerCheck *m_answerCheck = nullptr;

    std::array<QString, kButtonCaptionCount> m_buttonCaptions;
    // Set once the start-up timer has applied the stored view options.
    bool m_viewOptionsApplied = false;
    bool m_closingWithoutQuestions = false;

    std::unique_ptr<MainSchedule> m_schedule;

    // The remote side goes before the controls it presses.
    std::unique_ptr<MainRemoteControl> m_remote;
    std::unique_ptr<MprisService> m_mpris;
};
