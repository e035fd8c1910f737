#pragma once
// The main window. For now only its frame: caption, placement and status bar;
// the customer list, menus and commands are added to it later.

#include <QMainWindow>

class QStatusBar;

class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(QWidget *parent = nullptr);

    QStatusBar *StatusBar1;

private:
    QWidget *pBody;
};
