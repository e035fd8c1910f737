#include "FuzzSupport.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace Fuzz {

void startQt()
{
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

QString inputFile(const QByteArray &content, const QString &name)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile f(path);
    require(f.open(QIODevice::WriteOnly | QIODevice::Truncate), "the input file cannot be written");
    require(f.write(content) == content.size(), "the input file cannot be written");
    return path;
}

void require(bool ok, const char *what)
{
    if (ok) return;
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

} // namespace Fuzz
