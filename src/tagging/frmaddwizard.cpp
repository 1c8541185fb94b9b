#include "frmaddwizard.h"

#include "batchprogress.h"
#include "core/settingsstore.h"
#include "core/userdialogs.h"
#include "fieldparsing.h"
#include "parsingoptions.h"
#include "playlisttarget.h"
#include "taglibtagreader.h"
#include "wizardsettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include <memory>

namespace {

const QString kProgramName = QStringLiteral("VORN");

// The size of Open and Close, 885 x 360 twips at 96 dots per inch.
constexpr QSize kButtonSize(59, 24);

} // namespace

frmAddWizard::frmAddWizard(SettingsStore &settings, UserDialogs &dialogs, PlayListTarget &target,
                           const QString &startFolder, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_target(target)
    , m_makeReader([] { return std::make_unique<TagLibTagReader>(); })
{
    setObjectName(QStringLiteral("frmAddWizard"));
    setWindowTitle(QStringLiteral("Add Wizard"));
    setModal(true);
    QFont tahoma = font();
    tahoma.setFamily(QStringLiteral("Tahoma"));
    setFont(tahoma);

    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    m_nowMs = [elapsed] { return elapsed->elapsed(); };

    // Every control lives in one body, so that disabling it while files are
    // added leaves the progress window usable.
    auto *outer = new QVBoxLayout(this);
    m_body = new QWidget(this);
    outer->addWidget(m_body);
    auto *columns = new QHBoxLayout(m_body);
    columns->setContentsMargins(0, 0, 0, 0);

    auto *left = new QVBoxLayout;
    m_options = new ParsingOptions(m_body);
    m_options->setObjectName(QStringLiteral("parsingOptions"));
    left->addWidget(m_options);
    m_chkNew = new QCheckBox(QStringLiteral("Create New Play List"), m_body);
    m_chkNew->setObjectName(QStringLiteral("chkNew"));
    left->addWidget(m_chkNew);
    columns->addLayout(left);

    auto *right = new QVBoxLayout;
    m_dcmbDrives = new QComboBox(m_body);
    m_dcmbDrives->setObjectName(QStringLiteral("dcmbDrives"));
    right->addWidget(m_dcmbDrives);

    m_dirs = new QFileSystemModel(this);
    m_dirs->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_dlstDirs = new QTreeView(m_body);
    m_dlstDirs->setObjectName(QStringLiteral("dlstDirs"));
    m_dlstDirs->setModel(m_dirs);
    m_dlstDirs->setHeaderHidden(true);
    for (int column = 1; column < m_dirs->columnCount(); ++column)
        m_dlstDirs->hideColumn(column);
    right->addWidget(m_dlstDirs, 1);

    m_flstFiles = new QListWidget(m_body);
    m_flstFiles->setObjectName(QStringLiteral("flstFiles"));
    m_flstFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_flstFiles->setUniformItemSizes(true);
    right->addWidget(m_flstFiles, 1);

    m_cmbFileTypes = new QComboBox(m_body);
    m_cmbFileTypes->setObjectName(QStringLiteral("cmbFileTypes"));
    m_cmbFileTypes->addItems(wizardFileTypes());
    // The long first item would widen the dialog; the list opens wider.
    m_cmbFileTypes->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cmbFileTypes->setMinimumContentsLength(20);
    m_cmbFileTypes->view()->setMinimumWidth(m_cmbFileTypes->view()->sizeHintForColumn(0));
    right->addWidget(m_cmbFileTypes);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cmdOpen = new QPushButton(QStringLiteral("&Open"), m_body);
    m_cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    m_cmdOpen->setDefault(true);
    m_cmdClose = new QPushButton(QStringLiteral("&Close"), m_body);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    for (QPushButton *button : {m_cmdOpen, m_cmdClose}) {
        button->setMinimumSize(kButtonSize);
        buttons->addWidget(button);
    }
    right->addLayout(buttons);
    columns->addLayout(right, 1);

    connect(m_dcmbDrives, &QComboBox::currentIndexChanged, this, [this] { dcmbDrives_Change(); });
    connect(m_dlstDirs->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    dlstDirs_Change();
            });
    // The folders around the current one fill in (and are sorted) in the
    // background while the dialog opens, each batch pushing it out of view:
    // keep it in view as they come, until the user scrolls or clicks.
    connect(m_dirs, &QFileSystemModel::rowsInserted, this, [this] { revealCurrentFolder(); });
    connect(m_dirs, &QFileSystemModel::layoutChanged, this, [this] { revealCurrentFolder(); });
    connect(m_dirs, &QFileSystemModel::directoryLoaded, this, [this] { revealCurrentFolder(); });
    m_dlstDirs->installEventFilter(this);
    m_dlstDirs->viewport()->installEventFilter(this);
    m_dlstDirs->verticalScrollBar()->installEventFilter(this);
    connect(m_cmbFileTypes, &QComboBox::currentIndexChanged, this,
            [this] { cmbFileTypes_Click(); });
    connect(m_cmdOpen, &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(m_cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });

    // Form_Load.
    applyNewPlayListRule();
    fillDrives(startFolder.isEmpty() ? QDir::currentPath() : startFolder);
    selectFolder(startFolder.isEmpty() ? QDir::currentPath() : startFolder);
    m_cmbFileTypes->setCurrentIndex(0);
    cmbFileTypes_Click();
    m_options->load(WizardSettings::read(m_settings));

    resize(sizeHint().expandedTo(QSize(480, 420)));
}

