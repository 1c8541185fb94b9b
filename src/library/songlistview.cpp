#include "songlistview.h"

#include "droppedfiles.h"
#include "songdetailsview.h"
#include "songitemdelegate.h"

#include "songlistmodel.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFrame>
#include <QHeaderView>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>

SongListView::SongListView(SongListModel *model, QWidget *parent)
    : QStackedWidget(parent)
    , m_details(new SongDetailsView(this))
    , m_icons(new QListView(this))
    , m_picInsLine(new QFrame(this))
{
    setObjectName(QStringLiteral("lvSongs"));

    m_details->setObjectName(QStringLiteral("lvSongsDetails"));
    m_details->setAccessibleName(QStringLiteral("Songs"));
    m_details->setModel(model);
    m_details->setItemDelegate(new SongItemDelegate(m_details));
    m_details->setSortingEnabled(false);
    m_details->horizontalHeader()->setSectionsMovable(true);
    m_details->horizontalHeader()->setSectionsClickable(true);
    m_details->horizontalHeader()->setStretchLastSection(false);
    connect(m_details->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &SongListView::columnClicked);

    m_icons->setObjectName(QStringLiteral("lvSongsIcons"));
    m_icons->setAccessibleName(QStringLiteral("Songs"));
    m_icons->setModel(model);
    m_icons->setSelectionModel(m_details->selectionModel());
    m_icons->setMovement(QListView::Static);
    m_icons->setResizeMode(QListView::Adjust);
    m_icons->setUniformItemSizes(true);

    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(m_details), static_cast<QAbstractItemView *>(m_icons)}) {
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setDragEnabled(false);
        view->setAcceptDrops(true);
        view->viewport()->setAcceptDrops(true);
        view->viewport()->installEventFilter(this);
        view->setContextMenuPolicy(Qt::NoContextMenu);
        connect(view, &QAbstractItemView::doubleClicked, this,
                [this](const QModelIndex &index) { emit songDoubleClicked(index.row()); });
        addWidget(view);
    }

    m_picInsLine->setObjectName(QStringLiteral("picInsLine"));
    m_picInsLine->setFrameShape(QFrame::HLine);
    m_picInsLine->setFrameShadow(QFrame::Plain);
    m_picInsLine->setLineWidth(2);
    m_picInsLine->hide();

    setViewMode(lvwReport);
}

QAbstractItemView *SongListView::currentView() const
{
    if (m_mode == lvwReport)
        return m_details;
    return m_icons;
}

QItemSelectionModel *SongListView::selectionModel() const
{
    return m_details->selectionModel();
}

void SongListView::setViewMode(int mode)
{
    if (mode < lvwIcon || mode > lvwReport)
        return;
    m_mode = mode;
    switch (mode) {
    case lvwIcon:
        m_icons->setViewMode(QListView::IconMode);
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setIconSize(QSize(32, 32));
        m_icons->setGridSize(QSize(96, 72));
        m_icons->setWordWrap(true);
        break;
    case lvwSmallIcon:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setFlow(QListView::LeftToRight);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize(160, 20));
        m_icons->setWordWrap(false);
        break;
    case lvwList:
        m_icons->setViewMode(QListView::ListMode);
        m_icons->setFlow(QListView::TopToBottom);
        m_icons->setIconSize(QSize(16, 16));
        m_icons->setGridSize(QSize(200, 20));
        m_icons->setWordWrap(false);
        break;
    default:
        break;
    }
    if (mode != lvwReport) {
        m_icons->setWrapping(true);
        m_icons->setMovement(QListView::Static);
        // A list view's mode and movement switch its drag and drop with them:
        // rows move only by VORN's own drag, and files drop in every mode.
        m_icons->setDragEnabled(false);
        m_icons->setAcceptDrops(true);
        m_icons->viewport()->setAcceptDrops(true);
    }
    setCurrentWidget(currentView());
    m_picInsLine->setParent(currentView()->viewport());
    m_picInsLine->hide();
}

