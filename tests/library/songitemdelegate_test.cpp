#include "library/songitemdelegate.h"
#include "library/songlistmodel.h"
#include "library/songlistview.h"
#include "support/playlistfiles.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTableView>

#include <gtest/gtest.h>

#include <array>

namespace {

// The song list's details view painted by its own delegate and by Qt's
// standard one must give the same pixels: the kept shaped texts may change
// the cost of a paint, never its look.
class SongItemDelegateTest : public ::testing::Test
{
protected:
    SongItemDelegateTest()
    {
        model.setImageSource([](int index, bool large) {
            QPixmap pixmap(large ? 32 : 16, large ? 32 : 16);
            pixmap.fill(index == 1 ? Qt::darkGreen : Qt::darkBlue);
            QPainter painter(&pixmap);
            painter.setPen(Qt::yellow);
            painter.drawLine(0, 0, pixmap.width() - 1, pixmap.height() - 1);
            return pixmap;
        });
        const QString longTitle =
            QStringLiteral("A very long song title that cannot fit into its column at all");
        addRow({longTitle, QStringLiteral("Artist"), QStringLiteral("Album"),
                QStringLiteral("Rock"), QStringLiteral("3:05"),
                QStringLiteral("/music/a/very/long/path/to/song.mp3")});
        addRow({QStringLiteral("Short"), QString(), QStringLiteral("Été à Paris"), QString(),
                QStringLiteral("12:34:56"), QStringLiteral("/m/s.mp3")});
        addRow({QStringLiteral("Песня про море"), QStringLiteral("Ωμέγα"),
                QStringLiteral("東京の夜 ありがとう 東京の夜"), QStringLiteral("שלום עולם"),
                QStringLiteral("0:07"), QStringLiteral("/m/東京.flac")});
        addRow({QString(), QStringLiteral("Only an artist"), QString(), QString(), QString(),
                QStringLiteral("/m/x.ogg")});
        addRow({QStringLiteral("fi fl ffi — “quoted” …"), QStringLiteral("iiiiiiiiiiiiiiiiiiiiii"),
                QStringLiteral("WWWWWWWWWWWWWWWWWWWWWW"), QStringLiteral("Jazz"),
                QStringLiteral("59:59"), QStringLiteral("/m/y.wav")});
        for (int i = 0; i < 40; ++i) {
            addRow({QStringLiteral("Filler song %1").arg(i), QStringLiteral("Band %1").arg(i % 7),
                    QStringLiteral("Record %1").arg(i % 5), QStringLiteral("Pop"),
                    QStringLiteral("%1:%2").arg(i % 9).arg(i % 60, 2, 10, QLatin1Char('0')),
                    QStringLiteral("/m/f%1.mp3").arg(i)});
        }

        details = view.detailsView();
        ours = details->itemDelegate();
        details->horizontalHeader()->resizeSection(chTitle, 170);
        details->horizontalHeader()->resizeSection(chArtist, 90);
        details->horizontalHeader()->resizeSection(chAlbum, 120);
        details->horizontalHeader()->resizeSection(chGenre, 28); // narrow: every text elides
        details->horizontalHeader()->resizeSection(chLen, 70);
        details->horizontalHeader()->resizeSection(chFile, 140);
        view.resize(660, 260);
        view.show();
        other.resize(100, 100);
        QApplication::processEvents();
    }

    void addRow(const std::array<QString, kSongColumnCount> &fields)
    {
        SongRow row;
        for (int c = 0; c < kSongColumnCount; ++c)
            row.setField(static_cast<SongColumn>(c), fields[static_cast<size_t>(c)]);
        row.icon = 1;
        row.smallIcon = static_cast<quint16>(model.rowCount() % 2);
        model.appendRow(row);
    }

    SongItemDelegate *delegate() const { return dynamic_cast<SongItemDelegate *>(ours); }

    void activate(QWidget &window)
    {
        window.show();
        window.activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(window.isActiveWindow(), 5000);
    }

