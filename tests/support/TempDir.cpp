#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace kalvor::test {

TempDir::TempDir()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempDir::write(const QString &name, const QByteArray &bytes) const
{
    const QString path = file(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
    return path;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString dataFile(const QString &name)
{
    return QStringLiteral(KALVOR_TEST_DATA_DIR "/") + name;
}

QStringList textFileLines(const QString &path)
{
    QStringList lines = QString::fromUtf8(readAll(path)).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace kalvor::test
