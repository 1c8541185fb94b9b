#pragma once

#include "addengines.h"

#include <QDialog>

#include <functional>

class ParsingOptions;
class PlayListTarget;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QListWidget;
class QProgressDialog;
class QPushButton;
class QTreeView;
class SettingsStore;
class UserDialogs;

// "Add Wizard": the user browses to a folder, selects media files and adds
// them through a parsing engine to the current play list or a new one.
class frmAddWizard : public QDialog
{
    Q_OBJECT

public:
    // `startFolder` is where the folder list starts; empty means the current
    // working folder.
    frmAddWizard(SettingsStore &settings, UserDialogs &dialogs, PlayListTarget &target,
                 const QString &startFolder = QString(), QWidget *parent = nullptr);
    ~frmAddWizard() override;

    void dcmbDrives_Change();
    void dlstDirs_Change();
    void cmbFileTypes_Click();
    void cmdOpen_Click();
    void cmdClose_Click();

    // The folder the file list shows.
    QString folder() const { return m_folder; }
    // Shows `path` in the folder list, as a click on it would.
    void selectFolder(const QString &path);

    // Seams for tests: the tag reader of each tag engine run, and the clock
    // (milliseconds) that decides when progress shows.
    void setTagReaderFactory(TagReaderFactory factory) { m_makeReader = std::move(factory); }
    void setClock(std::function<qint64()> nowMs) { m_nowMs = std::move(nowMs); }

public slots:
    // Escape and the window's close button end the dialog as Close does,
    // except while files are being added.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fillDrives(const QString &startFolder);
    void fillFiles();
    // Greys "Create New Play List" where it has only one possible state.
    void applyNewPlayListRule();
    // Scrolls the folder list to the current folder.
    void revealCurrentFolder();
    QStringList selectedFiles() const;
    BatchStep progressStep(int total);

    SettingsStore &m_settings;
    UserDialogs &m_dialogs;
    PlayListTarget &m_target;
    TagReaderFactory m_makeReader;
    std::function<qint64()> m_nowMs;
    QString m_folder;
    bool m_centred = false;
    bool m_busy = false;
    // The folder list follows the current folder until the user moves in it.
    bool m_followCurrentFolder = true;

    QWidget *m_body = nullptr;

    QComboBox *m_dcmbDrives = nullptr;
    QTreeView *m_dlstDirs = nullptr;
    QFileSystemModel *m_dirs = nullptr;
    QListWidget *m_flstFiles = nullptr;
    QComboBox *m_cmbFileTypes = nullptr;
    ParsingOptions *m_options = nullptr;
    QCheckBox *m_chkNew = nullptr;
    QPushButton *m_cmdOpen = nullptr;
    QPushButton *m_cmdClose = nullptr;
    QProgressDialog *m_progress = nullptr;
};