    // Selects `row` as a click does: current, selected, with the focus in the view.
    void click(int row)
    {
        const QRect cell = details->visualRect(model.index(row, chArtist));
        QTest::mouseClick(details->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }

    QImage grabbed() const
    {
        QApplication::processEvents();
        return details->viewport()->grab().toImage();
    }

    // Our delegate's paint, twice (the second from kept texts), against the
    // standard delegate's paint of the same view in the same state.
    void expectLooksAsStandard(const char *what)
    {
        const QImage first = grabbed();
        const QImage second = grabbed();
        QStyledItemDelegate standard;
        details->setItemDelegate(&standard);
        const QImage expected = grabbed();
        details->setItemDelegate(ours);
        ASSERT_FALSE(expected.isNull()) << what;
        EXPECT_EQ(differingPixels(first, expected), 0) << what << " (first paint)";
        EXPECT_EQ(differingPixels(second, expected), 0) << what << " (kept texts)";
        if (differingPixels(second, expected) != 0) {
            const QString base = QStringLiteral("/tmp/songitemdelegate-%1").arg(++m_saved);
            second.save(base + QStringLiteral("-ours.png"));
            expected.save(base + QStringLiteral("-standard.png"));
        }
    }

    static int differingPixels(const QImage &a, const QImage &b)
    {
        if (a.size() != b.size())
            return a.width() * a.height() + 1;
        const QImage x = a.convertToFormat(QImage::Format_ARGB32);
        const QImage y = b.convertToFormat(QImage::Format_ARGB32);
        int count = 0;
        for (int row = 0; row < x.height(); ++row) {
            const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
            const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
            for (int col = 0; col < x.width(); ++col)
                count += p[col] != q[col] ? 1 : 0;
        }
        return count;
    }

    SongListModel model;
    SongListView view{&model};
    QWidget other;
    QTableView *details = nullptr;
    QAbstractItemDelegate *ours = nullptr;
    int m_saved = 0;
};

TEST_F(SongItemDelegateTest, PaintsTheSongListAsTheStandardDelegateDoes)
{
    ASSERT_NE(delegate(), nullptr);
    activate(view);
    click(2);
    details->setFocus();
    ASSERT_TRUE(details->hasFocus());
    ASSERT_EQ(details->currentIndex().row(), 2);
    expectLooksAsStandard("active window, selected row with focus");
    // The paint took the kept-text path, not the standard one.
    EXPECT_GT(delegate()->keptTexts(), 0);

    QTest::mouseClick(details->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      details->visualRect(model.index(0, chAlbum)).center());
    expectLooksAsStandard("two selected rows");

    // The selection of an inactive window in colours of its own, so that the
    // colour group chosen shows.
    QPalette palette = details->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::darkRed);
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::yellow);
    palette.setColor(QPalette::Inactive, QPalette::Text, Qt::darkMagenta);
    details->setPalette(palette);
    activate(other);
    ASSERT_FALSE(view.isActiveWindow());
    expectLooksAsStandard("inactive window");

    activate(view);
    view.setLayoutDirection(Qt::RightToLeft);
    expectLooksAsStandard("right to left");
}

TEST_F(SongItemDelegateTest, PaintsChangedTextsAnewNotKeptOnes)
{
    activate(view);
    click(1);
    expectLooksAsStandard("before the changes");

    SongRow replaced = model.row(0);
    replaced.setField(chTitle, QStringLiteral("Replaced"));
    replaced.setField(chLen, QStringLiteral("1:00"));
    model.setRow(0, replaced);
    expectLooksAsStandard("row replaced");

    model.sort(chArtist);
    expectLooksAsStandard("sorted by artist");

    details->horizontalHeader()->resizeSection(chTitle, 60);
    details->horizontalHeader()->resizeSection(chLen, 30);
    expectLooksAsStandard("columns narrower");

    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSize(13);
    font.setItalic(true);
    details->setFont(font);
    expectLooksAsStandard("another font");

    details->setTextElideMode(Qt::ElideMiddle);
    expectLooksAsStandard("elided in the middle");
}

TEST_F(SongItemDelegateTest, KeepsABoundedNumberOfTexts)
{
    std::vector<SongRow> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back(songRow(QStringLiteral("Distinct title %1").arg(i),
                               QStringLiteral("Distinct artist %1").arg(i), QStringLiteral("1:00"),
                               QStringLiteral("/m/%1.mp3").arg(i)));
    model.setRows(std::move(rows));
    const int perPage = details->viewport()->height() / details->rowHeight(0);
    ASSERT_GT(perPage, 3);
    for (int row = 0; row < model.rowCount(); row += perPage) {
        details->scrollTo(model.index(row, 0), QAbstractItemView::PositionAtTop);
        details->viewport()->repaint();
    }
    EXPECT_LE(delegate()->keptTexts(), delegate()->keptTextCapacity());
    EXPECT_GT(delegate()->keptTexts(), delegate()->keptTextCapacity() / 2);

    details->scrollTo(model.index(0, 0), QAbstractItemView::PositionAtTop);
    expectLooksAsStandard("back at the top after the oldest texts went");
}

} // namespace