bool SongListView::insertionLineVisible() const
{
    return m_picInsLine->isVisible();
}

bool SongListView::eventFilter(QObject *watched, QEvent *event)
{
    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(m_details), static_cast<QAbstractItemView *>(m_icons)}) {
        if (watched == view->viewport())
            return viewportEvent(view, event);
    }
    return QStackedWidget::eventFilter(watched, event);
}

bool SongListView::viewportEvent(QAbstractItemView *view, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        SongDragState = 1;
        const QModelIndex pressed = view->indexAt(mouse->position().toPoint());
        m_pressedRow = pressed.isValid() ? pressed.row() : -1;
        // Pressing on a row of a selection keeps the selection, so that it can
        // be dragged as a whole; a click without a drag selects the row alone.
        m_deferredSelect = pressed.isValid() && mouse->modifiers() == Qt::NoModifier &&
                           selectionModel()->isRowSelected(pressed.row());
        if (m_deferredSelect) {
            selectionModel()->setCurrentIndex(pressed, QItemSelectionModel::NoUpdate);
            return true;
        }
        if (!pressed.isValid())
            SongDragState = 0;
        return false;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (SongDragState == 0)
            return false;
        SongDragState = 2;
        if (!(mouse->buttons() & Qt::LeftButton)) {
            hideInsertionLine();
            SongDragState = 0;
            unsetCursor();
            emit moveRequested(m_dropTarget);
            return true;
        }
        m_deferredSelect = false;
        showDragFeedback(view, mouse->position().toPoint());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            emit contextMenuRequested(mouse->globalPosition().toPoint());
            return true;
        }
        hideInsertionLine();
        const int state = SongDragState;
        SongDragState = 0;
        if (state == 2) {
            view->viewport()->unsetCursor();
            emit moveRequested(m_dropTarget);
            return true;
        }
        if (m_deferredSelect) {
            m_deferredSelect = false;
            selectionModel()->setCurrentIndex(view->model()->index(m_pressedRow, 0),
                                              QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
            return true;
        }
        return false;
    }
    case QEvent::DragEnter:
        return acceptFileDrag(static_cast<QDragEnterEvent *>(event));
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (!acceptFileDrag(drag))
            return false;
        showDragFeedback(view, drag->position().toPoint());
        return true;
    }
    case QEvent::DragLeave:
        hideInsertionLine();
        view->viewport()->unsetCursor();
        return false;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        hideInsertionLine();
        view->viewport()->unsetCursor();
        if (!acceptFileDrag(drop))
            return false;
        const int row = targetAt(view, drop->position().toPoint());
        emit filesDropped(droppedLocalFiles(drop->mimeData()), row,
                          drop->modifiers().testFlag(Qt::ControlModifier));
        return true;
    }
    default:
        return false;
    }
}

int SongListView::targetAt(QAbstractItemView *view, const QPoint &pos) const
{
    const int rowHeight = view->sizeHintForRow(0) > 0 ? view->sizeHintForRow(0) : 16;
    QModelIndex index = view->indexAt(pos - QPoint(0, rowHeight / 2));
    if (!index.isValid() && m_mode != lvwReport)
        index = view->indexAt(pos);
    return index.isValid() ? index.row() : -1;
}

void SongListView::showDragFeedback(QAbstractItemView *view, const QPoint &pos)
{
    m_dropTarget = targetAt(view, pos);
    if (m_dropTarget < 0) {
        m_picInsLine->hide();
        return;
    }
    const bool onSelection = selectionModel()->isRowSelected(m_dropTarget);
    view->viewport()->setCursor(onSelection ? Qt::ForbiddenCursor : Qt::DragMoveCursor);
    const QRect rect = view->visualRect(view->model()->index(m_dropTarget, 0));
    const int left = 5;
    m_picInsLine->setGeometry(left, rect.bottom(), view->viewport()->width() - left, 2);
    m_picInsLine->show();
    m_picInsLine->raise();
}

void SongListView::hideInsertionLine()
{
    m_picInsLine->hide();
}
