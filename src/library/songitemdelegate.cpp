#include "songitemdelegate.h"

#include "core/textlimit.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {

// Styles whose item view cells draw their text with the common style's own
// text drawing; any other style may place or colour it differently.
bool drawsCommonItemText(const QStyle *style)
{
    const QByteArrayView name(style->metaObject()->className());
    return name == "QFusionStyle" || name == "QWindowsStyle" || name == "QCommonStyle";
}

bool isOneLine(const QString &text)
{
    // A line separator breaks the line; U+009C separates the variants of a
    // text of several lengths, which elision chooses between.
    return !text.contains(QChar::LineSeparator) && !text.contains(QChar(0x9c));
}

} // namespace

SongItemDelegate::SongItemDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{}

void SongItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // Whatever the model gives, a cell lays out no more than it can show.
    if (opt.text.size() > kLongestFieldText)
        opt.text = elidedToLength(opt.text, kLongestFieldText);
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();

    // The text rectangle is the same without the text only where the text
    // fills the whole cell less its icon.
    const bool cached = drawsCommonItemText(style) && opt.showDecorationSelected &&
                        !(opt.features & QStyleOptionViewItem::WrapText) &&
                        !(opt.state & QStyle::State_Editing) &&
                        opt.decorationPosition == QStyleOptionViewItem::Left && isOneLine(opt.text);
    if (!cached || opt.text.isEmpty()) {
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        return;
    }

    // The style draws all but the text and the focus frame, which is drawn
    // over the text as the style would draw it.
    const QString text = opt.text;
    const QStyle::State state = opt.state;
    opt.text.clear();
    opt.state &= ~QStyle::State_HasFocus;
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    opt.text = text;
    opt.state = state;

    painter->save();
    painter->setClipRegion(painter->hasClipping() ? (painter->clipRegion() & opt.rect)
                                                  : QRegion(opt.rect));
    QPalette::ColorGroup group =
        (state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(state & QStyle::State_Active))
        group = QPalette::Inactive;
    painter->setPen(opt.palette.color(
        group, (state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    m_texts.draw(painter, textRect.adjusted(margin, 0, -margin, 0), text, opt.font,
                 opt.displayAlignment, opt.direction, opt.textElideMode);

    if (state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, widget);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        const QPalette::ColorGroup focusGroup =
            (state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        focus.backgroundColor = opt.palette.color(
            focusGroup, (state & QStyle::State_Selected) ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}
