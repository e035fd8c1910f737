#include "Companion.h"
#include "ChaCha20.h"
#include "Dialogs.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QScreen>
#include <QWidget>

int ShowMess(const QString &text, int kind, Mess::Answer defaultAnswer)
{
    const Dialogs::Kind k = (kind >= 0 && kind <= 3) ? Dialogs::Kind(kind) : Dialogs::Kind::Information;
    const int r = Dialogs::current().message(text, k, defaultAnswer);
    if (k == Dialogs::Kind::Question) return r == Mess::Yes ? Mess::Yes : Mess::No;
    return r;
}

void DispFormPos(QWidget *form, int mode)
{
    if (!form) return;
    QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    auto centred = [&](const QSize &size) { return QRect(avail.topLeft() + QPoint((avail.width() - size.width()) / 2, (avail.height() - size.height()) / 2), size); };
    QRect target;
    if (mode == 2) {
        // The main window takes most of the screen; the operator may maximise it.
        target = centred(QSize(avail.width() * 9 / 10, avail.height() * 9 / 10));
    } else {
        QWidget *anchor = mode == 0 ? QApplication::activeWindow() : nullptr;
        if (anchor && anchor != form) {
            // List windows cover the main window's working area, a little inset.
            target = anchor->geometry().adjusted(24, 48, -24, -24);
            target.setSize(target.size().boundedTo(avail.size()));
        } else {
            target = centred(form->size().boundedTo(avail.size()));
        }
    }
    // Always wholly on the screen.
    target.moveLeft(qBound(avail.left(), target.left(), avail.right() - target.width() + 1));
    target.moveTop(qBound(avail.top(), target.top(), avail.bottom() - target.height() + 1));
    form->resize(target.size());
    form->move(target.topLeft());
}

namespace {
// A fixed program key: it keeps passwords from being read at a glance in
// Config.ini or the operator table, not from someone who has this program.
constexpr ChaCha20::Key kProgramKey = {0x3a, 0x91, 0x5c, 0x07, 0xe2, 0x4f, 0xb8, 0x16, 0x7d, 0xc3, 0x28,
                                       0x9e, 0x51, 0x0a, 0xf6, 0x83, 0x2b, 0xd4, 0x69, 0x1e, 0xa7, 0x35,
                                       0xcc, 0x40, 0x98, 0x5f, 0x0e, 0xb1, 0x76, 0xe9, 0x13, 0x6a};
const QString kPrefix = QStringLiteral("$c1$");
constexpr int kNonceBytes = 8;
constexpr auto kB64 = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

ChaCha20::Nonce nonceFrom(const QByteArray &n)
{
    ChaCha20::Nonce nonce{};
    for (int i = 0; i < kNonceBytes; ++i) nonce[size_t(i)] = uint8_t(n[i]);
    return nonce;
}
} // namespace

QString SavePass(const QString &clear)
{
    if (clear.isEmpty()) return QString();
    QByteArray bytes = clear.toUtf8();
    if (bytes.size() > MaxClearPasswordBytes) {
        qsizetype cut = MaxClearPasswordBytes;
        while (cut > 0 && (uchar(bytes[cut]) & 0xC0) == 0x80) --cut;   // keep whole characters
        bytes.truncate(cut);
    }
    QByteArray nonce(kNonceBytes, Qt::Uninitialized);
    for (int i = 0; i < kNonceBytes; ++i) nonce[i] = char(QRandomGenerator::global()->bounded(256));
    const QByteArray coded = nonce + ChaCha20::apply(kProgramKey, nonceFrom(nonce), 1, bytes);
    return kPrefix + QString::fromLatin1(coded.toBase64(kB64));
}

QString GetPass(const QString &stored)
{
    if (stored.isEmpty()) return QString();
    if (!stored.startsWith(kPrefix)) return stored;
    const auto decoded = QByteArray::fromBase64Encoding(stored.mid(kPrefix.size()).toLatin1(),
                                                        kB64 | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() < kNonceBytes) return stored;
    const QByteArray nonce = decoded.decoded.left(kNonceBytes);
    return QString::fromUtf8(
        ChaCha20::apply(kProgramKey, nonceFrom(nonce), 1, decoded.decoded.mid(kNonceBytes)));
}
