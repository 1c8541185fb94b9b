#include "loudnesspage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

LoudnessPage::LoudnessPage(bool songGain, const QString &playerName, QWidget *parent)
    : QWidget(parent)
    , m_chkEvenLoudness(new QCheckBox(QStringLiteral("&Even out the loudness of songs"), this))
    , m_udTarget(new QSpinBox(this))
    , m_chkUseGainTags(new QCheckBox(QStringLiteral("&Use gain tags in files when present"), this))
{
    setObjectName(QStringLiteral("loudnessPage"));
    m_chkEvenLoudness->setObjectName(QStringLiteral("chkEvenLoudness"));
    m_udTarget->setObjectName(QStringLiteral("udLoudnessTarget"));
    m_udTarget->setRange(LoudnessSettings::kMinTargetLufs, LoudnessSettings::kMaxTargetLufs);
    m_udTarget->setSuffix(QStringLiteral(" LUFS"));
    m_chkUseGainTags->setObjectName(QStringLiteral("chkUseGainTags"));

    auto *box = new QVBoxLayout(this);
    box->addWidget(m_chkEvenLoudness);
    auto *form = new QFormLayout;
    auto *targetLabel = new QLabel(QStringLiteral("&Target:"), this);
    targetLabel->setBuddy(m_udTarget);
    form->addRow(targetLabel, m_udTarget);
    box->addLayout(form);
    box->addWidget(m_chkUseGainTags);
    if (!songGain) {
        auto *note = new QLabel(
            QStringLiteral("%1 cannot give each song its own gain: songs play as they are.")
                .arg(playerName),
            this);
        note->setObjectName(QStringLiteral("lblLoudnessPlayer"));
        note->setWordWrap(true);
        box->addWidget(note);
    }
    box->addStretch(1);

    connect(m_chkEvenLoudness, &QCheckBox::toggled, this, [this] { enableByChoice(); });
}

void LoudnessPage::load(const LoudnessSettings::Options &options)
{
    m_chkEvenLoudness->setChecked(options.even);
    m_udTarget->setValue(options.targetLufs);
    m_chkUseGainTags->setChecked(options.useGainTags);
    enableByChoice();
}

LoudnessSettings::Options LoudnessPage::options() const
{
    return {m_chkEvenLoudness->isChecked(), m_udTarget->value(), m_chkUseGainTags->isChecked()};
}

void LoudnessPage::enableByChoice()
{
    m_udTarget->setEnabled(m_chkEvenLoudness->isChecked());
    m_chkUseGainTags->setEnabled(m_chkEvenLoudness->isChecked());
}
