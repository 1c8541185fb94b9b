#pragma once

#include <QTableView>

// The song list's details view: a table that looks and answers the keys as a
// list of rows with columns does. No grid and no row headers; rows keep one
// height, that of a line of text beside a small icon; Home and End go to the
// first and last row, Left and Right scroll sideways, Tab leaves the list.
// A table keeps nothing per row beyond its row header's size, where a tree
// view keeps an item of its own for each row of the model.
class SongDetailsView final : public QTableView
{
    Q_OBJECT

public:
    explicit SongDetailsView(QWidget *parent = nullptr);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void changeEvent(QEvent *event) override;

private:
    void updateRowHeight();
};
