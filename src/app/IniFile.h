#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <vector>

namespace kalvor {

// The configuration file "tamrel.ini": sections of key=value lines, kept line by line so that order,
// comments and blank lines survive a rewrite. Sections and keys are found without regard to case; when
// a section or key appears twice, the first one is read and written. Files are read as UTF-8 or
// Windows-1251 (whichever the bytes are) and written back in the same encoding and line ends.
//
// An object bound to a file writes every change to disk at once (atomically), as the program expects
// of its configuration file; an object parsed from bytes only changes in memory.
class IniFile final {
public:
    enum class Encoding { Utf8, Cp1251 };

    IniFile() = default;
    // Reads the file when it exists; a missing file is an empty configuration. Throws KalvorError when
    // the file exists but cannot be read.
    explicit IniFile(const QString &fileName);
    static IniFile fromBytes(QByteArrayView bytes);

    const QString &fileName() const { return m_fileName; }
    Encoding encoding() const { return m_encoding; }

    // A missing section or key reads as `defaultValue`.
    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    // The value as a decimal integer; `defaultValue` when missing or not a number.
    qint64 readInteger(const QString &section, const QString &key, qint64 defaultValue = 0) const;
    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    // Section names in file order (each once, spelled as first seen); keys of a section in file order.
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, qint64 value);
    void deleteKey(const QString &section, const QString &key);
    void eraseSection(const QString &section);

    // When false, changes stay in memory until flush(). On by default for a file.
    void setAutoFlush(bool on) { m_autoFlush = on; }
    bool isModified() const { return m_modified; }
    // Writes pending changes to the file atomically; throws KalvorError when it cannot be written.
    void flush();

    // The whole text in the encoding, line ends and byte-order mark it was read with.
    QByteArray toBytes() const;

private:
    enum class LineKind { Other, Blank, Comment, Section, Value };
    struct Line {
        QString text; // the line as read or last written, without its line end
        LineKind kind = LineKind::Other;
        QString name; // section name or key, trimmed
        QString value; // for a Value line, trimmed
    };

    void parse(QByteArrayView bytes);
    static Line parseLine(const QString &text);
    // Index of the first line of the first section of this name, or -1.
    qsizetype findSection(const QString &section) const;
    // One past the last line belonging to the section that starts at `header`.
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QString &key) const;
    void changed();

    QString m_fileName;
    std::vector<Line> m_lines;
    Encoding m_encoding = Encoding::Utf8;
    bool m_bom = false;
    bool m_crlf = false;
    bool m_autoFlush = true;
    bool m_modified = false;
};

} // namespace kalvor
