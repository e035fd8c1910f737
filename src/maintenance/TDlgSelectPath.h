#pragma once
// The folder chooser: the workstation's drives (its mount points), the
// folders of the chosen one as a tree, and the folder chosen.

#include <QDialog>
#include <QString>

class QComboBox;
class QFileSystemModel;
class QModelIndex;
class QLineEdit;
class QPushButton;
class QTreeView;

class TDlgSelectPath : public QDialog {
    Q_OBJECT
public:
    explicit TDlgSelectPath(QWidget *parent = nullptr);

    // Opens on `start` (its deepest existing folder, on the drive holding it);
    // true and the chosen folder when confirmed with 确定.
    bool SelectPath(const QString &start, QString *chosen);

    // The folder chosen in the tree.
    QString currentPath() const;
    void setCurrentPath(const QString &path);

    QComboBox *DriveComboBox1;
    QTreeView *DirectoryListBox1;
    QLineEdit *edtPath;
    QPushButton *BitBtn1;   // 确定
    QPushButton *BitBtn2;   // 取消

private:
    void showDrive(const QString &root);
    // Opens the folders above `index` and scrolls it into view.
    void reveal(const QModelIndex &index);
    QFileSystemModel *m_model;
};
