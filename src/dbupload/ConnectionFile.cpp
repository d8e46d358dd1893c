#include "dbupload/ConnectionFile.h"

#include "store/KalvorError.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <libpq-fe.h>

#include <memory>

namespace kalvor::dbupload {
namespace {

[[noreturn]] void refuse(const QString &displayName, const QString &what)
{
    throw KalvorError(QStringLiteral("Файл подключения к базе данных %1: %2").arg(displayName, what));
}

QString decode(QByteArrayView bytes, const QString &displayName)
{
    if (bytes.startsWith("\xFF\xFE")) {
        const QByteArrayView body = bytes.sliced(2);
        if (body.size() % 2 != 0)
            refuse(displayName, QStringLiteral("текст в UTF-16 оборван"));
        QStringDecoder decoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless);
        QString text = decoder.decode(body);
        if (decoder.hasError())
            refuse(displayName, QStringLiteral("текст не в кодировке UTF-16"));
        return text;
    }
    if (bytes.startsWith("\xFE\xFF"))
        refuse(displayName, QStringLiteral("кодировка UTF-16BE не поддерживается, сохраните файл в UTF-8 или UTF-16LE"));
    QByteArrayView body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(body);
    if (decoder.hasError())
        refuse(displayName, QStringLiteral("текст не в кодировке UTF-8 или UTF-16LE"));
    return text;
}

// The first line that is neither blank, nor a section head, nor a comment.
QString connectionLine(const QString &text)
{
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (!line.isEmpty() && !line.startsWith(u'[') && !line.startsWith(u';'))
            return line.toString();
    }
    return {};
}

struct Pair {
    QString key;
    QString value;
};

// "key=value;key="value; with ""quotes""";..."
QList<Pair> splitPairs(const QString &line, const QString &displayName)
{
    QList<Pair> pairs;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        const qsizetype eq = line.indexOf(u'=', i);
        const qsizetype semicolon = line.indexOf(u';', i);
        if (eq < 0 || (semicolon >= 0 && semicolon < eq)) {
            // A piece without "=": only blanks may stand there.
            const qsizetype end = semicolon < 0 ? n : semicolon;
            // Not quoted in the message: a stray piece may be a password.
            if (!QStringView(line).sliced(i, end - i).trimmed().isEmpty())
                refuse(displayName, QStringLiteral("в строке подключения есть часть без знака \"=\""));
            i = end + 1;
            continue;
        }
        Pair pair;
        pair.key = QStringView(line).sliced(i, eq - i).trimmed().toString();
        i = eq + 1;
        while (i < n && line[i].isSpace())
            ++i;
        if (i < n && (line[i] == u'"' || line[i] == u'\'')) {
            const QChar quote = line[i++];
            bool closed = false;
            while (i < n) {
                if (line[i] == quote) {
                    if (i + 1 < n && line[i + 1] == quote) {
                        pair.value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                pair.value += line[i++];
            }
            if (!closed)
                refuse(displayName, QStringLiteral("в строке подключения не закрыта кавычка у ключа «%1»").arg(pair.key));
            while (i < n && line[i] != u';') {
                if (!line[i].isSpace())
                    refuse(displayName, QStringLiteral("лишний текст после кавычки у ключа «%1»").arg(pair.key));
                ++i;
            }
        } else {
            const qsizetype end = semicolon < 0 ? n : semicolon;
            pair.value = QStringView(line).sliced(i, end - i).trimmed().toString();
            i = end;
        }
        ++i; // past ";"
        if (pair.key.isEmpty())
            refuse(displayName, QStringLiteral("в строке подключения пустое имя ключа"));
        pairs.append(pair);
    }
    return pairs;
}

QString valueOf(const QList<Pair> &pairs, QStringView key, bool *found = nullptr)
{
    for (const Pair &pair : pairs) {
        if (QStringView(pair.key).compare(key, Qt::CaseInsensitive) == 0) {
            if (found)
                *found = true;
            return pair.value;
        }
    }
    if (found)
        *found = false;
    return {};
}

} // namespace

ConnectionSettings parseConnectionFile(QByteArrayView bytes, const QString &displayName, const QString &curDir)
{
    const QString text = decode(bytes, displayName);
    if (text.contains(QChar(0)))
        refuse(displayName, QStringLiteral("в тексте есть нулевые символы"));
    const QString line = connectionLine(text);
    if (line.isEmpty())
        refuse(displayName, QStringLiteral("нет строки подключения"));
    const QList<Pair> pairs = splitPairs(line, displayName);

    bool hasProvider = false;
    const QString provider = valueOf(pairs, u"Provider", &hasProvider);
    if (!hasProvider || provider.isEmpty())
        refuse(displayName, QStringLiteral("не указан поставщик (Provider=PostgreSQL или Provider=SQLite)"));

    ConnectionSettings settings;
    if (provider.compare(u"PostgreSQL", Qt::CaseInsensitive) == 0) {
        settings.provider = Provider::PostgreSQL;
        // Without it libpq takes the PG* environment and its defaults, as psql does.
        settings.conninfo = valueOf(pairs, u"Extended Properties");
    } else if (provider.compare(u"SQLite", Qt::CaseInsensitive) == 0) {
        settings.provider = Provider::SQLite;
        const QString source = valueOf(pairs, u"Data Source");
        if (source.isEmpty())
            refuse(displayName, QStringLiteral("не указан файл базы SQLite (Data Source=...)"));
        settings.sqliteFile = QDir::cleanPath(QDir(curDir).absoluteFilePath(source));
    } else {
        refuse(displayName, QStringLiteral("неизвестный поставщик «%1» (возможны PostgreSQL и SQLite)").arg(provider));
    }
    return settings;
}

ConnectionSettings readConnectionFile(const QString &curDir)
{
    const QString fileName = QDir(curDir).filePath(QString::fromLatin1(kConnectionFileName));
    QFile file(fileName);
    if (!file.exists())
        refuse(fileName, QStringLiteral("файл не найден"));
    if (!file.open(QIODevice::ReadOnly))
        refuse(fileName, QStringLiteral("не удалось прочитать файл (%1)").arg(file.errorString()));
    // A data-link file is a few lines; anything large is not one.
    const QByteArray bytes = file.read(1 << 20);
    if (!file.atEnd())
        refuse(fileName, QStringLiteral("файл слишком велик"));
    return parseConnectionFile(bytes, fileName, curDir);
}

QString describeConninfo(const QString &conninfo)
{
    char *error = nullptr;
    const QByteArray utf8 = conninfo.toUtf8();
    std::unique_ptr<PQconninfoOption, decltype(&PQconninfoFree)> options(PQconninfoParse(utf8.constData(), &error),
                                                                         &PQconninfoFree);
    if (error)
        PQfreemem(error);
    if (!options)
        return QStringLiteral("строка подключения не разобрана");
    QStringList parts;
    for (const char *keyword : {"service", "host", "hostaddr", "port", "dbname", "user", "sslmode"}) {
        for (const PQconninfoOption *o = options.get(); o->keyword; ++o)
            if (o->val && *o->val && qstrcmp(o->keyword, keyword) == 0)
                parts.append(QString::fromUtf8(o->keyword) + u'=' + QString::fromUtf8(o->val));
    }
    return parts.isEmpty() ? QStringLiteral("параметры из окружения (PGHOST, PGDATABASE, ...)") : parts.join(u' ');
}

QString ConnectionSettings::description() const
{
    if (provider == Provider::SQLite)
        return QStringLiteral("SQLite: ") + sqliteFile;
    return QStringLiteral("PostgreSQL: ") + describeConninfo(conninfo);
}

} // namespace kalvor::dbupload
