#include "maintenance/ReportSplit.h"

#include "app/DisplayText.h"
#include "maintenance/TextFiles.h"
#include "store/DeclarationKey.h"
#include "store/DeclarationSchema.h"
#include "store/FileAccess.h"
#include "store/HandWrittenPacketWriter.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace kalvor::maintenance {

namespace {

constexpr int kResultColumns = 32;
constexpr int kFirstNumberColumn = 9;  // production_code
constexpr int kLastNumberColumn = 31;  // rest
constexpr int kInvoiceColumns[] = {0, 1, 2, 3, 4, 5, 6, 12};
constexpr int kLicenseDateColumn = 3;
constexpr int kWaybillDateColumn = 5;

QString cell(const TextRow &row, int column)
{
    return column < row.size() ? row.at(column) : QString();
}

bool hasKey(const TextRow &row)
{
    return !cell(row, 0).isEmpty();
}

bool isNumberColumn(int column)
{
    if (column < kFirstNumberColumn || column > kLastNumberColumn)
        return false;
    const FieldKind kind = splitResultFields().at(column).kind;
    return kind == FieldKind::Integer || kind == FieldKind::Fixed;
}

QString packetValue(const TextRow &row, int column)
{
    const QString value = cell(row, column);
    if (column == kLicenseDateColumn || column == kWaybillDateColumn)
        return shortDateToPacketDate(value);
    return isNumberColumn(column) ? decimalCommaToPoint(value) : value;
}

} // namespace

TextGrid declarationAsText(const QString &declarationFileName)
{
    Table table(declarationFileName);
    table.open();
    table.setIndexFieldNames(QStringLiteral("dkey"));
    TextGrid rows;
    rows.reserve(table.recordCount());
    for (int i = 0; i < table.recordCount(); ++i) {
        const RowView view = table.row(i);
        TextRow row;
        row.reserve(table.fieldCount());
        for (int f = 0; f < table.fieldCount(); ++f)
            row.append(displayText(view, f));
        rows.append(row);
    }
    return rows;
}

bool isInvoiceTextRow(const TextRow &row)
{
    return QStringView(cell(row, 0)).mid(dkey::kPositionOffset) == u"00000000";
}

QString invoiceNumberOf(const TextRow &row)
{
    const QString key = cell(row, 0);
    return key.size() < dkey::kInvoiceOffset + dkey::kInvoiceDigits ? QString()
                                                                     : key.mid(dkey::kInvoiceOffset, dkey::kInvoiceDigits);
}

SplitResult splitByInvoices(const TextGrid &source, const std::function<void(qsizetype, qsizetype)> &progress)
{
    SplitResult result;
    for (const TextRow &row : source)
        if (isInvoiceTextRow(row))
            result.invoices.append(row);
    const qsizetype half = result.invoices.size() / 2;
    result.firstHalf = result.invoices.mid(0, half);
    result.secondHalf = result.invoices.mid(half);

    QSet<QString> first;
    QSet<QString> second;
    for (const TextRow &row : std::as_const(result.firstHalf))
        first.insert(invoiceNumberOf(row));
    for (const TextRow &row : std::as_const(result.secondHalf))
        second.insert(invoiceNumberOf(row));

    const qsizetype total = source.size();
    for (qsizetype i = 0; i < total; ++i) {
        const TextRow &row = source.at(i);
        if (!isInvoiceTextRow(row)) {
            const QString invoice = invoiceNumberOf(row);
            if (!invoice.isEmpty()) {
                // Once per half, even if an invoice number were given twice.
                if (first.contains(invoice))
                    result.firstRows.append(row);
                if (second.contains(invoice))
                    result.secondRows.append(row);
            }
        }
        if (progress)
            progress(i + 1, total);
    }
    return result;
}

const QList<FieldDef> &splitResultFields()
{
    // The declaration's columns without the version.
    static const QList<FieldDef> fields = declarationFields().mid(0, kResultColumns);
    return fields;
}

void preparePacketCells(TextGrid &rows)
{
    for (TextRow &row : rows) {
        if (!hasKey(row))
            continue;
        for (int c = kFirstNumberColumn; c <= kLastNumberColumn && c < row.size(); ++c)
            if (isNumberColumn(c))
                row[c] = decimalCommaToPoint(row.at(c));
    }
}

void writeSplitHalf(const QString &fileName, const TextGrid &invoices, const TextGrid &rows)
{
    const QList<FieldDef> &fields = splitResultFields();
    HandWrittenPacketWriter writer(fileName, fields);
    for (const TextRow &row : invoices) {
        if (!hasKey(row))
            continue;
        QList<QPair<QString, QString>> cells;
        for (const int c : kInvoiceColumns)
            cells.append({fields.at(c).name, packetValue(row, c)});
        writer.writeRow(cells);
    }
    for (const TextRow &row : rows) {
        if (!hasKey(row))
            continue;
        QList<QPair<QString, QString>> cells{{fields.at(0).name, cell(row, 0)}};
        for (int c = 7; c < kResultColumns; ++c)
            cells.append({fields.at(c).name, packetValue(row, c)});
        writer.writeRow(cells);
    }
    writer.commit();
}

QString splitResultFile(const QString &curDir, const QString &stem, int part)
{
    const QString folder = QDir(curDir).filePath(QStringLiteral("divide"));
    if (!QDir().mkpath(folder))
        throw KalvorError(QStringLiteral("Не удалось создать папку %1").arg(folder));
    return QDir(folder).filePath(stem + QStringLiteral("(%1).xml").arg(part));
}

QString exchangeFile(const QString &curDir)
{
    return QDir(curDir).filePath(QStringLiteral("divide/data.txt"));
}

void saveExchangeFile(const QString &fileName, const TextGrid &rows)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QByteArray bytes;
    for (const TextRow &row : rows) {
        bytes += row.join(u'|').toUtf8();
        bytes += '\n';
    }
    saveFileAtomically(fileName, bytes);
}

std::optional<TextGrid> loadExchangeFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    TextGrid rows;
    qsizetype width = 0;
    for (const QString &line : textLines(decodeText(file.readAll()))) {
        rows.append(line.split(u'|'));
        width = std::max(width, rows.last().size());
    }
    for (TextRow &row : rows)
        while (row.size() < width)
            row.append(QString());
    return rows;
}

} // namespace kalvor::maintenance
