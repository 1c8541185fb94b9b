#pragma once

#include <QDialog>

class QLabel;
class QTimer;

// The splash and about window: the program's picture, version and user name.
// As the splash it closes by itself after three seconds; as the about window
// only a click on it (not on its labels) closes it.
class frmNag : public QDialog
{
    Q_OBJECT

public:
    enum class AutoClose
    {
        On,
        Off,
    };

    static constexpr int kAutoCloseMs = 3000;

    explicit frmNag(AutoClose autoClose, QWidget *parent = nullptr);

    void tmrAutoClose_Timer();

    QLabel *lblVersion() const { return m_lblVersion; }
    QLabel *lblUserName() const { return m_lblUserName; }
    QTimer *tmrAutoClose() const { return m_tmrAutoClose; }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QLabel *m_lblVersion = nullptr;
    QLabel *m_lblUserName = nullptr;
    QTimer *m_tmrAutoClose = nullptr;
};
