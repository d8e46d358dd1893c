#include "cli/WorkspacePeriod.h"

#include "cli/DbReports.h"

#include "app/Workspace.h"
#include "dbupload/BatchUpload.h"
#include "dbupload/ConnectionFile.h"
#include "dbupload/Database.h"
#include "dbupload/DeclarationUpload.h"
#include "dbupload/ObjectsImport.h"
#include "dbupload/Procedures.h"
#include "dbupload/Schema.h"
#include "dbupload/WorkspaceDatabase.h"
#include "store/KalvorError.h"

#include <QCoreApplication>


namespace kalvor::cli {
namespace {

using namespace dbupload;

const QString kUsage = QStringLiteral(
    "использование: kalvor-cli [--home ПАПКА] db init | upload | upload-log | batch-upload ПАПКА | "
    "import-objects ФАЙЛ.csv | call ПРОЦЕДУРА [ПАРАМЕТР...] | report ИМЯ --from ГГГГММ --to ГГГГММ [--inn ИНН] "
    "ВЫХОД.xlsx | objects-report --from ГГГГММ --to ГГГГММ ВЫХОД.xlsx");

QString shareDir() { return locateShareDir(QCoreApplication::applicationDirPath()); }

// The workspace of --home (else KALVOR_HOME, ...), prepared as at the program's start, so that it has
// its db.udl.
QString workspace(const Options &options) { return prepareCommandWorkspace(options, nullptr); }

int init(const Options &options)
{
    const QString curDir = workspace(options);
    const ConnectionSettings settings = readConnectionFile(curDir);
    const std::unique_ptr<Database> db = connectDatabase(settings, true);
    const SchemaInit done = initSchema(*db, shareDir());
    printLine(settings.description());
    printLine(done.fromVersion == done.toVersion
                  ? QStringLiteral("Схема базы данных версии %1 уже есть; процедуры обновлены (%2)").arg(done.toVersion).arg(done.procedures)
              : done.fromVersion == 0
                  ? QStringLiteral("Созданы таблицы схемы версии %1 и процедуры (%2)").arg(done.toVersion).arg(done.procedures)
                  : QStringLiteral("Схема базы данных обновлена с версии %1 до %2; процедуры обновлены (%3)")
                        .arg(done.fromVersion)
                        .arg(done.toVersion)
                        .arg(done.procedures));
    return 0;
}

int upload(const Options &options, bool kalvorLog)
{
    PeriodWorkspace period(options, Access::Read);
    TAppSettings &settings = period.settings;
    const char *failure = kalvorLog ? kKalvorUploadFailedMessage : kUploadFailedMessage;
    try {
        const DeclarationUploadPlan plan = planDeclarationUpload(settings, shareDir());
        const UploadSummary summary = kalvorLog ? uploadKalvorLog(plan) : uploadDeclaration(plan);
        printLine(QString::fromUtf8(kUploadSucceededMessage));
        printLine(QStringLiteral("Строк декларации: %1, строк сведений о калворе: %2, ключ: %3")
                      .arg(summary.declarationRows)
                      .arg(summary.kalvorRows)
                      .arg(summary.keys.join(QStringLiteral(", "))));
        return 0;
    } catch (const KalvorError &e) {
        printError(QString::fromUtf8(failure) + QStringLiteral(": ") + e.message());
        return 1;
    }
}

int batchUpload(const Options &options, const QString &folder)
{
    WorkspaceLock lock; // the batch writes its log.txt into the workspace
    const QString curDir = prepareCommandWorkspace(options, &lock);
    const BatchPlan plan = planBatchUpload(curDir, shareDir(), folder);
    BatchHooks hooks;
    hooks.notice = [](const QString &message) { printError(message); };
    const BatchResult result = runBatchUpload(plan, hooks);
    for (const QString &failure : result.failures)
        printError(failure);
    if (!result.stopMessage.isEmpty()) {
        printError(result.stopDetail.isEmpty() ? result.stopMessage : result.stopMessage + QStringLiteral(": ") + result.stopDetail);
        return 1;
    }
    printLine(QString(result.message).replace(QStringLiteral("log.txt"), plan.logFileName));
    printLine(QStringLiteral("Выгружено отчетов: %1, с ошибкой: %2").arg(result.uploaded).arg(result.failed));
    return result.failed > 0 ? 1 : 0;
}

int importObjectsCommand(const Options &options, const QString &file)
{
    const qint64 count = importObjects(workspace(options), shareDir(), file);
    printLine(QStringLiteral("Загружено объектов: %1").arg(count));
    return 0;
}

// Prints a procedure's rows like `dump`: column names, then one TAB-separated line per row.
int call(const Options &options, const QStringList &args)
{
    const ProcedureInfo *info = findProcedure(args.value(0));
    if (!info) {
        printError(QStringLiteral("нет такой процедуры: %1").arg(args.value(0)));
        return 2;
    }
    if (args.size() - 1 != info->parameters.size()) {
        printError(QStringLiteral("процедуре %1 нужно параметров: %2").arg(info->name).arg(info->parameters.size()));
        return 2;
    }
    DbParams params;
    for (int i = 0; i < info->parameters.size(); ++i) {
        const QString &arg = args[i + 1];
        if (info->parameters[i] == ParamType::String) {
            params.append(arg);
            continue;
        }
        bool ok = false;
        const qint64 n = arg.toLongLong(&ok);
        if (!ok) {
            printError(QStringLiteral("параметр %1 процедуры %2 должен быть целым числом").arg(i + 1).arg(info->name));
            return 2;
        }
        params.append(n);
    }
    const std::unique_ptr<Database> db = openWorkspaceDatabase(workspace(options), shareDir());
    if (info->columns.isEmpty()) {
        db->execute(info->name, params);
        return 0;
    }
    const DbRows rows = db->call(info->name, params);
    printLine(rows.columns());
    for (int r = 0; r < rows.rowCount(); ++r) {
        QStringList cells;
        for (std::size_t c = 0; c < rows.columnCount(); ++c)
            cells.append(rows.cell(r, static_cast<int>(c)).value_or(QString()));
        printLine(cells);
    }
    return 0;
}

} // namespace

Command dbCommand()
{
    return {QStringLiteral("db"),
            QStringLiteral("db init | upload | upload-log | batch-upload ПАПКА | import-objects ФАЙЛ.csv | call "
                           "ПРОЦЕДУРА [ПАРАМЕТР...] | report ИМЯ --from ГГГГММ --to ГГГГММ [--inn ИНН] ВЫХОД.xlsx | "
                           "objects-report --from ГГГГММ --to ГГГГММ ВЫХОД.xlsx"),
            QStringLiteral(
                "База данных отчетов из файла db.udl рабочей папки. init: создает или обновляет таблицы и процедуры "
                "(можно повторять); upload: выгружает декларацию и сведения о калворе текущего периода; upload-log: "
                "добавляет запись сведений о калворе и выгружает их; batch-upload: пакетная выгрузка папки ГГГГММ со "
                "сданными отчетами (журнал log.txt в рабочей папке, код 1, если хоть один отчет не выгрузился); "
                "import-objects: заменяет список объектов (alcohol_objects) строками файла CSV; call: выводит строки "
                "процедуры, как dump; report: отчет из меню «Отчеты» (control, suppliers, regions, import, "
                "suppliers-litr, raion, proizv, vodka52) за месяцы с --from по --to на шаблоне templates/N.xlsx, "
                "отчету control нужен --inn; objects-report: отчет о полноте данных по объектам декларанта текущего "
                "периода (шаблон templates/10.xlsx); если данных за период нет, код 1"),
            [](const Options &options, const QStringList &args) {
                const QString sub = args.value(0);
                if (sub == u"init" && args.size() == 1)
                    return init(options);
                if (sub == u"upload" && args.size() == 1)
                    return upload(options, false);
                if (sub == u"upload-log" && args.size() == 1)
                    return upload(options, true);
                if (sub == u"batch-upload" && args.size() == 2)
                    return batchUpload(options, args[1]);
                if (sub == u"import-objects" && args.size() == 2)
                    return importObjectsCommand(options, args[1]);
                if (sub == u"call" && args.size() >= 2)
                    return call(options, args.mid(1));
                if (sub == u"report")
                    return dbReport(options, args.mid(1));
                if (sub == u"objects-report")
                    return dbObjectsReport(options, args.mid(1));
                printError(kUsage);
                return 2;
            }};
}

} // namespace kalvor::cli
