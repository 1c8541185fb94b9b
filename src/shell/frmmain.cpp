#include "frmmain.h"

#include "banner/bannerstrip.h"
#include "banner/bannertoggle.h"
#include "columnlayout.h"
#include "commandrouter.h"
#include "core/eventlog.h"
#include "core/settingsstore.h"
#include "core/settingvalues.h"
#include "core/sidework.h"
#include "core/userdialogs.h"
#include "editguard.h"
#include "frmnag.h"
#include "helpbrowser.h"
#include "helpcontents.h"
#include "library/fileicons.h"
#include "library/playlistcommands.h"
#include "library/playlistfolderaccess.h"
#include "library/playlistlibrarymodel.h"
#include "library/playlistlibraryview.h"
#include "library/playliststore.h"
#include "library/songlistactions.h"
#include "library/songlisteditor.h"
#include "library/songlistmodel.h"
#include "library/songlistview.h"
#include "mainactions.h"
#include "mainlayout.h"
#include "mainloudness.h"
#include "mainremotecontrol.h"
#include "mainschedule.h"
#include "mainwindowlayout.h"
#include "mixer/frmmixer.h"
#include "mixerwindow.h"
#include "playeranswercheck.h"
#include "playback/forwardingplayerlink.h"
#include "playback/playbacksequencer.h"
#include "playback/playdisplay.h"
#include "playback/playeractions.h"
#include "playback/playerlink.h"
#include "playback/playertoolbar.h"
#include "playback/playmonitor.h"
#include "preferences/frmpreferences.h"
#include "remote/mprisservice.h"
#include "shellsettings.h"
#include "statusnote.h"
#include "statuspanels.h"
#include "storedgeometry.h"
#include "tagging/frmaddwizard.h"
#include "tagging/libraryplaylisttarget.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

