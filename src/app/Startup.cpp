#include "app/Startup.h"

#include "app/RequisitesLine.h"
#include "app/Workspace.h"
#include "store/DeclarationKey.h"
#include "store/FileCopy.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

namespace kalvor {
namespace {

// The five shared reference books, by configuration key.
struct Book {
    const QString &key;
    QString TAppSettings::*field;
    const char16_t *file;
};

const Book kBooks[] = {
    {config::kDepartment, &TAppSettings::FDepartmentCodeFileName, u"reports/department.xml"},
    {config::kRegions, &TAppSettings::FRegionsFileName, u"reports/regions.xml"},
    {config::kProduction, &TAppSettings::FProductionFileName, u"reports/production.xml"},
    {config::kSupplier, &TAppSettings::FSupplierFileName, u"reports/supplier.xml"},
    {config::kProdReference, &TAppSettings::FProductionReferenceFileName, u"reports/prodReference.xml"},
};

QString bookPath(const TAppSettings &settings, const Book &book)
{
    return settings.FcurDir + QString::fromUtf16(book.file);
}

// Closes the scratch requisites table and removes its file, whatever happened before.
void discardScratch(Table &table, const QString &fileName) noexcept
{
    try {
        table.close();
    } catch (...) {
        // The scratch file is removed anyway.
    }
    QFile::remove(fileName);
}

StartupResult finish(TAppSettings &settings, bool firstStart)
{
    StartupResult result;
    result.firstStart = firstStart;
    result.periodMonth = settings.FPeriodMonth;
    result.periodYear = settings.FPeriodYear;
    result.requisitesLine = requisitesLine(settings.Fkalvor);
    result.converted = isPeriodConverted(settings.FIniFile, settings.FPeriodString);
    return result;
}

// Steps after the requisites were confirmed: the requisites file and a fresh declaration table.
void savePeriodFiles(TAppSettings &settings, Table &requisites, const QString &folder)
{
    if (requisites.state() == Table::State::Edit || requisites.state() == Table::State::Insert)
        requisites.post();
    if (requisites.recNo() == 0 || !requisitesAccepted(requisitesEntryOf(requisites.currentRow())))
        throw KalvorError(requisitesRefusedMessage());

    IniFile &ini = settings.FIniFile;
    settings.Setkalvor(TKalvor::Create(&requisites));
    settings.SetINNYYMMCC(dkey::stemFor(requisites.asString(u"dkey"), settings.FPeriodString));
    settings.SetKalvorFileName(folder + u'/' + settings.FINNYYMMCC + QStringLiteral("d.xml"));
    ini.writeString(config::kLastPeriod, config::kStem, settings.FINNYYMMCC);
    requisites.saveToFile(settings.FKalvorFileName);
    ini.writeString(config::kLastPeriod, config::kKalvor, settings.FKalvorFileName);

    settings.SetDeclarationFileName(folder + u'/' + settings.FINNYYMMCC + QStringLiteral(".xml"));
    // A month set up before a lost tamrel.ini keeps its declaration: the start opens it. A failed copy
    // shows up when the declaration is opened.
    if (!QFileInfo::exists(settings.FDeclarationFileName))
        CopyFileReplacing(settings.FcurDir + QStringLiteral("templates/xml/declaration.xml"),
                          settings.FDeclarationFileName);
    ini.writeString(config::kLastPeriod, config::kDeclaration, settings.FDeclarationFileName);
}

} // namespace

void openConfiguration(TAppSettings &settings, const QString &curDir)
{
    settings.SetcurDir(curDir.endsWith(u'/') ? curDir : curDir + u'/');
    settings.SetIniFile(IniFile(settings.FcurDir + QStringLiteral("tamrel.ini")));
}

bool isFirstStart(const TAppSettings &settings)
{
    // A first start broken off (a kill in the requisites dialog) may have left some of the keys.
    for (const QString &key : {config::kPeriod, config::kKalvor, config::kDeclaration})
        if (settings.FIniFile.readString(config::kLastPeriod, key).trimmed().isEmpty())
            return true;
    return false;
}

std::optional<StartupResult> runFirstStart(TAppSettings &settings, const PeriodChoice &period,
                                           const RequisitesEditor &editor)
{
    if (!period.complete())
        throw KalvorError(QStringLiteral("Не выбран месяц или год декларации"));

    // The configuration changes in memory only: a run broken off anywhere leaves it a first start.
    IniFile &ini = settings.FIniFile;
    const QString iniFileName = ini.fileName();
    ini.setAutoFlush(false);
    settings.SetPeriodMonth(period.month);
    settings.SetPeriodYear(period.year);
    settings.SetPeriodString(periodString(period.year, period.month));
    ini.writeString(config::kLastPeriod, config::kPeriod, settings.FPeriodString);

    const QString scratch = settings.FcurDir + QStringLiteral("temp/kalvor.xml");
    const QString folder = periodFolder(settings.FcurDir, settings.FPeriodString);
    const bool folderExisted = QFileInfo(folder).isDir();
    bool saved = false;
    std::exception_ptr failure;
    Table requisites(scratch);
    try {
        QDir().mkpath(settings.FcurDir + QStringLiteral("temp"));
        QFile::remove(scratch);
        CopyFileReplacing(settings.FcurDir + QStringLiteral("templates/xml/kalvor.xml"), scratch);
        QDir().mkpath(folder);
        requisites.open();
        if (editor && editor(requisites)) {
            savePeriodFiles(settings, requisites, folder);
            for (const Book &book : kBooks) {
                settings.*book.field = bookPath(settings, book);
                ini.writeString(config::kLastPeriod, book.key, settings.*book.field);
            }
            ini.flush();
            saved = true;
        }
    } catch (...) {
        saved = false;
        failure = std::current_exception();
    }
    discardScratch(requisites, scratch);
    if (!saved) {
        // Back to the file as it is on disk; the folder goes only when this run made it.
        settings.SetIniFile(IniFile(iniFileName));
        if (!folderExisted)
            QDir(folder).removeRecursively();
        if (failure)
            std::rethrow_exception(failure);
        return std::nullopt;
    }
    ini.setAutoFlush(true);
    return finish(settings, true);
}

StartupResult runFirstStart(TAppSettings &settings, const PeriodChoice &period, const RequisitesEntry &requisites)
{
    if (!requisitesAccepted(requisites))
        throw KalvorError(requisitesRefusedMessage());
    const std::optional<StartupResult> result = runFirstStart(settings, period, [&requisites](Table &table) {
        if (table.isEmpty())
            table.append();
        else
            table.edit();
        writeRequisitesEntry(table, requisites);
        table.post();
        return true;
    });
    return *result;
}

StartupResult runNormalStart(TAppSettings &settings)
{
    IniFile &ini = settings.FIniFile;
    const QString period = ini.readString(config::kLastPeriod, config::kPeriod);
    settings.SetINNYYMMCC(ini.readString(config::kLastPeriod, config::kStem));
    settings.SetPeriodMonth(periodMonthOf(period));
    settings.SetPeriodYear(periodYearOf(period));
    settings.SetPeriodString(period);

    // A workspace copied elsewhere still names the original's files: it works on its own copies.
    const auto configuredFile = [&settings, &ini](const QString &key) {
        const QString configured = ini.readString(config::kLastPeriod, key);
        const QString local = localWorkspaceFile(settings.FcurDir, configured);
        if (local != configured)
            ini.writeString(config::kLastPeriod, key, local);
        return local;
    };
    settings.SetKalvorFileName(configuredFile(config::kKalvor));
    settings.SetDeclarationFileName(configuredFile(config::kDeclaration));
    for (const Book &book : kBooks)
        settings.*book.field = configuredFile(book.key);
    // Installations older than the product reference have no key for it yet.
    if (settings.FProductionReferenceFileName.isEmpty()) {
        settings.SetProductionReferenceFileName(settings.FcurDir + QStringLiteral("reports/prodReference.xml"));
        ini.writeString(config::kLastPeriod, config::kProdReference, settings.FProductionReferenceFileName);
    }

    Table requisites(settings.FKalvorFileName);
    requisites.open();
    settings.Setkalvor(TKalvor::Create(&requisites));
    requisites.close();
    return finish(settings, false);
}

bool isPeriodConverted(const IniFile &ini, const QString &periodString) noexcept
{
    try {
        return ini.readString(periodString, config::kConverted) == u"1";
    } catch (...) {
        return false;
    }
}

} // namespace kalvor
