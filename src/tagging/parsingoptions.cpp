#include "parsingoptions.h"

#include "library/accessiblenames.h"

#include <QAction>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QToolBar>

#include <algorithm>

namespace {

QRadioButton *option(QWidget *parent, const QString &name, const char *caption, QButtonGroup *group)
{
    auto *button = new QRadioButton(QString::fromUtf8(caption), parent);
    button->setObjectName(name);
    group->addButton(button);
    return button;
}

// Four entries show without scrolling.
QListWidget *fieldList(QWidget *parent, const QString &name)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    const int rows = 4;
    const int frame = 2 * list->frameWidth();
    list->setFixedHeight(rows * list->fontMetrics().height() * 5 / 4 + frame + 4);
    return list;
}

} // namespace

ParsingOptions::ParsingOptions(QWidget *parent, Arrangement arrangement)
    : QWidget(parent)
{
    auto *engines = new QButtonGroup(this);
    auto *rules = new QButtonGroup(this);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setVerticalSpacing(2);

    const char *engineCaptions[] = {"Use ID3 Tag", "Parse File Name", "Parse Directory Tree"};
    for (int i = 0; i < 3; ++i) {
        m_opEngine[static_cast<size_t>(i)] =
            option(this, QStringLiteral("opEngine%1").arg(i), engineCaptions[i], engines);
        connect(m_opEngine[static_cast<size_t>(i)], &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                opEngine_Click();
        });
    }

    const bool sideBySide = arrangement == Arrangement::SideBySide;
    layout->addWidget(m_opEngine[0], 0, 0, 1, sideBySide ? 4 : 2);
    for (int i = 0; i < 2; ++i) {
        QListWidget *list = fieldList(this, QStringLiteral("lstFields%1").arg(i));
        list->setAccessibleName(i == 0 ? QStringLiteral("File name fields")
                                       : QStringLiteral("Directory tree fields"));
        auto *toolbar = new QToolBar(this);
        toolbar->setObjectName(QStringLiteral("tbMoveFields%1").arg(i));
        toolbar->setOrientation(Qt::Vertical);
        toolbar->setIconSize(QSize(16, 16));
        toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        nameOverflowButton(toolbar);
        const struct
        {
            const char *key;
            const char *tip;
            QStyle::StandardPixmap icon;
        } buttons[] = {{"tbUp", "Move Up", QStyle::SP_ArrowUp},
                       {"tbDown", "Move Down", QStyle::SP_ArrowDown}};
        for (const auto &b : buttons) {
            QAction *action =
                toolbar->addAction(style()->standardIcon(b.icon), QString::fromUtf8(b.tip));
            action->setObjectName(QLatin1String(b.key));
            action->setToolTip(QString::fromUtf8(b.tip));
            nameToolButton(toolbar, action, action->toolTip());
            const QString key = QLatin1String(b.key);
            connect(action, &QAction::triggered, this,
                    [this, i, key] { tbMoveFields_ButtonClick(i, key); });
        }
        m_lstFields[static_cast<size_t>(i)] = list;
        m_tbMoveFields[static_cast<size_t>(i)] = toolbar;

        const int row = sideBySide ? 1 : 1 + 2 * i;
        const int column = sideBySide ? 2 * i : 0;
        layout->addWidget(m_opEngine[static_cast<size_t>(i + 1)], row, column, 1, 2);
        layout->addWidget(list, row + 1, column);
        layout->addWidget(toolbar, row + 1, column + 1, Qt::AlignTop);
    }

    m_fraDefault = new QGroupBox(QStringLiteral("Default Settings"), this);
    m_fraDefault->setObjectName(QStringLiteral("fraDefault"));
    // Stacked: the first rule with its second line, then the other two.
    // Side by side: the first rule on the left, the other two on the right.
    auto *frame = new QGridLayout(m_fraDefault);
    frame->setVerticalSpacing(2);
    const char *ruleCaptions[] = {"Use this method when", "Always ask", "Don't parse"};
    for (int i = 0; i < 3; ++i) {
        m_opDefault[static_cast<size_t>(i)] =
            option(m_fraDefault, QStringLiteral("opDefault%1").arg(i), ruleCaptions[i], rules);
        if (sideBySide)
            frame->addWidget(m_opDefault[static_cast<size_t>(i)], i == 0 ? 0 : i - 1,
                             i == 0 ? 0 : 1);
        else
            frame->addWidget(m_opDefault[static_cast<size_t>(i)], i == 0 ? 0 : i + 1, 0);
    }
    auto *continued = new QLabel(QStringLiteral("not using the Wizard"), m_fraDefault);
    continued->setObjectName(QStringLiteral("lblDefault"));
    // Lines up under the option's text, past its round button.
    const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                       style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    continued->setContentsMargins(indent, 0, 0, 0);
    frame->addWidget(continued, 1, 0);
    if (sideBySide) {
        frame->setColumnStretch(0, 1);
        frame->setColumnStretch(1, 1);
        layout->addWidget(m_fraDefault, 3, 0, 1, 4);
        layout->setRowStretch(4, 1);
    } else {
        layout->addWidget(m_fraDefault, 5, 0, 1, 2);
        layout->setRowStretch(6, 1);
    }

    load(WizardSettings());
}

