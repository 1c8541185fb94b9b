#pragma once

#include <QToolBar>

class QLabel;
class QProgressBar;
struct PlayerActions;

// The player toolbar tbPlayer: the player buttons with the drop-down items of
// Stop and Next, and the time display picTime (lblTime, lblSign, pbTime) over
// the placeholder tbTimePlace.
class PlayerToolBar : public QToolBar
{
    Q_OBJECT

public:
    PlayerToolBar(const PlayerActions &actions, QWidget *parent = nullptr);

    void setTimeText(const QString &text);
    void setProgress(int percent);

    QWidget *timePlace() const { return m_tbTimePlace; }
    QLabel *lblTime() const { return m_lblTime; }
    QLabel *lblSign() const { return m_lblSign; }
    QProgressBar *pbTime() const { return m_pbTime; }

private:
    QWidget *m_tbTimePlace;
    QLabel *m_lblTime;
    QLabel *m_lblSign;
    QProgressBar *m_pbTime;
};
