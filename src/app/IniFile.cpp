#include "app/IniFile.h"

#include "store/Cp1251.h"
#include "store/FileAccess.h"
#include "store/KalvorError.h"

#include <QFile>

#include <string>

namespace kalvor {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A value with a line break would split into two lines of the file.
QString singleLine(const QString &value)
{
    QString out = value;
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    return out;
}

} // namespace

IniFile::IniFile(const QString &fileName)
    : m_fileName(fileName)
{
    QFile file(fileName);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        throw KalvorError(QStringLiteral("Не удалось прочитать файл «%1»: %2").arg(fileName, file.errorString()));
    parse(file.readAll());
}

IniFile IniFile::fromBytes(QByteArrayView bytes)
{
    IniFile ini;
    ini.parse(bytes);
    return ini;
}

void IniFile::parse(QByteArrayView bytes)
{
    m_lines.clear();
    m_bom = bytes.startsWith(QByteArrayView(kBom, 3));
    if (m_bom)
        bytes = bytes.sliced(3);
    const std::string_view raw(bytes.data(), static_cast<std::size_t>(bytes.size()));
    QString text;
    if (m_bom || cp1251::isValidUtf8(raw)) {
        m_encoding = Encoding::Utf8;
        text = QString::fromUtf8(bytes);
    } else {
        m_encoding = Encoding::Cp1251;
        std::string utf8;
        cp1251::appendUtf8(utf8, raw);
        text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    }

    const qsizetype firstBreak = text.indexOf(u'\n');
    m_crlf = firstBreak > 0 && text.at(firstBreak - 1) == u'\r';

    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        const bool last = end < 0;
        if (last)
            end = text.size();
        qsizetype lineEnd = end;
        if (lineEnd > start && text.at(lineEnd - 1) == u'\r')
            --lineEnd;
        m_lines.push_back(parseLine(text.mid(start, lineEnd - start)));
        start = end + 1;
    }
    m_modified = false;
}

IniFile::Line IniFile::parseLine(const QString &text)
{
    Line line;
    line.text = text;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        line.kind = LineKind::Blank;
    } else if (trimmed.startsWith(u';') || trimmed.startsWith(u'#')) {
        line.kind = LineKind::Comment;
    } else if (trimmed.startsWith(u'[')) {
        line.kind = LineKind::Section;
        const qsizetype close = trimmed.indexOf(u']');
        line.name = (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed();
    } else if (const qsizetype eq = trimmed.indexOf(u'='); eq > 0) {
        line.name = trimmed.left(eq).trimmed();
        if (!line.name.isEmpty()) {
            line.kind = LineKind::Value;
            line.value = trimmed.mid(eq + 1).trimmed();
        }
    }
    return line;
}

qsizetype IniFile::findSection(const QString &section) const
{
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == LineKind::Section && sameName(m_lines[i].name, section))
            return static_cast<qsizetype>(i);
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype header) const
{
    auto i = static_cast<std::size_t>(header) + 1;
    while (i < m_lines.size() && m_lines[i].kind != LineKind::Section)
        ++i;
    return static_cast<qsizetype>(i);
}

qsizetype IniFile::findKey(qsizetype header, const QString &key) const
{
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line &line = m_lines[static_cast<std::size_t>(i)];
        if (line.kind == LineKind::Value && sameName(line.name, key))
            return i;
    }
    return -1;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return defaultValue;
    const qsizetype at = findKey(header, key);
    return at < 0 ? defaultValue : m_lines[static_cast<std::size_t>(at)].value;
}

qint64 IniFile::readInteger(const QString &section, const QString &key, qint64 defaultValue) const
{
    bool ok = false;
    const qint64 value = readString(section, key).toLongLong(&ok, 10);
    return ok ? value : defaultValue;
}

bool IniFile::sectionExists(const QString &section) const
{
    return findSection(section) >= 0;
}

bool IniFile::valueExists(const QString &section, const QString &key) const
{
    const qsizetype header = findSection(section);
    return header >= 0 && findKey(header, key) >= 0;
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (const Line &line : m_lines)
        if (line.kind == LineKind::Section && !names.contains(line.name, Qt::CaseInsensitive))
            names.append(line.name);
    return names;
}

QStringList IniFile::keys(const QString &section) const
{
    QStringList names;
    const qsizetype header = findSection(section);
    if (header < 0)
        return names;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const Line &line = m_lines[static_cast<std::size_t>(i)];
        if (line.kind == LineKind::Value && !names.contains(line.name, Qt::CaseInsensitive))
            names.append(line.name);
    }
    return names;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString clean = singleLine(value).trimmed();
    qsizetype header = findSection(section);
    if (header < 0) {
        m_lines.push_back(parseLine(u'[' + section + u']'));
        m_lines.push_back(parseLine(key + u'=' + clean));
        changed();
        return;
    }
    if (const qsizetype at = findKey(header, key); at >= 0) {
        Line &line = m_lines[static_cast<std::size_t>(at)];
        if (line.value == clean)
            return;
        line = parseLine(line.name + u'=' + clean);
        changed();
        return;
    }
    // A new key goes after the section's last entry, before trailing blank lines and comments.
    qsizetype insertAt = header + 1;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const LineKind kind = m_lines[static_cast<std::size_t>(i)].kind;
        if (kind == LineKind::Value || kind == LineKind::Other)
            insertAt = i + 1;
    }
    m_lines.insert(m_lines.begin() + insertAt, parseLine(key + u'=' + clean));
    changed();
}

void IniFile::writeInteger(const QString &section, const QString &key, qint64 value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::deleteKey(const QString &section, const QString &key)
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return;
    const qsizetype at = findKey(header, key);
    if (at < 0)
        return;
    m_lines.erase(m_lines.begin() + at);
    changed();
}

void IniFile::eraseSection(const QString &section)
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return;
    m_lines.erase(m_lines.begin() + header, m_lines.begin() + sectionEnd(header));
    changed();
}

void IniFile::changed()
{
    m_modified = true;
    if (m_autoFlush && !m_fileName.isEmpty())
        flush();
}

void IniFile::flush()
{
    if (!m_modified || m_fileName.isEmpty())
        return;
    saveFileAtomically(m_fileName, toBytes());
    m_modified = false;
}

QByteArray IniFile::toBytes() const
{
    const QString eol = m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const Line &line : m_lines) {
        text += line.text;
        text += eol;
    }
    const QByteArray utf8 = text.toUtf8();
    if (m_encoding == Encoding::Cp1251) {
        std::string ansi;
        // Text that no longer fits Windows-1251 is written as UTF-8 rather than lost. So is the rare text
        // whose Windows-1251 bytes happen to form valid UTF-8: it would be misread as UTF-8 next time.
        if (cp1251::appendFromUtf8(ansi, std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())))
            && (!cp1251::isValidUtf8(ansi) || ansi.size() == static_cast<std::size_t>(utf8.size())))
            return QByteArray(ansi.data(), static_cast<qsizetype>(ansi.size()));
    }
    return m_bom ? QByteArray(kBom) + utf8 : utf8;
}

} // namespace kalvor
