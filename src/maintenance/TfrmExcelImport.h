#pragma once
// The spreadsheet import wizard: a source file (.xls, .xlsx or .csv), one
// of its sheets, the mapping of its columns onto the target table's, a
// preview to correct, and one batch that writes every previewed row.

#include "ImportPreview.h"
#include "Workbook.h"

#include <QDialog>
#include <QList>
#include <atomic>
#include <functional>
#include <memory>

class DataSet;
class PreviewModel;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;
class QTableWidget;
class SheetModel;

class TfrmExcelImport : public QDialog {
    Q_OBJECT
public:
    explicit TfrmExcelImport(const QString &targetTable, QWidget *parent = nullptr);
    ~TfrmExcelImport() override;

    int step() const { return m_step; }
    const SheetTable &sheet() const { return m_sheet; }
    const QList<ImportMapping> &mappings() const { return m_mappings; }
    const ImportPreview &preview() const { return m_preview; }
    // The mapping row's spreadsheet column as chosen in the grid ("" clears it).
    void setMapping(int row, const QString &sheetColumn);

    void Button1Click();   // opens the sample file
    void Button2Click();   // picks the source file
    void Button3Click();   // 上一步
    void Button4Click();   // 下一步 / 完成
    void ComboBox1Change();
    // The preview's context commands on the chosen rows.
    void N1Click();        // 批量修改当前所选列
    void N2Click();        // 删除当前指定所选行
    QList<int> selectedPreviewRows() const;

    QTabWidget *PageControl1;
    QWidget *TabSheet1, *TabSheet2, *TabSheet3, *TabSheet4;
    QLineEdit *edtSamplePath;
    QPushButton *Button1;
    QLineEdit *edtXlsFileName;
    QPushButton *Button2;
    QComboBox *ComboBox1;
    QTableView *DBGridEh1;
    QTableWidget *DBGrid2;
    QTableView *DBGridEh3;
    QMenu *PopupMenu1;
    QAction *N1, *N2;
    QProgressBar *ProgressBar1;
    QLabel *lblProgress;
    QPushButton *Button3, *Button4, *Button5;

    DataSet *QryTable2;   // mapping rows of cfg_import (never written back)
    DataSet *QryTable3;   // the target table's columns

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowStep(int step);
    bool openWorkbook();     // step 1
    bool loadSheet(const QString &name);
    bool loadMapping();      // step 2
    void buildPreview();     // step 3
    void writeBatch();       // step 4
    // Runs work on a worker thread while the window keeps painting and the
    // progress bar follows; false when the operator cancelled.
    bool runInBackground(const std::function<void(std::atomic<qint64> &done, std::atomic<qint64> &total,
                                                  const std::atomic<bool> &cancel)> &work);
    void setBusy(bool busy);
    void fillMappingGrid();

    QString m_table;
    int m_step = 0;
    std::unique_ptr<Workbook> m_book;
    SheetTable m_sheet;
    QList<ImportMapping> m_mappings;
    ImportPreview m_preview;
    SheetModel *m_sheetModel;
    PreviewModel *m_previewModel;
    bool m_busy = false;
    std::atomic<bool> m_cancel{false};
    bool m_closeWhenIdle = false;
};
