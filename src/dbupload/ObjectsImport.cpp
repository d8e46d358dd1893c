#include "dbupload/ObjectsImport.h"

#include "dbupload/Database.h"
#include "dbupload/DbTables.h"
#include "dbupload/Procedures.h"
#include "dbupload/WorkspaceDatabase.h"
#include "maintenance/TextFiles.h"
#include "store/KalvorError.h"
#include "store/TKalvor.h"

#include <QDate>
#include <QFile>

#include <array>

namespace kalvor::dbupload {
namespace {

[[noreturn]] void refuse(const QString &file, qsizetype line, const QString &what)
{
    throw KalvorError(QStringLiteral("Файл %1, строка %2: %3").arg(file).arg(line).arg(what));
}

// Splits one line; false when a quote is not closed.
bool splitFields(const QString &line, QChar separator, QStringList &fields)
{
    fields.clear();
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"' && field.trimmed().isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
            field.clear();
        } else if (c == separator) {
            fields.append(wasQuoted ? field : field.trimmed());
            field.clear();
            wasQuoted = false;
        } else if (!wasQuoted || !c.isSpace()) {
            field += c;
        }
    }
    if (quoted)
        return false;
    fields.append(wasQuoted ? field : field.trimmed());
    return true;
}

std::optional<QDate> parseDate(const QString &text)
{
    for (const QString &format : {QStringLiteral("dd.MM.yyyy"), QStringLiteral("yyyy-MM-dd")}) {
        const QDate date = QDate::fromString(text, format);
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

} // namespace

DbRowBuffer parseObjectsCsv(QByteArrayView bytes, const QString &displayName)
{
    const QList<DbColumn> &columns = objectColumns();
    const QStringList lines = maintenance::textLines(maintenance::decodeText(bytes.toByteArray()));
    qsizetype headerLine = 0;
    while (headerLine < lines.size() && lines[headerLine].trimmed().isEmpty())
        ++headerLine;
    if (headerLine == lines.size())
        throw KalvorError(QStringLiteral("Файл %1: нет строки заголовка со столбцами INN, Kod_object, Date_object, "
                                         "Kod_raion, Status, Date_priost, Date_save")
                              .arg(displayName));
    const QString &header = lines[headerLine];
    const QChar separator = header.contains(u';') ? u';' : header.contains(u',') ? u',' : u'\t';

    // Where each of the seven columns stands in the file.
    QStringList names;
    if (!splitFields(header, separator, names))
        refuse(displayName, headerLine + 1, QStringLiteral("не закрыта кавычка"));
    std::array<int, 7> position;
    position.fill(-1);
    for (int i = 0; i < names.size(); ++i) {
        int found = -1;
        for (int c = 0; c < columns.size(); ++c)
            if (names[i].compare(columns[c].name, Qt::CaseInsensitive) == 0)
                found = c;
        if (found < 0)
            refuse(displayName, headerLine + 1, QStringLiteral("неизвестный столбец «%1»").arg(names[i]));
        if (position[static_cast<std::size_t>(found)] >= 0)
            refuse(displayName, headerLine + 1, QStringLiteral("столбец %1 указан дважды").arg(columns[found].name));
        position[static_cast<std::size_t>(found)] = i;
    }
    for (int c = 0; c < columns.size(); ++c)
        if (position[static_cast<std::size_t>(c)] < 0)
            refuse(displayName, headerLine + 1, QStringLiteral("нет столбца %1").arg(columns[c].name));

    DbRowBuffer rows(QString::fromLatin1(kObjectsTable), columns);
    QStringList fields;
    for (qsizetype n = headerLine + 1; n < lines.size(); ++n) {
        if (lines[n].trimmed().isEmpty())
            continue;
        const qsizetype lineNumber = n + 1;
        if (!splitFields(lines[n], separator, fields))
            refuse(displayName, lineNumber, QStringLiteral("не закрыта кавычка"));
        if (fields.size() != names.size())
            refuse(displayName, lineNumber,
                   QStringLiteral("полей %1, а в заголовке %2").arg(fields.size()).arg(names.size()));
        for (int c = 0; c < columns.size(); ++c) {
            const DbColumn &column = columns[c];
            const QString &value = fields[position[static_cast<std::size_t>(c)]];
            const auto message = [&](const QString &what) {
                return QStringLiteral("%1 «%2»: %3").arg(column.name, value, what);
            };
            if (c == 0 && !isInn(value))
                refuse(displayName, lineNumber, message(QStringLiteral("ИНН должен состоять из 10 или 12 цифр")));
            if (c == 1 && value.isEmpty())
                refuse(displayName, lineNumber, message(QStringLiteral("код объекта не указан")));
            if (column.type == DbType::Date) {
                if (value.isEmpty()) {
                    rows.addNull();
                    continue;
                }
                const std::optional<QDate> date = parseDate(value);
                if (!date)
                    refuse(displayName, lineNumber, message(QStringLiteral("дата должна быть в виде дд.мм.гггг или гггг-мм-дд")));
                rows.add(date->toString(Qt::ISODate).toStdString());
            } else if (column.type == DbType::Integer) {
                bool ok = true;
                const int status = value.isEmpty() ? 0 : value.toInt(&ok);
                if (!ok)
                    refuse(displayName, lineNumber, message(QStringLiteral("нужно целое число")));
                rows.add(std::to_string(status));
            } else if (value.isEmpty()) {
                rows.addNull();
            } else {
                rows.add(value.toStdString());
            }
        }
    }
    return rows;
}

qint64 importObjects(const QString &curDir, const QString &shareDir, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw KalvorError(QStringLiteral("Не удалось прочитать файл %1: %2").arg(fileName, file.errorString()));
    const DbRowBuffer rows = parseObjectsCsv(file.readAll(), fileName);
    std::unique_ptr<Database> db = openWorkspaceDatabase(curDir, shareDir);
    DbTransaction transaction(*db);
    db->execute(procedures::DELETE_ALCOHOL_OBJECTS);
    db->copyRows(rows.table(), rows);
    transaction.commit();
    return static_cast<qint64>(rows.rowCount());
}

} // namespace kalvor::dbupload
