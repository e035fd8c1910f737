#include "TDlgSelectPath.h"

#include "app/Dialogs.h"
#include "components/DialogKeys.h"
#include "components/FormFields.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QStringList mountPoints()
{
    QStringList roots;
    for (const QStorageInfo &v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && !roots.contains(v.rootPath())) roots << v.rootPath();
    if (!roots.contains(QDir::rootPath())) roots << QDir::rootPath();
    roots.sort();
    return roots;
}

// The mount point a folder lies on: the longest one that holds it.
QString driveOf(const QStringList &roots, const QString &path)
{
    QString best = QDir::rootPath();
    for (const QString &r : roots) {
        const QString prefix = r.endsWith(u'/') ? r : r + u'/';
        if ((path == r || path.startsWith(prefix)) && r.size() > best.size()) best = r;
    }
    return best;
}

// The deepest folder of `path` that exists.
QString existingFolder(const QString &path)
{
    QString p = QDir::cleanPath(QDir(path).absolutePath());
    while (!QFileInfo(p).isDir()) {
        const QString up = QFileInfo(p).path();
        if (up == p) return QDir::rootPath();
        p = up;
    }
    return p;
}

} // namespace

TDlgSelectPath::TDlgSelectPath(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DlgSelectPath"));
    setWindowTitle(QStringLiteral("选择文件路径"));

    DriveComboBox1 = FormFields::named(new QComboBox(this), "DriveComboBox1");
    DriveComboBox1->addItems(mountPoints());
    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_model->setRootPath(QDir::rootPath());
    DirectoryListBox1 = FormFields::named(new QTreeView(this), "DirectoryListBox1");
    DirectoryListBox1->setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c) DirectoryListBox1->hideColumn(c);
    DirectoryListBox1->header()->hide();
    DirectoryListBox1->setMinimumSize(320, 260);
    edtPath = FormFields::textBox(this, "edtPath");
    edtPath->setReadOnly(true);
    BitBtn1 = FormFields::button(this, "BitBtn1", QStringLiteral("确定"));
    BitBtn2 = FormFields::button(this, "BitBtn2", QStringLiteral("取消"));

    auto *drive = new QHBoxLayout;
    drive->addWidget(new QLabel(QStringLiteral("驱动器:"), this));
    drive->addWidget(DriveComboBox1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto *top = new QVBoxLayout(this);
    top->addLayout(drive);
    top->addWidget(new QLabel(QStringLiteral("路径名："), this));
    top->addWidget(edtPath);
    top->addWidget(DirectoryListBox1, 1);
    top->addLayout(buttons);

    connect(DriveComboBox1, &QComboBox::textActivated, this, [this](const QString &root) {
        showDrive(root);
        setCurrentPath(root);
    });
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { edtPath->setText(QDir::toNativeSeparators(m_model->filePath(current))); });
    // Folders are read in the background: the chosen one is shown once its parents are there.
    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this] { reveal(DirectoryListBox1->currentIndex()); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    DialogKeys::install(this, BitBtn1, BitBtn2);
}

void TDlgSelectPath::showDrive(const QString &root)
{
    DirectoryListBox1->setRootIndex(m_model->index(root));
    const QSignalBlocker block(DriveComboBox1);
    DriveComboBox1->setCurrentIndex(DriveComboBox1->findText(root));
}

void TDlgSelectPath::reveal(const QModelIndex &index)
{
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent()) DirectoryListBox1->expand(p);
    DirectoryListBox1->scrollTo(index);
}

QString TDlgSelectPath::currentPath() const
{
    const QModelIndex i = DirectoryListBox1->currentIndex();
    return i.isValid() ? m_model->filePath(i) : QString();
}

void TDlgSelectPath::setCurrentPath(const QString &path)
{
    const QModelIndex i = m_model->index(path);
    DirectoryListBox1->setCurrentIndex(i);
    reveal(i);
    edtPath->setText(QDir::toNativeSeparators(path));
}

bool TDlgSelectPath::SelectPath(const QString &start, QString *chosen)
{
    const QString folder = existingFolder(start.isEmpty() ? QDir::homePath() : start);
    QStringList roots;
    for (int i = 0; i < DriveComboBox1->count(); ++i) roots << DriveComboBox1->itemText(i);
    showDrive(driveOf(roots, folder));
    setCurrentPath(folder);
    DirectoryListBox1->setFocus();
    if (Dialogs::current().execDialog(*this) != QDialog::Accepted) return false;
    *chosen = currentPath();
    return true;
}

#include "moc_TDlgSelectPath.cpp"
