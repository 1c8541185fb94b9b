#include "mainloudness.h"

#include "core/eventlog.h"
#include "library/playlistlibrarymodel.h"
#include "library/playliststore.h"
#include "library/songlistmodel.h"
#include "loudness/loudnesscache.h"
#include "loudness/loudnessservice.h"
#include "loudness/loudnesssettings.h"

#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

MainLoudness::MainLoudness(const QString &programFolder, SettingsStore &settings, EventLog &log,
                           SongListModel &songs, PlayListLibraryModel &library,
                           PlayListStore &store, QStatusBar &bar, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_songs(songs)
    , m_library(library)
    , m_store(store)
    , m_service(std::make_unique<LoudnessService>(
          programFolder + QLatin1Char('/') + QLatin1String(LoudnessCacheFile::kFileName),
          [&log](const QString &line) { log.write(line); }))
    , m_pLoudness(new QLabel(&bar))
    , m_settle(new QTimer(this))
{
    // A folder that cannot be written is never written, not even the cache.
    m_service->setWritable([&store] { return store.writeProblem().isEmpty(); });
    m_pLoudness->setObjectName(QStringLiteral("pLoudness"));
    m_pLoudness->hide();
    bar.addWidget(m_pLoudness);
    connect(m_service.get(), &LoudnessService::progressChanged, this, [this](int done, int total) {
        m_pLoudness->setText(LoudnessService::progressText(done, total));
        m_pLoudness->setVisible(total > 0);
    });

    m_settle->setSingleShot(true);
    m_settle->setInterval(kSettleMs);
    connect(m_settle, &QTimer::timeout, this, &MainLoudness::planWork);
    const auto settleAgain = [this] {
        if (m_started)
            m_settle->start();
    };
    connect(&m_songs, &SongListModel::modelReset, this, settleAgain);
    connect(&m_songs, &SongListModel::rowsInserted, this, settleAgain);
    connect(&m_songs, &SongListModel::rowsRemoved, this, settleAgain);
    connect(&m_songs, &SongListModel::layoutChanged, this, settleAgain);
}

MainLoudness::~MainLoudness() = default;

void MainLoudness::start()
{
    if (m_started)
        return;
    m_started = true;
    m_service->setOptions(LoudnessSettings::read(m_settings));
    m_service->load();
    planWork();
}

void MainLoudness::reloadOptions()
{
    const LoudnessSettings::Options before = m_service->options();
    const LoudnessSettings::Options now = LoudnessSettings::read(m_settings);
    m_service->setOptions(now);
    if (m_started
        && (now.even != before.even || now.useGainTags != before.useGainTags))
        planWork();
}

double MainLoudness::songGain(const QString &file) const
{
    return m_service->gainFor(file);
}

void MainLoudness::songStarting(int row)
{
    if (row + 1 < m_songs.rowCount())
        m_service->measureFirst(m_songs.row(row + 1).field(chFile));
}

void MainLoudness::planWork()
{
    m_settle->stop();
    const int next = m_songs.CurrentSong(); // 1-based current: the index of the one after it
    QStringList others;
    const int shown = m_store.ShownPlayList();
    for (int row = 0; row < m_library.count(); ++row) {
        if (row == shown)
            continue;
        const QString working = m_store.workingCopyOf(row);
        others.append(QFileInfo::exists(working) ? working : m_store.storedFileOf(row));
    }
    m_service->setWork(SongFiles(m_songs.rows()), next, {}, others);
}

void MainLoudness::close()
{
    m_settle->stop();
    m_started = false;
    m_service->close();
}
