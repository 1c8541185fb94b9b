#include "playlistlibraryview.h"

#include "droppedfiles.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

namespace {

// Hands a confirmed name to the view instead of the model. The hand-over is
// queued: the rename may show a message box, which must not open while the
// editor is still committing (its focus loss would commit a second time).
class NameDelegate : public QStyledItemDelegate
{
public:
    explicit NameDelegate(PlayListLibraryView *view)
        : QStyledItemDelegate(view)
        , m_view(view)
    {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (editor) {
            editor->setObjectName(QStringLiteral("txtPlayListName"));
            editor->setAccessibleName(QStringLiteral("Play list name"));
        }
        return editor;
    }

    void setModelData(QWidget *editor, QAbstractItemModel *,
                      const QModelIndex &index) const override
    {
        const auto *line = qobject_cast<QLineEdit *>(editor);
        if (!line)
            return;
        const QPersistentModelIndex edited(index);
        const QString text = line->text();
        PlayListLibraryView *view = m_view;
        QMetaObject::invokeMethod(
            view,
            [view, edited, text] {
                if (edited.isValid())
                    emit view->labelEdited(edited.row(), text);
            },
            Qt::QueuedConnection);
    }

private:
    PlayListLibraryView *m_view;
};

} // namespace

PlayListLibraryView::PlayListLibraryView(QWidget *parent)
    : QTreeView(parent)
{
    setObjectName(QStringLiteral("lvPlayLists"));
    setAccessibleName(QStringLiteral("Play lists"));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Editing starts only through the Rename command.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    setItemDelegate(new NameDelegate(this));
}

void PlayListLibraryView::editName(int row)
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return;
    const QModelIndex name = model()->index(row, 0);
    setCurrentIndex(name);
    scrollTo(name);
    edit(name);
}

void PlayListLibraryView::mousePressEvent(QMouseEvent *event)
{
    m_pressPos = event->position().toPoint();
    m_pressed = true;
    m_moved = false;
    QTreeView::mousePressEvent(event);
    emit mousePressed();
}

void PlayListLibraryView::mouseMoveEvent(QMouseEvent *event)
{
    QTreeView::mouseMoveEvent(event);
    if (!m_pressed || m_moved || event->buttons() == Qt::NoButton)
        return;
    if ((event->position().toPoint() - m_pressPos).manhattanLength() <
        QApplication::startDragDistance())
        return;
    m_moved = true;
    emit mouseMoved();
}

void PlayListLibraryView::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeView::mouseReleaseEvent(event);
    m_pressed = false;
    const QModelIndex at = indexAt(event->position().toPoint());
    emit mouseReleased(event->button(), at.isValid() ? at.row() : -1);
}

void PlayListLibraryView::keyPressEvent(QKeyEvent *event)
{
    QTreeView::keyPressEvent(event);
    // Not while the name is edited in place: the editor has the keys then.
    if (state() != QAbstractItemView::EditingState)
        emit keyPressed();
}

void PlayListLibraryView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!acceptFileDrag(event))
        event->ignore();
}

void PlayListLibraryView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!acceptFileDrag(event))
        event->ignore();
}

void PlayListLibraryView::dropEvent(QDropEvent *event)
{
    const QStringList files = droppedLocalFiles(event->mimeData());
    if (files.isEmpty() || !acceptFileDrag(event)) {
        event->ignore();
        return;
    }
    emit filesDropped(files, event->modifiers().testFlag(Qt::ControlModifier));
}
