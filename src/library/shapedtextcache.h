#pragma once

#include <QCache>
#include <QFont>
#include <QString>

class QPainter;
class QRect;
class QTextLayout;

// One line of item view text drawn as the common style draws it (elided to
// the width, aligned, placed from the top of its line box), with its shaped
// and elided layout kept for the next paint of the same text: shaping with
// the font's fallbacks is the dear part of a cell's paint. The kept layouts
// are bounded; the least recently drawn goes first. A layout is found by
// everything that shapes it (text, font, width, alignment, direction, elide
// mode), so a changed text, a narrower column or another font is shaped anew.
class ShapedTextCache
{
public:
    // The default keeps about four screens of a six-column list.
    explicit ShapedTextCache(int capacity = 768);
    ~ShapedTextCache();

    // Draws one line of `text` (no line separators) into `textRect`, the
    // text rectangle less its margins, with the painter's pen and clip.
    void draw(QPainter *painter, const QRect &textRect, const QString &text, const QFont &font,
              Qt::Alignment alignment, Qt::LayoutDirection direction, Qt::TextElideMode elide);

    int count() const { return m_layouts.size(); }
    int capacity() const { return static_cast<int>(m_layouts.maxCost()); }

private:
    struct Key
    {
        QString text;
        QFont font;
        int width = 0;
        int alignment = 0;
        int direction = 0;
        int elide = 0;
        friend bool operator==(const Key &a, const Key &b)
        {
            return a.width == b.width && a.alignment == b.alignment && a.direction == b.direction &&
                   a.elide == b.elide && a.text == b.text && a.font == b.font;
        }
        friend size_t qHash(const Key &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.text, key.font, key.width, key.alignment, key.direction,
                              key.elide);
        }
    };
    struct Shaped;

    static Shaped *shape(const Key &key);

    QCache<Key, Shaped> m_layouts;
};
