#include "library/songlistmodel.h"
#include "library/songlistview.h"
#include "support/playlistfiles.h"

#include <QApplication>
#include <QDropEvent>
#include <QHeaderView>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class SongListViewTest : public ::testing::Test
{
protected:
    SongListViewTest()
    {
        for (int i = 1; i <= 6; ++i) {
            model.appendRow(songRow(QString::number(i), {}, QStringLiteral("03:00"),
                                    QStringLiteral("/m/%1.mp3").arg(i)));
        }
        view.resize(600, 400);
        view.show();
        QApplication::processEvents();
    }

    QWidget *viewport() const { return view.currentView()->viewport(); }
    QPoint centreOf(int row) const
    {
        return view.currentView()->visualRect(model.index(row, 0)).center();
    }
    void mouse(QEvent::Type type, const QPoint &at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(type, at, viewport()->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(viewport(), &event);
    }
    void selectRow(int row)
    {
        view.selectionModel()->select(model.index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    SongListModel model;
    SongListView view{&model};
};

TEST_F(SongListViewTest, ShowsSixColumnsAndSwitchesBetweenFourViewsSharingOneSelection)
{
    EXPECT_EQ(view.objectName(), QStringLiteral("lvSongs"));
    EXPECT_EQ(view.viewMode(), lvwReport);
    EXPECT_EQ(view.currentView(), view.detailsView());
    EXPECT_EQ(view.detailsView()->horizontalHeader()->count(), 6);
    EXPECT_TRUE(view.detailsView()->horizontalHeader()->sectionsMovable());
    EXPECT_EQ(
        model.headerData(chLen, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>() &
            Qt::AlignRight,
        Qt::AlignRight);
    EXPECT_EQ(view.iconView()->selectionModel(), view.detailsView()->selectionModel());

    selectRow(2);
    const std::pair<int, QListView::ViewMode> modes[] = {
        {lvwIcon, QListView::IconMode},
        {lvwSmallIcon, QListView::ListMode},
        {lvwList, QListView::ListMode},
    };
    for (const auto &[mode, listMode] : modes) {
        view.setViewMode(mode);
        EXPECT_EQ(view.viewMode(), mode);
        EXPECT_EQ(view.currentView(), view.iconView());
        EXPECT_EQ(view.iconView()->viewMode(), listMode);
        EXPECT_TRUE(view.iconView()->selectionModel()->isRowSelected(2));
    }
    EXPECT_EQ(view.iconView()->flow(), QListView::TopToBottom);
    view.setViewMode(lvwReport);
    EXPECT_EQ(view.currentView(), view.detailsView());
    view.setViewMode(7);
    EXPECT_EQ(view.viewMode(), lvwReport);
}

// The details view is a list of rows: keys move between rows and leave the
// list as a list's do, and a row is as high as one line beside its icon.
TEST_F(SongListViewTest, TheDetailsViewAnswersKeysAsAListOfRows)
{
    QTableView *details = view.detailsView();
    QWidget after;
    after.setFocusPolicy(Qt::StrongFocus);
    after.setParent(&view);
    after.show();
    details->setFocus();
    details->setCurrentIndex(model.index(2, chArtist));
    const QFontMetrics metrics(details->font());
    EXPECT_GE(details->rowHeight(0), std::max(metrics.height(), 16));
    EXPECT_LT(details->rowHeight(0), std::max(metrics.height(), 16) * 2);

    const struct
    {
        Qt::Key key;
        int row; // the current and only selected row after the key
    } keys[] = {
        {Qt::Key_End, 5},   {Qt::Key_Home, 0}, {Qt::Key_Down, 1},
        {Qt::Key_Right, 1}, {Qt::Key_Left, 1}, {Qt::Key_PageDown, 5},
    };
    for (const auto &k : keys) {
        const int column = details->currentIndex().column();
        QTest::keyClick(details, k.key);
        EXPECT_EQ(details->currentIndex().row(), k.row) << k.key;
        // Sideways keys never move to another cell of the row.
        if (k.key == Qt::Key_Left || k.key == Qt::Key_Right) {
            EXPECT_EQ(details->currentIndex().column(), column) << k.key;
        }
        EXPECT_EQ(view.selectionModel()->selectedRows().size(), 1) << k.key;
        EXPECT_TRUE(view.selectionModel()->isRowSelected(k.row)) << k.key;
    }
    // Tab leaves the list for the next widget.
    QTest::keyClick(details, Qt::Key_Tab);
    EXPECT_FALSE(details->hasFocus());
}

TEST_F(SongListViewTest, DraggingTheSelectionShowsTheLineAndAsksForAMove)
{
    QSignalSpy moves(&view, &SongListView::moveRequested);
    selectRow(0);
    selectRow(1);

    mouse(QEvent::MouseButtonPress, centreOf(0), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(view.SongDragState, 1);
    // Pressing on the selection keeps both rows selected for the drag.
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), 2);

    // Half a row below row 4's centre: the rows land after row 4.
    const int rowHeight = view.currentView()->visualRect(model.index(0, 0)).height();
    mouse(QEvent::MouseMove, centreOf(3) + QPoint(0, rowHeight / 2 + 1), Qt::NoButton,
          Qt::LeftButton);
    EXPECT_EQ(view.SongDragState, 2);
    EXPECT_EQ(view.dropTarget(), 3);
    EXPECT_TRUE(view.insertionLineVisible());

    mouse(QEvent::MouseButtonRelease, centreOf(3), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(view.SongDragState, 0);
    EXPECT_FALSE(view.insertionLineVisible());
    ASSERT_EQ(moves.size(), 1);
    EXPECT_EQ(moves.at(0).at(0).toInt(), 3);
}

TEST_F(SongListViewTest, AClickWithoutMovementMovesNothingAndSelectsTheRowAlone)
{
    QSignalSpy moves(&view, &SongListView::moveRequested);
    selectRow(0);
    selectRow(4);
    mouse(QEvent::MouseButtonPress, centreOf(4), Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, centreOf(4), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(moves.size(), 0);
    const QModelIndexList selected = view.selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.first().row(), 4);
}

TEST_F(SongListViewTest, RightClickAsksForTheSongMenu)
{
    QSignalSpy menus(&view, &SongListView::contextMenuRequested);
    mouse(QEvent::MouseButtonPress, centreOf(1), Qt::RightButton, Qt::RightButton);
    mouse(QEvent::MouseButtonRelease, centreOf(1), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(menus.size(), 1);
}

TEST_F(SongListViewTest, DroppedFilesAreHandedOnWithTheRowAndTheCtrlKey)
{
    QSignalSpy drops(&view, &SongListView::filesDropped);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/music/new.mp3")),
                  QUrl(QStringLiteral("https://example.invalid/remote.mp3"))});
    const int rowHeight = view.currentView()->visualRect(model.index(0, 0)).height();
    const QPoint at = centreOf(2) + QPoint(0, rowHeight / 2 + 1);

    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport(), &move);
    EXPECT_TRUE(view.insertionLineVisible());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(viewport(), &drop);

    EXPECT_FALSE(view.insertionLineVisible());
    ASSERT_EQ(drops.size(), 1);
    EXPECT_EQ(drops.at(0).at(0).toStringList(), QStringList{"/music/new.mp3"});
    EXPECT_EQ(drops.at(0).at(1).toInt(), 2);
    EXPECT_TRUE(drops.at(0).at(2).toBool());

    // Text without file names is not taken.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    QDragEnterEvent refused(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(viewport(), &refused);
    EXPECT_EQ(drops.size(), 1);
}

TEST_F(SongListViewTest, HeaderClicksReportTheColumn)
{
    QSignalSpy clicks(&view, &SongListView::columnClicked);
    emit view.detailsView()->horizontalHeader()->sectionClicked(chArtist);
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks.at(0).at(0).toInt(), static_cast<int>(chArtist));
}

} // namespace
