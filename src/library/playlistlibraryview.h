#pragma once

#include <QPoint>
#include <QStringList>
#include <QTreeView>

// The library list lvPlayLists. It turns the user's mouse clicks, in-place
// name edits and file drops into signals; the play list commands do the work.
// An edited name is never written into the model: the rename decides.
class PlayListLibraryView : public QTreeView
{
    Q_OBJECT

public:
    explicit PlayListLibraryView(QWidget *parent = nullptr);

    // Starts editing the name of the entry at `row` in place.
    void editName(int row);

signals:
    void mousePressed();
    // The pointer moved farther than a drag starts with a button held.
    void mouseMoved();
    // After the view has updated its selection; `row` is the entry under the
    // pointer, -1 for none.
    void mouseReleased(Qt::MouseButton button, int row);
    // The user confirmed an edited name (emitted once the editor is closed).
    void labelEdited(int row, const QString &text);
    // Local files dropped onto the list; `ctrl` tells whether Ctrl was held.
    void filesDropped(const QStringList &paths, bool ctrl);
    // A key press has been handled; it may have changed the selection.
    void keyPressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QPoint m_pressPos;
    bool m_pressed = false;
    bool m_moved = false;
};
