#include "TfrmAboutInfo.h"

#include "app/ProgramFolder.h"
#include "app/PubUnit.h"
#include "app/Shell.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// A drawn emblem, so the box needs no image file beside the program.
QPixmap logo()
{
    QPixmap pm(96, 96);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 96, 96);
    g.setColorAt(0, QColor(30, 110, 200));
    g.setColorAt(1, QColor(20, 60, 130));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(4, 4, 88, 88), 16, 16);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(22, 22, 52, 52), 40 * 16, 280 * 16);
    p.setBrush(QColor(255, 200, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(48, 48), 8, 8);
    return pm;
}

QLabel *linkLabel(const QString &caption, const QString &href, const QString &shown, QWidget *parent)
{
    auto *l = new QLabel(caption + QStringLiteral("<a href=\"") + href.toHtmlEscaped() + QStringLiteral("\">")
                             + shown.toHtmlEscaped() + QStringLiteral("</a>"),
                         parent);
    l->setTextFormat(Qt::RichText);
    l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    l->setCursor(Qt::PointingHandCursor);
    // Through the shell seam rather than QLabel's own opening.
    l->setOpenExternalLinks(false);
    QObject::connect(l, &QLabel::linkActivated, l, [](const QString &link) { Shell::current().openDocument(link); });
    return l;
}
} // namespace

TfrmAboutInfo::TfrmAboutInfo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAboutInfo"));
    setWindowTitle(QStringLiteral("关于我们"));
    setModal(true);

    imgLogo = new QLabel(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setPixmap(logo());
    imgLogo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblProduct = new QLabel(PubUnit::ProductName + PubUnit::VersionText, this);
    lblProduct->setObjectName(QStringLiteral("lblProduct"));
    QFont bold = lblProduct->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    lblProduct->setFont(bold);

    const QString web = QString::fromUtf8(Vendor::WebSite);
    const QString mail = QString::fromUtf8(Vendor::MailAddress);
    lblWeb = linkLabel(QStringLiteral("网站："), web, web, this);
    lblWeb->setObjectName(QStringLiteral("lblWeb"));
    lblMail = linkLabel(QStringLiteral("邮箱："), QStringLiteral("mailto:") + mail, mail, this);
    lblMail->setObjectName(QStringLiteral("lblMail"));
    lblPhone = new QLabel(QStringLiteral("电话：") + QString::fromUtf8(Vendor::Telephones), this);
    lblPhone->setObjectName(QStringLiteral("lblPhone"));
    lblOwner = new QLabel(QString::fromUtf8(Vendor::Ownership), this);
    lblOwner->setObjectName(QStringLiteral("lblOwner"));
    lblOwner->setWordWrap(true);
    // Where settings, the embedded database, templates and backups are kept.
    const QString home = QDir::toNativeSeparators(ProgramFolder::path());
    lblFolder = linkLabel(QStringLiteral("程序目录："), QUrl::fromLocalFile(ProgramFolder::path()).toString(), home, this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setWordWrap(true);

    auto *text = new QVBoxLayout;
    text->addWidget(lblProduct);
    text->addSpacing(8);
    text->addWidget(lblWeb);
    text->addWidget(lblMail);
    text->addWidget(lblPhone);
    text->addWidget(lblFolder);
    text->addSpacing(8);
    text->addWidget(lblOwner);
    text->addStretch();

    auto *body = new QHBoxLayout;
    body->addWidget(imgLogo);
    body->addSpacing(12);
    body->addLayout(text, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *all = new QVBoxLayout(this);
    all->addLayout(body);
    all->addWidget(buttons);
}
