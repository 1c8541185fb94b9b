#pragma once

#include "shapedtextcache.h"

#include <QStyledItemDelegate>

// Paints the song list's cells as QStyledItemDelegate does, but keeps each
// cell's shaped text: a repaint of texts already shown shapes nothing again.
// The style draws the background, selection, icon and focus frame; the text
// is drawn here as the common style draws it. Where that could look other
// than the style's own drawing (a style that draws item text its own way,
// wrapped or several-line text, a text rectangle that depends on the text),
// the cell is left to QStyledItemDelegate.
class SongItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit SongItemDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    // How many shaped texts are kept, and how many may be.
    int keptTexts() const { return m_texts.count(); }
    int keptTextCapacity() const { return m_texts.capacity(); }

private:
    mutable ShapedTextCache m_texts;
};
