#include "core/settingsstore.h"
#include "shell/columnlayout.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

constexpr double kDpi = 96.0; // 15 twips to a pixel

// A details view with the song list's six columns, movable as in lvSongs.
struct SongHeader
{
    SongHeader()
    {
        view.setModel(&model);
        view.header()->setSectionsMovable(true);
        view.header()->setStretchLastSection(false);
    }
    QHeaderView &header() { return *view.header(); }

    QStandardItemModel model{0, kSongColumnCount};
    QTreeView view;
};

class ColumnLayoutTest : public ::testing::Test
{
protected:
    QString stored(const char *key) const
    {
        return settings->GetSetting(QStringLiteral("Preferences"), QLatin1String(key), QString());
    }
    void store(const char *key, const QString &text)
    {
        settings->SaveSetting(QStringLiteral("Preferences"), QLatin1String(key), text);
    }
    void reopenSettings()
    {
        settings->sync();
        settings = std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("VORN.ini")));
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> settings =
        std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("VORN.ini")));
};

TEST_F(ColumnLayoutTest, AnEmptyStoreGivesDefaultWidthsAndDesignPositions)
{
    SongHeader songs;
    LoadColumnLayout(songs.header(), *settings, kDpi);
    for (int logical = 0; logical < kSongColumnCount; ++logical) {
        EXPECT_EQ(songs.header().sectionSize(logical), 133); // 2000 twips
        EXPECT_EQ(songs.header().visualIndex(logical), logical);
    }
}

TEST_F(ColumnLayoutTest, WidthsAndPositionsSurviveARestart)
{
    {
        SongHeader before;
        const std::array<int, kSongColumnCount> widths{150, 90, 120, 60, 45, 300};
        for (int logical = 0; logical < kSongColumnCount; ++logical)
            before.header().resizeSection(logical, widths[static_cast<size_t>(logical)]);
        before.header().moveSection(before.header().visualIndex(chFile), 0);
        SaveColumnLayout(before.header(), *settings, kDpi);
    }
    reopenSettings();

    EXPECT_EQ(stored("WchTitle"), QStringLiteral("2250"));
    EXPECT_EQ(stored("WchFile"), QStringLiteral("4500"));
    EXPECT_EQ(stored("IchFile"), QStringLiteral("1"));
    EXPECT_EQ(stored("IchTitle"), QStringLiteral("2"));

    SongHeader after;
    LoadColumnLayout(after.header(), *settings, kDpi);
    const std::array<int, kSongColumnCount> widths{150, 90, 120, 60, 45, 300};
    const std::array<int, kSongColumnCount> places{1, 2, 3, 4, 5, 0};
    for (int logical = 0; logical < kSongColumnCount; ++logical) {
        SCOPED_TRACE(logical);
        EXPECT_EQ(after.header().sectionSize(logical), widths[static_cast<size_t>(logical)]);
        EXPECT_EQ(after.header().visualIndex(logical), places[static_cast<size_t>(logical)]);
    }
}

TEST_F(ColumnLayoutTest, EveryStoredArrangementComesBackExactly)
{
    std::array<int, kSongColumnCount> places{0, 1, 2, 3, 4, 5};
    SongHeader songs;
    do {
        for (int logical = 0; logical < kSongColumnCount; ++logical) {
            settings->save(ColumnLayoutSettings::positionKey(static_cast<SongColumn>(logical)),
                           QString::number(places[static_cast<size_t>(logical)] + 1));
        }
        LoadColumnLayout(songs.header(), *settings, kDpi);
        std::array<int, kSongColumnCount> shown{};
        for (int logical = 0; logical < kSongColumnCount; ++logical)
            shown[static_cast<size_t>(logical)] = songs.header().visualIndex(logical);
        ASSERT_EQ(shown, places);
    } while (std::next_permutation(places.begin(), places.end()));
}

TEST_F(ColumnLayoutTest, AColumnNeverMovedKeepsItsDesignPosition)
{
    // Only Len was ever stored, as the first column.
    store("IchLen", QStringLiteral("1"));
    SongHeader songs;
    LoadColumnLayout(songs.header(), *settings, kDpi);
    EXPECT_EQ(songs.header().visualIndex(chLen), 0);
    EXPECT_EQ(songs.header().visualIndex(chTitle), 1);
    EXPECT_EQ(songs.header().visualIndex(chFile), 5);

    SongHeader untouched;
    SaveColumnLayout(untouched.header(), *settings, kDpi);
    SongHeader reloaded;
    reloaded.header().moveSection(0, 3);
    LoadColumnLayout(reloaded.header(), *settings, kDpi);
    for (int logical = 0; logical < kSongColumnCount; ++logical)
        EXPECT_EQ(reloaded.header().visualIndex(logical), logical);
}

TEST_F(ColumnLayoutTest, GarbageFallsBackToTheDefault)
{
    store("WchTitle", QStringLiteral("wide"));
    store("WchArtist", QStringLiteral("-300"));
    store("WchAlbum", QStringLiteral("1500"));
    store("IchTitle", QStringLiteral("left"));
    store("IchArtist", QStringLiteral("9"));
    store("IchAlbum", QStringLiteral("0"));
    store("IchGenre", QStringLiteral("-2"));
    SongHeader songs;
    LoadColumnLayout(songs.header(), *settings, kDpi);
    EXPECT_EQ(songs.header().sectionSize(chTitle), 133);
    EXPECT_EQ(songs.header().sectionSize(chArtist), 133);
    EXPECT_EQ(songs.header().sectionSize(chAlbum), 100);
    for (int logical = 0; logical < kSongColumnCount; ++logical)
        EXPECT_EQ(songs.header().visualIndex(logical), logical);
}

TEST_F(ColumnLayoutTest, WidthsFollowTheScreenResolution)
{
    store("WchTitle", QStringLiteral("1440")); // one inch
    SongHeader songs;
    LoadColumnLayout(songs.header(), *settings, 144.0);
    EXPECT_EQ(songs.header().sectionSize(chTitle), 144);
    SaveColumnLayout(songs.header(), *settings, 144.0);
    EXPECT_EQ(stored("WchTitle"), QStringLiteral("1440"));
}

} // namespace
