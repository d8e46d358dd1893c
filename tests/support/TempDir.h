#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace kalvor::test {

// A fresh folder for one test, removed afterwards.
class TempDir final {
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Writes bytes to a file in the folder and returns its path.
    QString write(const QString &name, const QByteArray &bytes) const;

private:
    QTemporaryDir m_dir;
};

QByteArray readAll(const QString &path);
// The lines of a UTF-8 text file; a final line end adds no empty line.
QStringList textFileLines(const QString &path);
// A file under tests/data.
QString dataFile(const QString &name);

} // namespace kalvor::test