namespace {

// How long a note stays in the status bar; the panels it covers come back after.
constexpr int kStatusNoteMs = 60'000;
// How soon a close asked for during an import is tried again.
constexpr int kCloseAfterImportMs = 20;

constexpr std::array<const char *, frmMain::kButtonCaptionCount> kButtonCaptionTexts{
    "New",   "Open", "Save", "Add",  "Remove", "View", "Prev",  "Play",
    "Pause", "Stop", "Next", "Cont", "Rand",   "Rep",  "Mixer", "Pref"};

QLabel *addPanel(QStatusBar *bar, const char *key, const QString &text, int stretch)
{
    auto *panel = new QLabel(text, bar);
    panel->setObjectName(QLatin1String(key));
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    bar->addWidget(panel, stretch);
    return panel;
}

// The arrow with the hourglass over the whole program while `busy`.
void setBusyPointer(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace

// Where playback shows itself in this window.
class frmMain::Display final : public PlayDisplay
{
public:
    explicit Display(frmMain &window)
        : m_window(window)
    {}
    void setTimeText(const QString &text) override { m_window.m_tbPlayer->setTimeText(text); }
    void setProgress(int percent) override { m_window.m_tbPlayer->setProgress(percent); }
    void setCaption(const QString &caption) override { m_window.setWindowTitle(caption); }
    bool isMinimized() const override { return m_window.isMinimized(); }
    void setBannerText(const QString &text) override { m_window.m_banner->setBannerText(text); }

private:
    frmMain &m_window;
};

frmMain::frmMain(const QString &programFolder, SettingsStore &settings, UserDialogs &dialogs,
                 std::unique_ptr<PlayerLink> link, QWidget *parent)
    : frmMain(programFolder, settings, dialogs, std::move(link), StartUp::Quiet, parent)
{}

frmMain::frmMain(const QString &programFolder, SettingsStore &settings, UserDialogs &dialogs,
                 std::unique_ptr<PlayerLink> link, StartUp startUp, QWidget *parent)
    : QMainWindow(parent)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_startUp(startUp)
    , m_desktopBrowser(std::make_unique<DesktopHelpBrowser>())
    , m_helpBrowser(m_desktopBrowser.get())
    , m_log(std::make_unique<EventLog>(programFolder + QLatin1String("/VORN.log")))
    , m_library(new PlayListLibraryModel(this))
    , m_songs(new SongListModel(this))
    , m_fileIcons(std::make_unique<FileIcons>())
    , m_link(std::make_unique<ForwardingPlayerLink>(std::move(link),
                                                    settings.value(ShellSettings::kWinamp)))
    , m_playerActions(std::make_unique<PlayerActions>(PlayerActions::create(this)))
    , m_display(std::make_unique<Display>(*this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("VORN"));
    createControls();

    m_store = std::make_unique<PlayListStore>(programFolder, *m_library,
                                              *m_lvPlayLists->selectionModel(), *m_songs, dialogs);
    m_store->setWriteProblem(PlayListFolderAccess::writeProblem(programFolder));
    m_editGuard = std::make_unique<EditGuard>(*m_store, *m_actions, *m_songActions);
    PlayListStore::Hooks hooks;
    hooks.updateStatusBar = [this] { UpdateStatusBar(); };
    hooks.setBusy = setBusyPointer;
    hooks.setLibraryMultiSelection = [this](bool on) {
        m_lvPlayLists->setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                                           : QAbstractItemView::SingleSelection);
    };
    hooks.enableSongEditing = [this] { m_commands->enableSongEditing(); };
    hooks.loadShortcutPlayList = [this](const QString &folder) {
        m_commands->LoadShortcutPlayList(folder, false, QString());
    };
    hooks.assignIcons = [this](SongRow &row) { assignFileIcons(row); };
    hooks.runAside = runBesideEvents;
    m_store->setHooks(std::move(hooks));
    m_loudness = std::make_unique<MainLoudness>(programFolder, settings, *m_log, *m_songs,
                                                *m_library, *m_store, *statusBar());
    wireSongList();
    wireCommands();
    wirePlayback();
    wireLayout();
    m_schedule = std::make_unique<MainSchedule>(MainSchedule::Parts{
        programFolder, this, m_actions->mnuPL, m_tbPlayer, m_store.get(), m_commands.get(),
        m_library, m_lvPlayLists->selectionModel(), m_songs, m_sequencer, m_playerActions.get(),
        &dialogs, m_log.get(), nullptr});

    // The timers start with the window; tmrHack waits for the end of the load.
    m_tmrInit = new QTimer(this);
    m_tmrInit->setObjectName(QStringLiteral("tmrInit"));
    m_tmrInit->setInterval(500);
    m_tmrInit->setSingleShot(true);
    connect(m_tmrInit, &QTimer::timeout, this, &frmMain::tmrInit_Timer);
    m_tmrHack = new QTimer(this);
    m_tmrHack->setObjectName(QStringLiteral("tmrHack"));
    m_tmrHack->setInterval(1000);
    m_tmrHack->setSingleShot(true);
    connect(m_tmrHack, &QTimer::timeout, this, &frmMain::tmrHack_Timer);
    m_tmrInit->start();

    Form_Load();
}

frmMain::~frmMain()
{
    // The views outlive the members while the window's children are deleted.
    m_songs->setImageSource({});
}

void frmMain::createControls()
{
    // Every control below the menu bar and above the status bar is placed by
    // code (Form_Resize), so the central widget has no layout.
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(central);

    m_actions =
        std::make_unique<MainActions>(MainActions::create(central, windowDotsPerInch(*this)));
    m_actions->addMenusTo(menuBar());
    m_banner = new BannerStrip(central);

    m_lvPlayLists = new PlayListLibraryView(central);
    m_lvPlayLists->setModel(m_library);
    connect(m_lvPlayLists->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    m_lvPlayLists->scrollTo(current);
            });

    m_lvSongs = new SongListView(m_songs, central);
    // The song menu lives only as a pop-up: it never enters the menu bar.
    m_songActions = std::make_unique<SongListActions>(SongListActions::create(central));

    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("sbInfo"));
    bar->setSizeGripEnabled(true);
    const StatusPanelTexts start = StatusPanelTexts::initial();
    m_pPlayLists = addPanel(bar, "pPlayLists", start.playLists, 0);
    m_pMediaFiles = addPanel(bar, "pMediaFiles", start.mediaFiles, 0);
    m_pPlayTime = addPanel(bar, "pPlayTime", start.playTime, 1);
    hidePanelsWhileANoteShows(bar, {m_pPlayLists, m_pMediaFiles, m_pPlayTime});
}

