#include "frmmisc.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

QString frmMisc::PromptText;

frmMisc::frmMisc(QWidget *parent)
    : QDialog(parent)
    , m_lblMsg(new QLabel(QStringLiteral("Label1"), this))
    , m_txtText(new QLineEdit(QStringLiteral("Text1"), this))
    , m_cmdOK(new QPushButton(QStringLiteral("&OK"), this))
    , m_cmdCancel(new QPushButton(QStringLiteral("Cance&l"), this))
{
    setObjectName(QStringLiteral("frmMisc"));
    setWindowTitle(QStringLiteral("Form1"));
    setModal(true);
    setFont(QFont(QStringLiteral("Tahoma"), 9));

    m_lblMsg->setObjectName(QStringLiteral("lblMsg"));
    m_lblMsg->setWordWrap(true);
    m_txtText->setObjectName(QStringLiteral("txtText"));
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    image->setAlignment(Qt::AlignTop);

    auto *text = new QVBoxLayout;
    text->addWidget(m_lblMsg);
    text->addWidget(m_txtText);
    auto *top = new QHBoxLayout;
    top->addWidget(image);
    top->addLayout(text, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_cmdOK);
    buttons->addWidget(m_cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setMinimumWidth(360);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmMisc::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmMisc::cmdCancel_Click);
}

void frmMisc::setMessage(const QString &message)
{
    m_lblMsg->setText(message);
}

void frmMisc::setText(const QString &text)
{
    m_txtText->setText(text);
}

void frmMisc::cmdOK_Click()
{
    PromptText = m_txtText->text();
    accept();
}

void frmMisc::cmdCancel_Click()
{
    PromptText.clear();
    QDialog::reject();
}

void frmMisc::reject()
{
    // Escape or the window frame: the caller sees the same empty text as Cancel.
    cmdCancel_Click();
}

void frmMisc::showEvent(QShowEvent *event)
{
    Form_Load();
    QDialog::showEvent(event);
}

void frmMisc::Form_Load()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    adjustSize();
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    m_txtText->setFocus();
    m_txtText->selectAll();
}
