#include "maintenance/DeclarationRewrite.h"

#include "app/TAppSettings.h"
#include "maintenance/Backup.h"
#include "maintenance/InvoiceLinks.h"
#include "store/ColumnCopy.h"
#include "store/DataPacketReader.h"
#include "store/DataPacketWriter.h"
#include "store/DeclarationKey.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace kalvor::maintenance {

namespace {

qint64 sizeOf(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        throw KalvorError(QStringLiteral("Не удалось открыть файл %1: файл не найден").arg(fileName));
    return info.size();
}

} // namespace

RewriteSummary rewriteThroughTemplate(const QString &curDir, const QString &declarationFileName,
                                      const RewriteOptions &options)
{
    RewriteSummary summary;
    summary.sizeBefore = sizeOf(declarationFileName);

    TableData templ;
    readDataPacketFile(QDir(curDir).filePath(QStringLiteral("templates/xml/declaration.xml")), templ);
    Table source(declarationFileName);
    source.open();
    source.setIndexFieldNames(QStringLiteral("dkey"));

    const TableData &from = source.data();
    const int keyField = source.requireField(u"dkey");
    // Every value goes through the template's column types before the declaration is touched.
    ColumnCopy copy(from, templ, declarationFileName);
    const int targetKeyField = copy.targetField(u"dkey");

    // The template may carry rows of its own: the rewrite keeps only the declaration's.
    TableData &fresh = copy.result();
    fresh.reserve(source.presentedRecords().size(), from.textBytes());
    std::vector<Cell> cells;
    for (const std::uint32_t record : source.presentedRecords()) {
        const std::string_view key = from.text(from.recordCells(record)[keyField]);
        if (options.keep && !options.keep(key)) {
            ++summary.rowsLeftOut;
            continue;
        }
        copy.copyRow(record, key, cells);
        if (options.newKey && targetKeyField >= 0)
            cells[static_cast<std::size_t>(targetKeyField)] = fresh.storeText(options.newKey(key));
        fresh.appendRecord(cells.data(), 0);
        ++summary.rowsWritten;
    }

    summary.backupFile = keepBackup(curDir, declarationFileName);
    saveDataPacketFile(fresh, declarationFileName);
    summary.sizeAfter = sizeOf(declarationFileName);
    return summary;
}

MaintenanceResult compactDeclaration(const TAppSettings &settings)
{
    const RewriteSummary s = rewriteThroughTemplate(settings.FcurDir, settings.FDeclarationFileName);
    const qint64 saved = s.sizeBefore - s.sizeAfter;
    return {QStringLiteral("Размер файла уменьшен на ") + QString::number(saved) + QStringLiteral(" байт."), saved,
            s.backupFile};
}

MaintenanceResult clearUnlinkedRows(const TAppSettings &settings)
{
    TableData data;
    readDataPacketFile(settings.FDeclarationFileName, data);
    int keyField = -1;
    for (int i = 0; i < data.fieldCount(); ++i)
        if (data.fields[i].name.compare(u"dkey", Qt::CaseInsensitive) == 0)
            keyField = i;
    if (keyField < 0)
        throw KalvorError(QStringLiteral("В таблице %1 нет поля dkey").arg(settings.FDeclarationFileName));
    const InvoiceLinks links(data, keyField);
    data = TableData(); // the rewrite reads the file again

    RewriteOptions options;
    options.keep = [&links](std::string_view key) { return links.isLinked(key); };
    const RewriteSummary s = rewriteThroughTemplate(settings.FcurDir, settings.FDeclarationFileName, options);
    return {QStringLiteral("Удалено несвязанных элементов (продукция и внутр. перемещения): ")
                + QString::number(s.rowsLeftOut) + u' ',
            s.rowsLeftOut, s.backupFile};
}

std::string repairedKey(std::string_view key)
{
    std::string result(key);
    if (result.size() < 32)
        return result;
    // Characters 26-32 (0-based 25..31) move one place left; the first of them goes to the end.
    std::rotate(result.begin() + 25, result.begin() + 26, result.begin() + 32);
    return result;
}

MaintenanceResult repairKeys(const TAppSettings &settings)
{
    RewriteOptions options;
    options.newKey = repairedKey;
    const RewriteSummary s = rewriteThroughTemplate(settings.FcurDir, settings.FDeclarationFileName, options);
    return {QStringLiteral("Dkey изменен!"), s.rowsWritten, s.backupFile};
}

} // namespace kalvor::maintenance
