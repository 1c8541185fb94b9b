#pragma once

#include "bannerscroll.h"

#include <QWidget>

#include <array>

class QLabel;
class QTimer;
class SettingsStore;
struct BannerAppearance;

// picBanner: the strip under the top toolbar in which lblBanner(0) and
// lblBanner(1) (objectNames "lblBanner0" and "lblBanner1") scroll the playing
// song's text. Its own timer tmrScrollBanner ticks every 100 ms while the
// strip is shown and holds text, and rests otherwise, so that an idle program
// wakes for nothing. The window places and sizes the strip; a tick moves the
// two labels only and never lays anything out.
class BannerStrip : public QWidget
{
    Q_OBJECT

public:
    explicit BannerStrip(QWidget *parent = nullptr);

    // Reads the banner settings afresh and applies them: both captions
    // emptied, font and text colour on both labels, the strip shown or hidden
    // as `shown` says (the Player Banner check mark), the back colour. The
    // window then lets pending events run twice and lays itself out.
    void ApplyBannerSettings(const SettingsStore &settings, bool shown);
    void applyAppearance(const BannerAppearance &appearance, bool shown);

    // Both labels get the text.
    void setBannerText(const QString &text);
    QString bannerText() const;

    // The scroll step.
    void tmrScrollBanner_Timer();

    QLabel *lblBanner(int index) const { return m_labels[static_cast<size_t>(index)]; }
    QTimer *tmrScrollBanner() const { return m_tmrScrollBanner; }
    // lblBanner(0)'s height in pixels, which follows the font; the strip is
    // laid out 1.1 times as high.
    int labelHeight() const;
    // Where the last tick put the labels, in twips.
    const BannerPositions &positions() const { return m_positions; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void followScrolling();
    double dotsPerInch() const;
    void placeLabels();

    std::array<QLabel *, 2> m_labels{};
    QTimer *m_tmrScrollBanner;
    BannerPositions m_positions;
};
