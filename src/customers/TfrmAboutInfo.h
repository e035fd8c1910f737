#pragma once
// The about box: product and version, a picture, how to reach the vendor
// and where this installation keeps its program folder.

#include <QDialog>

class QLabel;

namespace Vendor {
inline constexpr const char *WebSite = "https://www.chenglan.example/";
inline constexpr const char *MailAddress = "service@chenglan.example";
inline constexpr const char *Telephones = "400-800-1234  0571-8888-1234";
inline constexpr const char *Ownership = "版权所有 (C) 澄岚软件工作室，保留所有权利。";
}

class TfrmAboutInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAboutInfo(QWidget *parent = nullptr);

    QLabel *imgLogo;
    QLabel *lblProduct;
    QLabel *lblWeb;
    QLabel *lblMail;
    QLabel *lblPhone;
    QLabel *lblOwner;
    QLabel *lblFolder;   // the program folder, opened in the file manager
};
