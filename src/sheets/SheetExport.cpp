#include "sheets/SheetExport.h"

#include "app/IniFile.h"
#include "app/PeriodNames.h"
#include "app/TAppSettings.h"
#include "period/ErrorLog.h"
#include "sheets/XlsxWorkbook.h"
#include "store/FileCopy.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kalvor::sheets {

namespace {

// The declaration or requisites copy, open in key order.
void openCopy(Table &table, const QString &fileName, bool ordered)
{
    table.setFileName(fileName);
    table.open();
    if (ordered)
        table.setIndexFieldNames(QStringLiteral("dkey"));
}

TKalvor requisitesOf(const QString &fileName)
{
    Table table;
    openCopy(table, fileName, false);
    table.first();
    return TKalvor::Create(&table);
}

std::map<int, QString> kindNames(const QString &fileName)
{
    std::map<int, QString> names;
    if (fileName.isEmpty() || !QFileInfo::exists(fileName))
        return names;
    Table table;
    openCopy(table, fileName, false);
    const int code = table.fieldIndex(u"code");
    const int name = table.fieldIndex(u"name");
    if (code < 0 || name < 0)
        throw KalvorError(QStringLiteral("В справочнике видов продукции %1 нет полей code и name")
                              .arg(QDir::toNativeSeparators(fileName)));
    for (table.first(); !table.eof(); table.next())
        names.try_emplace(static_cast<int>(table.asInteger(code)), table.asString(name));
    return names;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

QString periodDateText(int year, int month)
{
    return monthNames().value(month - 1) + u' ' + QString::number(year);
}

SheetExportPlan planSheetExport(const TAppSettings &settings, const QString &templateName, const QString &periodDate)
{
    if (settings.FPeriodString.isEmpty() || settings.FDeclarationFileName.isEmpty())
        throw KalvorError(QStringLiteral("Не выбран отчетный период"));
    SheetExportPlan plan;
    plan.curDir = settings.FcurDir;
    plan.periodString = settings.FPeriodString;
    plan.year = 2000 + settings.FPeriodYear;
    plan.month = settings.FPeriodMonth;
    plan.periodDate = periodDate.isEmpty() ? periodDateText(plan.year, plan.month) : periodDate;
    plan.kindsFile = settings.FProductionFileName;
    const QDir root(settings.FcurDir);
    plan.templateFile = root.filePath(QStringLiteral("templates/") + templateName);
    if (!QFileInfo::exists(plan.templateFile))
        throw KalvorError(QStringLiteral("Не найден шаблон %1").arg(nativePath(plan.templateFile)));
    if (!root.mkpath(QStringLiteral("temp")))
        throw KalvorError(
            QStringLiteral("Не удалось создать папку %1").arg(nativePath(root.filePath(QStringLiteral("temp")))));
    const auto copy = [&root](const QString &source) {
        const QString target = root.filePath(QStringLiteral("temp/") + QFileInfo(source).fileName());
        QFile::remove(target);
        if (!CopyFileReplacing(source, target))
            throw KalvorError(
                QStringLiteral("Не удалось скопировать %1 в %2").arg(nativePath(source), nativePath(target)));
        return target;
    };
    plan.declarationCopy = copy(settings.FDeclarationFileName);
    plan.requisitesCopy = copy(settings.FKalvorFileName);
    return plan;
}

DeclarationSheet exportDeclaration(const SheetExportPlan &plan, const XlsxWorkbook &workbook,
                                   const std::function<void(const QString &)> &missingInvoice, const Progress &progress)
{
    return exportDeclaration(plan, workbook.sheet(), QStringLiteral("Excel"), missingInvoice, progress);
}

DeclarationSheet exportDeclaration(const SheetExportPlan &plan, SheetLayout templateSheet, const QString &program,
                                   const std::function<void(const QString &)> &missingInvoice, const Progress &progress)
{
    Table declaration;
    openCopy(declaration, plan.declarationCopy, true);
    DeclarationSources sources;
    sources.declaration = &declaration;
    sources.requisites = requisitesOf(plan.requisitesCopy);
    sources.kindNames = kindNames(plan.kindsFile);
    sources.periodDate = plan.periodDate;
    sources.program = program;

    period::ErrorLogFile log;
    period::ErrorLogFileOpen(log, plan.curDir);
    DeclarationSheet sheet = layOutDeclaration(
        std::move(templateSheet), sources,
        [&](const QString &line) {
            period::ErrorLogFileSaveTo(log, line);
            if (missingInvoice)
                missingInvoice(line);
        },
        progress);
    period::ErrorLogFileClose(log);
    return sheet;
}

ErrorReport exportErrorReport(const SheetExportPlan &plan, const XlsxWorkbook &workbook,
                              const ErrorReportOptions &options, const Progress &progress)
{
    Table declaration;
    openCopy(declaration, plan.declarationCopy, true);
    ErrorReportSources sources;
    sources.declaration = &declaration;
    sources.requisites = requisitesOf(plan.requisitesCopy);
    sources.periodDate = plan.periodDate;
    period::ErrorLogFile log;
    period::ErrorLogFileOpen(log, plan.curDir);
    period::ErrorLogFileClose(log);
    return layOutErrorReport(workbook.sheet(), sources, options, progress);
}

void storePeriodTotals(IniFile &ini, const QString &periodString, const TRemains &totals)
{
    ini.setAutoFlush(false); // one write for the nine keys
    const auto put = [&](const char *key, double value) {
        // As the program writes numbers for people: a decimal comma.
        ini.writeString(periodString, QString::fromLatin1(key), QString::number(value, 'g', 15).replace(u'.', u','));
    };
    put("return_volume", totals.ReturnVolume());
    put("volume", totals.Volume());
    put("sum_coming", totals.SumComing());
    put("rest_volume", totals.RestVolume());
    put("volume_charges", totals.VolumeCharges());
    put("sum_charges", totals.SumCharges());
    put("return_volume_charges", totals.ReturnVolumeCharges());
    put("writeoff_volume_charges", totals.WriteoffVolumeCharges());
    put("rest", totals.Rest());
    ini.setAutoFlush(true);
    if (!ini.fileName().isEmpty())
        ini.flush();
}

QString freeWorkbookName(const QString &folder, const QString &fileName)
{
    const QDir dir(folder);
    const QFileInfo info(fileName);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? fileName : QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix);
        // LibreOffice keeps ".~lock.NAME#" beside an open file, Excel "~$NAME" (or "~$" over the first two
        // characters of a long name).
        const bool open = dir.exists(QStringLiteral(".~lock.") + name + u'#') ||
                          dir.exists(QStringLiteral("~$") + name) || dir.exists(QStringLiteral("~$") + name.mid(2));
        if (!open)
            return dir.filePath(name);
    }
}

} // namespace kalvor::sheets
