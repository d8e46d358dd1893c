#include "dbupload/DeclarationUpload.h"

#include "app/TAppSettings.h"
#include "dbupload/Database.h"
#include "dbupload/WorkspaceDatabase.h"
#include "store/DataPacketReader.h"
#include "store/KalvorError.h"
#include "store/TKalvor.h"
#include "store/Table.h"

#include <QFileInfo>

namespace kalvor::dbupload {
namespace {

void checkCancelled(const Progress &progress)
{
    if (progress.isCancelled())
        throw KalvorError(QStringLiteral("Выгрузка в базу прервана."));
}

// Replaces the rows of their keys in one transaction; a cancel before the commit leaves the database
// as it was.
void replaceAll(const DeclarationUploadPlan &plan, const QList<const DbRowBuffer *> &buffers, const Progress &progress)
{
    std::unique_ptr<Database> db = openWorkspaceDatabase(plan.curDir, plan.shareDir);
    DbTransaction transaction(*db);
    for (const DbRowBuffer *rows : buffers)
        replaceRows(*db, *rows);
    checkCancelled(progress);
    transaction.commit();
}

RequisitesEntry entryOf(const TKalvor &kalvor)
{
    const auto date = [](const QDate &d) { return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString(); };
    RequisitesEntry entry;
    entry.organizationName = kalvor.FName;
    entry.dkey = kalvor.FINN;
    entry.lowAddress = kalvor.FLowAddress;
    entry.postAddress = kalvor.FPostAddress;
    entry.departmentCount = QString::number(kalvor.FDepartmentCount);
    entry.licenseSerial = kalvor.FLicenseSerial;
    entry.licenseNumber = kalvor.FLicenseNumber;
    entry.licenseDate = date(kalvor.FLicenseDate);
    entry.licenseDeadline = date(kalvor.FLicenseDeadline);
    entry.nameLeader = kalvor.FNameLeader;
    entry.nameCounter = kalvor.FNameCounter;
    return entry;
}

} // namespace

DeclarationUploadPlan planDeclarationUpload(const TAppSettings &settings, const QString &shareDir)
{
    if (settings.FPeriodString.isEmpty() || settings.FDeclarationFileName.isEmpty())
        throw KalvorError(QStringLiteral("Не выбран отчетный период"));
    for (const QString &file : {settings.FDeclarationFileName, settings.FKalvorFileName})
        if (!QFileInfo::exists(file))
            throw KalvorError(QStringLiteral("Не найден файл %1").arg(file));
    return {settings.FcurDir, shareDir, settings.FDeclarationFileName, settings.FKalvorFileName,
            {settings.FPeriodYear, settings.FPeriodMonth}};
}

UploadSummary uploadDeclaration(const DeclarationUploadPlan &plan, const Progress &progress)
{
    UploadSummary summary;
    progress.start(3);
    TableData declaration;
    readDataPacketFile(plan.declarationFileName, declaration);
    const DeclarationRows rows = declarationRows(declaration, plan.declarationFileName, plan.period, false);
    declaration = TableData();
    TableData requisites;
    readDataPacketFile(plan.kalvorFileName, requisites);
    const DbRowBuffer kalvor = kalvorRows(requisites, plan.kalvorFileName, plan.period);
    progress.step(1);
    checkCancelled(progress);

    replaceAll(plan, {&rows.rows, &kalvor}, progress);
    progress.step(3);
    summary.declarationRows = static_cast<qint64>(rows.rows.rowCount());
    summary.kalvorRows = static_cast<qint64>(kalvor.rowCount());
    summary.keys = reportKeys(rows.rows);
    return summary;
}

UploadSummary uploadKalvorLog(const DeclarationUploadPlan &plan, const Progress &progress)
{
    progress.start(2);
    Table table(plan.kalvorFileName);
    table.open();
    if (table.isEmpty())
        throw KalvorError(QStringLiteral("В файле %1 нет сведений о калворе").arg(plan.kalvorFileName));
    const int keyField = table.requireField(u"dkey");
    // The keys as the database gets them; the file keeps them in full, as the upload saw them.
    for (table.first(); !table.eof(); table.next()) {
        const std::string key = uploadKey(table.currentRow().utf8(keyField), plan.period, true);
        table.edit();
        table.setStoredText(keyField, key);
        table.post();
    }
    table.last();
    const TKalvor kalvor = TKalvor::Create(&table);
    const std::string key(table.currentRow().utf8(keyField));
    table.append();
    writeRequisitesEntry(table, entryOf(kalvor));
    table.setStoredText(keyField, key);
    table.post();

    const DbRowBuffer rows = kalvorRows(table.data(), plan.kalvorFileName, plan.period);
    progress.step(1);
    checkCancelled(progress);
    replaceAll(plan, {&rows}, progress);
    table.saveToFile();
    progress.step(2);

    UploadSummary summary;
    summary.kalvorRows = static_cast<qint64>(rows.rowCount());
    summary.keys = reportKeys(rows);
    return summary;
}

} // namespace kalvor::dbupload
