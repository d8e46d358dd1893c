#include "store/HandWrittenPacketWriter.h"

#include "store/ColumnCopy.h"
#include "store/Cp1251.h"
#include "store/FileAccess.h"
#include "store/KalvorError.h"
#include "store/PacketText.h"
#include "store/ValueText.h"

namespace kalvor {

HandWrittenPacketWriter::HandWrittenPacketWriter(const QString &fileName, const QList<FieldDef> &fields)
    : m_fileName(fileName), m_fields(fields)
{
}

void HandWrittenPacketWriter::writeRow(const QList<QPair<QString, QString>> &cells)
{
    PacketText t(false);
    t.raw("<ROW RowState=\"4\"");
    for (const auto &[column, value] : cells) {
        const QByteArray name = column.toUtf8();
        const QByteArray text = value.toUtf8();
        requireValueOf(column, std::string_view(text.constData(), static_cast<std::size_t>(text.size())), cells);
        t.attribute(name, text);
    }
    t.raw("/>");
    t.raw(kPacketEol);
    m_body += t.out;
}

void HandWrittenPacketWriter::requireValueOf(const QString &column, std::string_view text,
                                             const QList<QPair<QString, QString>> &cells) const
{
    // A value the column's type does not hold would make a file that never loads again.
    if (text.empty())
        return;
    for (const FieldDef &field : m_fields) {
        if (field.name.compare(column, Qt::CaseInsensitive) != 0)
            continue;
        if (!valuetext::isWellFormed(field, text)) {
            const QByteArray key = cells.isEmpty() ? QByteArray() : cells.first().second.toUtf8();
            throw unconvertibleValue(
                m_fileName, std::string_view(key.constData(), static_cast<std::size_t>(key.size())), field, text);
        }
        return;
    }
}

void HandWrittenPacketWriter::commit()
{
    TableData head;
    head.resetFields(m_fields);
    std::string utf8;
    {
        PacketText t(false);
        writePacketHeader(t, head, false, {});
        utf8 = std::move(t.out);
    }
    // The head written in the UTF-8 form starts with its prolog; the body follows the ROWDATA line.
    const std::string_view wideProlog = packetProlog(false);
    std::string rest = utf8.substr(wideProlog.size());
    rest += "<ROWDATA>";
    rest += kPacketEol;
    rest += m_body;
    rest += "</ROWDATA>";
    rest += kPacketEol;
    rest += "</DATAPACKET>";
    rest += kPacketEol;

    std::string bytes(packetProlog(true));
    if (!cp1251::appendFromUtf8(bytes, rest)) {
        bytes.assign(wideProlog);
        bytes += rest;
    }
    AtomicFile file(m_fileName);
    file.write(std::string_view(bytes));
    file.commit();
}

QString decimalCommaToPoint(const QString &cell)
{
    QString result = cell;
    result.replace(u',', u'.');
    return result;
}

QString shortDateToPacketDate(const QString &cell)
{
    const QString trimmed = cell.trimmed();
    if (trimmed.isEmpty())
        return QString();
    QDate date = QDate::fromString(trimmed, QStringLiteral("dd.MM.yyyy"));
    if (!date.isValid())
        date = QDate::fromString(trimmed, QStringLiteral("d.M.yyyy"));
    if (!date.isValid())
        throw KalvorError(QStringLiteral("«%1» не является правильной датой").arg(trimmed));
    return QString::fromStdString(valuetext::formatDate(date));
}

} // namespace kalvor