void frmMain::wireLayout()
{
    MainWindowLayout::Controls controls;
    controls.window = this;
    controls.central = centralWidget();
    controls.actions = m_actions.get();
    controls.banner = m_banner;
    controls.lvPlayLists = m_lvPlayLists;
    controls.lvSongs = m_lvSongs;
    controls.tbPlayer = m_tbPlayer;
    controls.tbPlayListOptions = m_songActions->tbPlayListOptions;
    controls.sbInfo = statusBar();
    controls.pPlayLists = m_pPlayLists;
    controls.bannerShown = [this] { return m_actions->mnuViewBanner->isChecked(); };
    m_layout = new MainWindowLayout(controls, this);

    const MainActions &a = *m_actions;
    for (int mode = 0; mode < MainActions::kViewModeCount; ++mode) {
        connect(a.mnuViewMode[static_cast<size_t>(mode)], &QAction::triggered, this,
                [this, mode] { mnuViewMode_Click(mode); });
    }
    connect(a.tbView, &QAction::triggered, this,
            [this] { mnuViewMode_Click(nextViewMode(m_lvSongs->viewMode())); });
    connect(a.mnuViewTextLabels, &QAction::triggered, this, [this] {
        // The action has flipped its own check mark; the command flips it.
        m_actions->mnuViewTextLabels->setChecked(!m_actions->mnuViewTextLabels->isChecked());
        mnuViewTextLabels_Click();
    });
    connect(a.mnuViewBanner, &QAction::triggered, this, [this] {
        m_actions->mnuViewBanner->setChecked(!m_actions->mnuViewBanner->isChecked());
        mnuViewBanner_Click();
    });
    m_tbPlayer->lblSign()->installEventFilter(this);
}

void frmMain::mnuViewMode_Click(int index)
{
    m_lvSongs->setViewMode(index);
    m_actions->checkViewMode(index);
}

void frmMain::mnuViewBanner_Click()
{
    QAction *banner = m_actions->mnuViewBanner;
    banner->setChecked(!banner->isChecked());
    // A window too low for the banner and the lists grows first. Our lowest
    // window can be above the rule's strip + 3000 twips, so the rule is
    // applied to that minimum.
    const int minimum = m_layout->minimumOuterHeight(true);
    const int outerHeight =
        m_layout->toTwips(centralWidget()->height() + statusBar()->height()) + 700;
    if (const std::optional<int> height =
            windowHeightForBanner(banner->isChecked(), minimum - 3000, outerHeight)) {
        resize(width(), this->height() + m_layout->toPixels(*height - outerHeight));
        QCoreApplication::processEvents();
    }
    ApplyBannerSettings();
}

void frmMain::ApplyBannerSettings()
{
    m_banner->ApplyBannerSettings(m_settings, m_actions->mnuViewBanner->isChecked());
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    m_layout->Form_Resize();
}

