#pragma once
// 导出客户电子信箱: the customers' e-mail addresses, of the main window's
// list or of all customers, into a text file in the program folder, one a
// line, then opened with the desktop's program.

#include <QDialog>

class CustomerListHost;
class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

class TfrmExportEmail : public QDialog {
    Q_OBJECT
public:
    explicit TfrmExportEmail(CustomerListHost &host, QWidget *parent = nullptr);

    void Button1Click();   // 导出
    // The file the export writes: program folder + trimmed name (without NULs) + ".txt".
    QString filePath() const;

    QGroupBox *RadioGroup1;
    QButtonGroup *rangeGroup;   // 0 当前客户记录, 1 所有客户记录
    QLineEdit *edtFilename;
    QProgressBar *ProgressBar1;
    QPushButton *Button1, *Button2;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showProgress(int row, int count, bool last);

    CustomerListHost &m_host;
    bool m_shown = false;
    qint64 m_lastShownMs = 0;
};