frmAddWizard::~frmAddWizard() = default;

void frmAddWizard::fillDrives(const QString &startFolder)
{
    const QString startRoot = QStorageInfo(startFolder).rootPath();
    const QSignalBlocker quiet(m_dcmbDrives);
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        // Some systems mount single files (a container's /etc/hosts).
        if (!volume.isValid() || !QFileInfo(volume.rootPath()).isDir())
            continue;
        const QString root = volume.rootPath();
        const QString name = volume.displayName();
        m_dcmbDrives->addItem(name == root ? root : QStringLiteral("%1 [%2]").arg(root, name),
                              root);
    }
    if (!startRoot.isEmpty() && m_dcmbDrives->findData(startRoot) < 0)
        m_dcmbDrives->insertItem(0, startRoot, startRoot);
    m_dcmbDrives->setCurrentIndex(std::max(0, m_dcmbDrives->findData(startRoot)));
    const QString root = m_dcmbDrives->currentData().toString();
    m_dirs->setRootPath(root);
    m_dlstDirs->setRootIndex(m_dirs->index(root));
    m_folder = root;
}

void frmAddWizard::dcmbDrives_Change()
{
    // A drive that cannot be read (an empty removable drive) shows no folders
    // and no files.
    const QString root = m_dcmbDrives->currentData().toString();
    m_dirs->setRootPath(root);
    m_dlstDirs->setRootIndex(m_dirs->index(root));
    m_folder = root;
    fillFiles();
}

void frmAddWizard::selectFolder(const QString &path)
{
    const QModelIndex index = m_dirs->index(QDir::cleanPath(path));
    if (!index.isValid() || index == m_dlstDirs->rootIndex()) {
        m_folder = m_dcmbDrives->currentData().toString();
        fillFiles();
        return;
    }
    m_dlstDirs->setCurrentIndex(index);
    m_dlstDirs->scrollTo(index);
}

void frmAddWizard::applyNewPlayListRule()
{
    // Without a selected list the songs can only go to a new one; while
    // music plays only to the list shown, which is the one playing.
    if (!m_target.mayCreatePlayList()) {
        m_chkNew->setChecked(false);
        m_chkNew->setEnabled(false);
        m_cmdOpen->setEnabled(m_target.hasSelectedPlayList());
    } else if (!m_target.hasSelectedPlayList()) {
        m_chkNew->setChecked(true);
        m_chkNew->setEnabled(false);
    }
}

