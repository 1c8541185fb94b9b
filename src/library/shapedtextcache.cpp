#include "shapedtextcache.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QTextOption>

struct ShapedTextCache::Shaped
{
    // The line as drawn: the text, elided if it did not fit.
    QTextLayout layout;
    // The height of the whole text's line box, which places the line.
    int boxHeight = 0;
};

namespace {

QTextOption lineOption(Qt::Alignment alignment, Qt::LayoutDirection direction)
{
    QTextOption option;
    option.setWrapMode(QTextOption::ManualWrap);
    option.setTextDirection(direction);
    option.setAlignment(QStyle::visualAlignment(direction, alignment));
    return option;
}

// Lays `layout` out as one line `width` wide and keeps its glyphs for drawing.
void layOut(QTextLayout &layout, int width)
{
    layout.setCacheEnabled(true);
    layout.beginLayout();
    qreal y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
}

} // namespace

ShapedTextCache::ShapedTextCache(int capacity)
    : m_layouts(capacity)
{}

ShapedTextCache::~ShapedTextCache() = default;

ShapedTextCache::Shaped *ShapedTextCache::shape(const Key &key)
{
    const auto alignment = Qt::Alignment::fromInt(key.alignment);
    const auto direction = static_cast<Qt::LayoutDirection>(key.direction);
    const QTextOption option = lineOption(alignment, direction);

    auto *shaped = new Shaped;
    QTextLayout &whole = shaped->layout;
    whole.setText(key.text);
    whole.setFont(key.font);
    whole.setTextOption(option);
    layOut(whole, key.width);
    shaped->boxHeight = whole.boundingRect().size().toSize().height();
    if (whole.lineCount() == 1 && whole.lineAt(0).naturalTextWidth() <= key.width)
        return shaped;

    const QString elided = QFontMetrics(key.font).elidedText(
        key.text, static_cast<Qt::TextElideMode>(key.elide), key.width);
    whole.clearLayout();
    whole.setText(elided);
    layOut(whole, key.width);
    return shaped;
}

void ShapedTextCache::draw(QPainter *painter, const QRect &textRect, const QString &text,
                           const QFont &font, Qt::Alignment alignment,
                           Qt::LayoutDirection direction, Qt::TextElideMode elide)
{
    const Key key{text,
                  font,
                  textRect.width(),
                  static_cast<int>(alignment.toInt()),
                  static_cast<int>(direction),
                  static_cast<int>(elide)};
    Shaped *shaped = m_layouts.object(key);
    if (!shaped) {
        shaped = shape(key);
        m_layouts.insert(key, shaped);
    }
    // The line box is aligned in the rectangle as a whole; the line's own
    // alignment within the width was laid out with it.
    const QRect box = QStyle::alignedRect(Qt::LayoutDirectionAuto, alignment,
                                          QSize(0, shaped->boxHeight), textRect);
    shaped->layout.draw(painter, QPointF(textRect.x(), box.top()));
}