void frmMain::lblSign_Click()
{
    PlayMonitor &monitor = *m_monitor;
    monitor.ShowRemainingTime = !monitor.ShowRemainingTime;
    m_tbPlayer->lblSign()->setStyleSheet(monitor.ShowRemainingTime
                                             ? QStringLiteral("color: #ffffff;")
                                             : QStringLiteral("color: #808080;"));
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tbPlayer->lblSign() && event->type() == QEvent::MouseButtonRelease) {
        lblSign_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::wireSongList()
{
    m_songEditor = std::make_unique<SongListEditor>(*m_songs, *m_lvSongs->selectionModel(),
                                                    *m_store, m_dialogs);
    SongListEditor::Hooks hooks;
    hooks.updateStatusBar = [this] { UpdateStatusBar(); };
    hooks.assignIcons = [this](SongRow &row) { assignFileIcons(row); };
    hooks.importPlayListFile = [this](const QString &path, bool merge) {
        m_commands->ImportPlayListFile(path, merge);
    };
    m_songEditor->setHooks(std::move(hooks));
    m_songs->setImageSource([this](int index, bool large) {
        return m_fileIcons->pixmap(index, large ? FileIconSize::Large : FileIconSize::Small);
    });

    routeSongList(*m_songActions, *m_lvSongs, *m_songEditor, this);
    connect(m_lvSongs, &SongListView::contextMenuRequested, this, [this](const QPoint &at) {
        m_songActions->mnuSongsFadeAndPlay->setEnabled(
            fadeOutAndPlayEnabled(m_playerActions->tbStop->isChecked()));
        m_songActions->mnuSongs->popup(at);
    });
}

void frmMain::wireCommands()
{
    m_commands = std::make_unique<PlayListCommands>(
        *m_store, *m_library, *m_lvPlayLists->selectionModel(), *m_songs, *m_songEditor, m_dialogs);
    PlayListCommands::Hooks hooks;
    hooks.updateStatusBar = [this] { UpdateStatusBar(); };
    hooks.setBusy = setBusyPointer;
    hooks.setSongEditingEnabled = [this](bool enabled) {
        m_songActions->setSongEditingEnabled(enabled);
        m_actions->tbAdd->setEnabled(enabled);
        m_actions->tbRemove->setEnabled(enabled);
        m_editGuard->reapply();
    };
    hooks.setMergeEnabled = [this](bool enabled) {
        m_actions->mnuPLMerge->setEnabled(enabled);
        m_actions->tbbMerge->setEnabled(enabled);
    };
    hooks.setPlayListCommandsEnabled = [this](bool enabled) {
        for (QAction *item : {m_actions->mnuPLNew, m_actions->mnuPLOpen, m_actions->mnuPLRename,
                              m_actions->mnuPLSave, m_actions->mnuPLSaveAs,
                              m_actions->tbSavePlayList, m_actions->tbbSaveAs})
            item->setEnabled(enabled);
        m_lvSongs->setEnabled(enabled);
        m_editGuard->reapply();
    };
    hooks.showPlayListMenu = [this] { m_actions->mnuPL->popup(QCursor::pos()); };
    hooks.editPlayListName = [this](int row) { m_lvPlayLists->editName(row); };
    hooks.scrollToPlayList = [this](int row) { m_lvPlayLists->scrollTo(m_library->index(row, 0)); };
    hooks.setImporting = [this](bool importing, const QString &status) {
        m_lvPlayLists->setEnabled(!importing);
        if (importing)
            statusBar()->showMessage(status);
        else
            statusBar()->clearMessage();
    };
    m_commands->setHooks(std::move(hooks));

    routeLibraryView(*m_lvPlayLists, *m_commands, this);
    routeCommands(*m_actions, *m_commands, *m_songEditor, this);
    connect(m_actions->tbbAddWizard, &QAction::triggered, this, [this] { tbbAddWizard_Click(); });
    connect(m_actions->mnuHelpContents, &QAction::triggered, this,
            [this] { mnuHelpContents_Click(); });
    connect(m_actions->mnuHelpAbout, &QAction::triggered, this, [this] { mnuHelpAbout_Click(); });
}

void frmMain::mnuHelpContents_Click()
{
    ::mnuHelpContents_Click(*m_helpBrowser, m_dialogs, QCoreApplication::applicationDirPath());
}

void frmMain::mnuHelpAbout_Click()
{
    frmNag about(frmNag::AutoClose::Off, this);
    about.exec();
}

void frmMain::showPreferences()
{
    frmPreferences::Hooks hooks;
    // The meter takes the time now, whether or not the mixer window is shown.
    hooks.setSilenceDetect = [this](int ms) { m_mixer->setSilenceDetect(ms); };
    frmPreferences preferences(m_settings, m_dialogs, m_link->playerName(), std::move(hooks), this);
    const QString player = m_settings.value(ShellSettings::kWinamp);
    if (preferences.exec() == QDialog::Accepted && m_settings.value(ShellSettings::kWinamp) != player)
        m_answerCheck->check(m_settings.value(ShellSettings::kWinamp));
    m_loudness->reloadOptions();
}

void frmMain::tbbAddWizard_Click()
{
    LibraryPlayListTarget target(*m_store, *m_commands, *m_songEditor);
    QAction *newPlayList = m_actions->tbNewPlayList;
    target.setPlayListCommandsEnabled([newPlayList] { return newPlayList->isEnabled(); });
    frmAddWizard wizard(m_settings, m_dialogs, target, QString(), this);
    wizard.exec();
    UpdateStatusBar();
}

void frmMain::wirePlayback()
{
    m_tbPlayer = new PlayerToolBar(*m_playerActions, centralWidget());

    m_sequencer = new PlaybackSequencer(*m_link, *m_songs, *m_lvSongs->selectionModel(), *m_library,
                                        *m_playerActions, *m_display, m_dialogs, this);
    PlaybackSequencer::Hooks hooks;
    hooks.enablePlayListControls = [this](bool enabled) {
        m_lvPlayLists->setEnabled(enabled);
        m_actions->setPlayListCommandsEnabled(enabled);
        m_editGuard->reapply();
    };
    hooks.applyBannerSettings = [this] { ApplyBannerSettings(); };
    hooks.scrollToRow = [this](int row) {
        m_lvSongs->currentView()->scrollTo(m_songs->index(row, 0));
    };
    hooks.playerPath = [this] { return m_settings.value(ShellSettings::kWinamp); };
    hooks.needsNewPlayerLink = [this] {
        return m_link->needsNewLink(m_settings.value(ShellSettings::kWinamp));
    };
    hooks.replacePlayerLink = [this] {
        m_link->replaceLink(m_settings.value(ShellSettings::kWinamp));
    };
    hooks.processEvents = [] { QCoreApplication::processEvents(); };
    hooks.showMixer = [this](bool shown) {
        if (shown) {
            m_mixer->show();
            m_mixer->raise();
        } else {
            m_mixer->hide();
        }
    };
    auto report = [this](const QString &text) {
        m_log->write(text);
        statusBar()->showMessage(text, kStatusNoteMs);
    };
    hooks.reportTrouble = report;
    m_answerCheck = PlayerAnswerCheck::forMpv(report, this);
    hooks.showPreferences = [this] { showPreferences(); };
    hooks.songGain = [this](const QString &file) { return m_loudness->songGain(file); };
    hooks.songStarting = [this](int row) { m_loudness->songStarting(row); };
    m_sequencer->setHooks(std::move(hooks));

    m_monitor = std::make_unique<PlayMonitor>(*m_sequencer, *m_songs, *m_display);
    connect(m_sequencer->tmrMonitor(), &QTimer::timeout, this,
            [this] { m_monitor->tmrMonitor_Timer(); });

    PlaybackSequencer *sequencer = m_sequencer;
    connect(m_lvSongs, &SongListView::songDoubleClicked, this,
            [sequencer] { sequencer->lvSongs_DblClick(); });
    connect(m_songActions->mnuSongsPlay, &QAction::triggered, this,
            [sequencer] { sequencer->mnuSongsPlay_Click(); });
    connect(m_songActions->mnuSongsFadeAndPlay, &QAction::triggered, this,
            [sequencer] { sequencer->mnuSongsFadeAndPlay_Click(); });

    m_remote = std::make_unique<MainRemoteControl>(*this, *m_sequencer, *m_songs, *m_playerActions);
}

QString frmMain::publishRemoteControl(const QDBusConnection &bus)
{
    if (!m_mpris)
        m_mpris = std::make_unique<MprisService>(*m_remote);
    return m_mpris->publish(bus);
}

RemoteControl &frmMain::remoteControl()
{
    return *m_remote;
}

bool frmMain::PlayerLinked() const
{
    return m_sequencer->PlayerLinked();
}

void frmMain::assignFileIcons(SongRow &row)
{
    const FileIcons::Indexes icons = m_fileIcons->GetFileIcons(row.fileNameUtf8());
    row.icon = static_cast<quint16>(icons.large);
    row.smallIcon = static_cast<quint16>(icons.small);
}

void frmMain::Form_Load()
{
    // Working copies found now hold the unsaved work of a VORN that ended
    // without its closing steps; the library shows them as modified lists.
    m_store->recoverWorkingCopies();
    restoreStoredGeometry(*this, m_settings);
    loadMixer();
    if (m_startUp == StartUp::WithSplash) {
        // Modal: the start-up timer fires while it is up.
        frmNag splash(frmNag::AutoClose::On, this);
        splash.exec();
    }
    m_tmrHack->start();
}

void frmMain::tmrInit_Timer()
{
    m_tmrInit->stop();

    for (int i = 0; i < kButtonCaptionCount; ++i)
        m_buttonCaptions[static_cast<size_t>(i)] =
            QString::fromLatin1(kButtonCaptionTexts[static_cast<size_t>(i)]);

    m_layout->placeSplitterAtStart();

    const bool textLabels = textLabelsOn(m_settings.value(ShellSettings::kTextLabels));
    m_actions->mnuViewTextLabels->setChecked(!textLabels);
    mnuViewTextLabels_Click();

    LoadColumnLayout(*m_lvSongs->detailsView()->horizontalHeader(), m_settings, windowDotsPerInch(*this));

    m_actions->mnuViewBanner->setChecked(
        showBannerOn(m_settings.value(ShellSettings::kShowBanner)));
    ApplyBannerSettings();
    m_viewOptionsApplied = true;

    QCoreApplication::processEvents();

    // The player comes up while the lists load.
    m_sequencer->beginLinkingPlayer();

    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();

    m_store->LoadPlayLists();
    if (const int recovered = m_store->recoveredCount())
        statusBar()->showMessage(PlayListStore::recoveryNote(recovered), kStatusNoteMs);

    if (!m_sequencer->finishLinkingPlayer())
        m_sequencer->ShowWinampNotFound();
    m_loudness->start();
    m_editGuard->announce(*statusBar());
}

void frmMain::tmrHack_Timer()
{
    m_tmrHack->stop();
    m_playerActions->tbStop->setChecked(true);
    // The lists are loaded and the splash is gone: the slot that runs now starts.
    m_schedule->start();
}

void frmMain::mnuViewTextLabels_Click()
{
    QAction *labels = m_actions->mnuViewTextLabels;
    labels->setChecked(!labels->isChecked());
    m_actions->applyTextLabels(m_buttonCaptions, labels->isChecked(), m_playerActions->buttons());
    QCoreApplication::processEvents();
    m_layout->Form_Resize();
}

bool frmMain::Form_QueryUnload()
{
    if (!m_closingWithoutQuestions && m_store->QuerySaveChanges())
        return true;

    // Closed before start-up applied the stored view options: the controls
    // still show the built-in ones, which must not replace the user's.
    m_tmrInit->stop();
    if (m_viewOptionsApplied) {
        SaveColumnLayout(*m_lvSongs->detailsView()->horizontalHeader(), m_settings, windowDotsPerInch(*this));
        m_settings.save(ShellSettings::kTextLabels,
                        onOffText(m_actions->mnuViewTextLabels->isChecked()));
        m_settings.save(ShellSettings::kShowBanner,
                        onOffText(m_actions->mnuViewBanner->isChecked()));
    }
    storeGeometry(*this, m_settings);
    if (!m_closingWithoutQuestions)
        m_store->DeleteWorkingCopies();
    m_mixer->unload();
    // A folder already named as unwritable is not named again.
    if (const QString failed = m_settings.sync();
        !failed.isEmpty() && !m_closingWithoutQuestions && m_store->writeProblem().isEmpty())
        m_dialogs.messageBox(QStringLiteral("VORN"), failed, DialogButtons::Ok,
                             DialogIcon::Warning);
    m_loudness->close();
    m_sequencer->closePlayer();
    // A new player location still being checked runs a program of its own.
    m_answerCheck->stop();
    return false;
}

void frmMain::closeWithoutQuestions()
{
    m_closingWithoutQuestions = true;
    close();
}

void frmMain::loadMixer()
{
    if (!m_mixer)
        m_mixer =
            createMixerWindow(m_settings, *m_link, *m_sequencer, *m_playerActions, *m_log, this);
}

void frmMain::changeEvent(QEvent *event)
{
    // The mixer window follows the main window's minimized state.
    if (event->type() == QEvent::WindowStateChange && m_mixer) {
        if (isMinimized())
            m_mixer->setWindowState(m_mixer->windowState() | Qt::WindowMinimized);
        else
            m_mixer->setWindowState(m_mixer->windowState() & ~Qt::WindowMinimized);
    }
    QMainWindow::changeEvent(event);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    // An import on its way is stopped first (it changes nothing then); the
    // close comes back once it has returned.
    if (m_commands->importing()) {
        m_commands->cancelImport();
        event->ignore();
        QTimer::singleShot(kCloseAfterImportMs, this, &QWidget::close);
        return;
    }
    if (Form_QueryUnload())
        event->ignore();
    else
        event->accept();
}

void frmMain::NewPlayList(const QString &name)
{
    m_commands->NewPlayList(name);
}

void frmMain::SetModifyedPLFlag()
{
    m_store->SetModifyedPLFlag();
}

void frmMain::UpdateStatusBar()
{
    const StatusPanelTexts texts = StatusPanelTexts::compute(m_library->count(), *m_songs);
    m_pPlayLists->setText(texts.playLists);
    m_pMediaFiles->setText(texts.mediaFiles);
    m_pPlayTime->setText(texts.playTime);
    m_store->SavePlayList(true);
    m_editGuard->recheck();
}