bool frmAddWizard::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        m_followCurrentFolder = false;
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAddWizard::revealCurrentFolder()
{
    const QModelIndex current = m_dlstDirs->currentIndex();
    if (m_followCurrentFolder && current.isValid() && isVisible())
        m_dlstDirs->scrollTo(current, QAbstractItemView::PositionAtCenter);
}

void frmAddWizard::dlstDirs_Change()
{
    m_folder = m_dirs->filePath(m_dlstDirs->currentIndex());
    fillFiles();
}

void frmAddWizard::cmbFileTypes_Click()
{
    fillFiles();
}

void frmAddWizard::fillFiles()
{
    m_flstFiles->clear();
    if (m_folder.isEmpty() || !m_cmbFileTypes)
        return;
    const QStringList patterns = fileTypePatterns(m_cmbFileTypes->currentText());
    m_flstFiles->addItems(
        QDir(m_folder).entryList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

QStringList frmAddWizard::selectedFiles() const
{
    QStringList names;
    for (int row = 0; row < m_flstFiles->count(); ++row) {
        if (m_flstFiles->item(row)->isSelected())
            names.append(m_flstFiles->item(row)->text());
    }
    return names;
}

void frmAddWizard::cmdOpen_Click()
{
    if (m_busy)
        return;
    const int engine = m_options->engine();
    // The folder-tree engine is offered but not carried out: nothing is
    // created, added, marked or stored, and the dialog stays open.
    if (engine == kFolderTreeEngine) {
        m_dialogs.messageBox(kProgramName, QStringLiteral("Under Construction"), DialogButtons::Ok,
                             DialogIcon::None);
        return;
    }

    // Music may have started behind the dialog (a media key, say).
    if (m_chkNew->isChecked() && !m_target.mayCreatePlayList()) {
        applyNewPlayListRule();
        return;
    }

    m_busy = true;
    m_body->setEnabled(false);
    setCursor(Qt::WaitCursor);

    if (m_chkNew->isChecked())
        m_target.NewPlayList(QString());
    const QStringList names = selectedFiles();
    const BatchStep step = progressStep(static_cast<int>(names.size()));
    if (engine == kTagEngine)
        AddWithTags(m_folder, names, m_makeReader, m_target, step);
    else
        AddWithFileNames(m_folder, names, m_options->fieldOrder(0), m_target, step);
    delete m_progress;
    m_progress = nullptr;

    m_target.SetModifyedPLFlag();
    m_options->choices().save(m_settings);

    m_body->setEnabled(true);
    unsetCursor();
    m_busy = false;
    accept();
}

BatchStep frmAddWizard::progressStep(int total)
{
    auto gate = std::make_shared<BatchProgress>(m_nowMs(), total);
    return [this, gate, total](int done) {
        const qint64 now = m_nowMs();
        if (!m_progress && gate->shouldShow(now, done)) {
            m_progress = new QProgressDialog(QStringLiteral("Adding media files..."),
                                             QStringLiteral("Cancel"), 0, total, this);
            m_progress->setObjectName(QStringLiteral("prgAdding"));
            m_progress->setWindowTitle(windowTitle());
            m_progress->setWindowModality(Qt::WindowModal);
            m_progress->setMinimumDuration(0);
            m_progress->setAutoClose(false);
            m_progress->setAutoReset(false);
            m_progress->setValue(done);
            m_progress->show();
        }
        // A long batch is kept on disk as it grows, not only at its end.
        if (done < total && gate->shouldKeep(now))
            m_target.keepAddedSongs();
        if (gate->shouldYield(now) || done == total) {
            if (m_progress)
                m_progress->setValue(done);
            QCoreApplication::processEvents();
        }
        return !(m_progress && m_progress->wasCanceled());
    };
}

void frmAddWizard::cmdClose_Click()
{
    reject();
}

void frmAddWizard::reject()
{
    if (!m_busy)
        QDialog::reject();
}

void frmAddWizard::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    revealCurrentFolder();
    const QScreen *screen = this->screen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}
