#include "reports/ReportWorkbooks.h"

#include "app/TAppSettings.h"
#include "dbupload/Database.h"
#include "dbupload/Procedures.h"
#include "dbupload/WorkspaceDatabase.h"
#include "reports/ObjectsReport.h"
#include "sheets/SheetExport.h"
#include "sheets/XlsxWorkbook.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QDir>

namespace kalvor::reports {

namespace {

KalvorError queryFailed(const QString &detail)
{
    return KalvorError(QString::fromUtf8(kQueryFailedMessage) + u'\n' + detail);
}

// Runs one step of a report; whatever fails is reported as the failed query it is to the operator.
template <typename F> auto asQuery(F &&step)
{
    try {
        return step();
    } catch (const KalvorError &e) {
        throw queryFailed(e.message());
    } catch (const std::exception &e) {
        throw queryFailed(QString::fromLocal8Bit(e.what()));
    }
}

sheets::XlsxWorkbook openTemplate(const QString &curDir, int number)
{
    return sheets::XlsxWorkbook::open(QDir(curDir).filePath(QStringLiteral("templates/%1.xlsx").arg(number)));
}

QString outputFile(const QString &curDir, int number, const QString &outFile)
{
    if (!outFile.isEmpty())
        return outFile;
    const QDir root(curDir);
    if (!root.mkpath(QStringLiteral("temp")))
        throw KalvorError(QStringLiteral("Не удалось создать папку %1")
                              .arg(QDir::toNativeSeparators(root.filePath(QStringLiteral("temp")))));
    return sheets::freeWorkbookName(root.filePath(QStringLiteral("temp")), QStringLiteral("%1.xlsx").arg(number));
}

} // namespace

WrittenReport writeRegulatorReport(const QString &curDir, const QString &shareDir, const RegulatorReport &report,
                                   const ReportSpan &span, const QString &inn, const QString &outFile)
{
    return asQuery([&] {
        WrittenReport written;
        const std::unique_ptr<dbupload::Database> db = dbupload::openWorkspaceDatabase(curDir, shareDir);
        const sheets::XlsxWorkbook book = openTemplate(curDir, report.templateNumber);
        const std::optional<FilledReport> filled = fillRegulatorReport(*db, report, span, inn, book.sheet());
        if (!filled) {
            written.noData = true;
            return written;
        }
        written.notice = filled->notice;
        written.fileName = outputFile(curDir, report.templateNumber, outFile);
        book.save(filled->sheet, written.fileName);
        return written;
    });
}

WrittenReport writeObjectsReport(const TAppSettings &settings, const QString &shareDir, const ReportSpan &span,
                                 const QString &outFile)
{
    WrittenReport written;
    std::vector<ObjectEntry> entries = asQuery([&] {
        const std::unique_ptr<dbupload::Database> db = dbupload::openWorkspaceDatabase(settings.FcurDir, shareDir);
        return registeredObjects(db->call(dbupload::procedures::REP_OBJECTS_BY_PERIOD,
                                          {qint64(span.start()), qint64(span.end()), settings.Fkalvor.FINN}));
    });
    if (entries.empty()) {
        written.noData = true;
        return written;
    }
    if (settings.FDeclarationFileName.isEmpty())
        throw KalvorError(QStringLiteral("Не выбран отчетный период"));
    Table declaration;
    declaration.setFileName(settings.FDeclarationFileName);
    declaration.open();
    countDeclarationRows(entries, declaration);
    declaration.close();
    asQuery([&] {
        const sheets::XlsxWorkbook book = openTemplate(settings.FcurDir, kObjectsTemplateNumber);
        written.fileName = outputFile(settings.FcurDir, kObjectsTemplateNumber, outFile);
        book.save(layOutObjects(book.sheet(), entries, span.headerText()), written.fileName);
    });
    return written;
}

} // namespace kalvor::reports
