#pragma once

#include "core/userdialogs.h"

#include <QDialog>

#include <functional>

class LoudnessPage;
class ParsingOptions;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class SettingsStore;

// "Preferences": the player program, the silence skip, the banner's font and
// colours, the parsing choices and even loudness. OK writes them all; Cancel, Escape and the
// close box write nothing. Every opening reads the store afresh.
class frmPreferences : public QDialog
{
    Q_OBJECT

public:
    struct Hooks
    {
        // Gives the mixer's VU meter the chosen silence time (ms) at once.
        std::function<void(int ms)> setSilenceDetect;
    };

    // `playerName` names the player in use in the dialog's texts.
    frmPreferences(SettingsStore &settings, UserDialogs &dialogs, const QString &playerName,
                   Hooks hooks, QWidget *parent = nullptr);

    void tsPages_Click(const QString &key);
    void cmdBrowse_Click();
    void cmdSelect_Click();
    void cmdFontColor_Click();
    void cmdBackColor_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    // The caption of lblFont for a font: "Tahoma, 12pt".
    static QString fontDescription(const QString &name, double pointSize);

    const FontChoice &bannerFont() const { return m_font; }
    quint32 backColor() const { return m_backColor; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();
    void centreOnScreen();
    void ShowFontDescription();
    void paintSwatch(QPushButton *swatch, quint32 color);
    QWidget *addPage(const char *name, const char *key, const char *caption);

    SettingsStore &m_settings;
    UserDialogs &m_dialogs;
    QString m_playerName;
    Hooks m_hooks;

    QTabWidget *m_tsPages = nullptr;
    QLineEdit *m_txtWAPath = nullptr;
    QComboBox *m_cmbSilenceOptions = nullptr;
    QLabel *m_lblFont = nullptr;
    QPushButton *m_cmdFontColor = nullptr;
    QPushButton *m_cmdBackColor = nullptr;
    ParsingOptions *m_parsing = nullptr;
    LoudnessPage *m_loudness = nullptr;

    FontChoice m_font;
    quint32 m_backColor = 0;
};