void ParsingOptions::load(const WizardSettings &settings)
{
    setFieldOrder(0, settings.fileNameFields);
    setFieldOrder(1, settings.folderTreeFields);
    m_opDefault[static_cast<size_t>(std::clamp(settings.defaultRule, 0, 2))]->setChecked(true);
    setEngine(settings.engine);
}

WizardSettings ParsingOptions::choices() const
{
    WizardSettings s;
    s.engine = engine();
    s.defaultRule = optionIndex(m_opDefault[1]->isChecked(), m_opDefault[2]->isChecked());
    s.fileNameFields = fieldOrder(0);
    s.folderTreeFields = fieldOrder(1);
    return s;
}

int ParsingOptions::engine() const
{
    return optionIndex(m_opEngine[1]->isChecked(), m_opEngine[2]->isChecked());
}

void ParsingOptions::setEngine(int engine)
{
    QRadioButton *button = m_opEngine[static_cast<size_t>(std::clamp(engine, 0, 2))];
    if (button->isChecked())
        opEngine_Click();
    else
        button->setChecked(true);
}

FieldOrder ParsingOptions::fieldOrder(int index) const
{
    const QListWidget *list = lstFields(index);
    FieldOrder order;
    for (int row = 0; row < list->count(); ++row) {
        const QListWidgetItem *item = list->item(row);
        order.push_back({item->text(), item->checkState() == Qt::Checked});
    }
    return order;
}

void ParsingOptions::setFieldOrder(int index, const FieldOrder &order)
{
    QListWidget *list = lstFields(index);
    list->clear();
    for (const FieldEntry &entry : order) {
        auto *item = new QListWidgetItem(entry.name, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(entry.marked ? Qt::Checked : Qt::Unchecked);
    }
}

void ParsingOptions::tbMoveFields_ButtonClick(int index, const QString &key)
{
    QListWidget *list = lstFields(index);
    FieldOrder order = fieldOrder(index);
    const int current = list->currentRow();
    const int moved = key == QLatin1String("tbUp")     ? moveFieldUp(order, current)
                      : key == QLatin1String("tbDown") ? moveFieldDown(order, current)
                                                       : current;
    if (moved == current)
        return;
    setFieldOrder(index, order);
    list->setCurrentRow(moved);
}

void ParsingOptions::opEngine_Click()
{
    const int chosen = engine();
    for (int i = 0; i < 2; ++i) {
        const bool enabled = chosen == i + 1;
        m_lstFields[static_cast<size_t>(i)]->setEnabled(enabled);
        m_tbMoveFields[static_cast<size_t>(i)]->setEnabled(enabled);
    }
}
