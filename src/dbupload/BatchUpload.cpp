#include "dbupload/BatchUpload.h"

#include "dbupload/Database.h"
#include "dbupload/DbTables.h"
#include "dbupload/Procedures.h"
#include "dbupload/ReportRows.h"
#include "dbupload/WorkspaceDatabase.h"
#include "period/ReportFolder.h"
#include "store/DataPacketReader.h"
#include "store/KalvorError.h"
#include "store/TableData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <memory>
#include <vector>

namespace kalvor::dbupload {
namespace {

QString text(const char *message) { return QString::fromUtf8(message); }

constexpr int kDeclarationNameLength = 22; // INNYYMMCC + ".xml"
constexpr int kKalvorNameLength = 23;      // INNYYMMCC + "d.xml"

// log.txt, saved whole at the end of the batch (also when it stops or is cancelled), so that it never
// holds half of one batch and half of another.
class BatchLog final {
public:
    BatchLog(const QString &fileName, QStringList &lines) : m_file(fileName), m_lines(lines)
    {
        if (!m_file.open(QIODevice::WriteOnly))
            throw KalvorError(QStringLiteral("Не удалось создать файл %1: %2").arg(fileName, m_file.errorString()));
        write(text(kBatchLogHeader));
    }

    void write(const QString &line)
    {
        m_lines.append(line);
        m_file.write(line.toUtf8() + '\n');
    }

    void commit()
    {
        if (!m_file.commit())
            throw KalvorError(QStringLiteral("Не удалось записать файл %1: %2").arg(m_file.fileName(), m_file.errorString()));
    }

private:
    QSaveFile m_file;
    QStringList &m_lines;
};

struct Filer {
    QString inn;    // as listed
    QString inn12;  // filled out with "0" to 12 characters, as file names carry it
    bool taken = false;
};

// The batch ends: REP_INN or a deleting procedure failed.
struct BatchStop {
    QString message;
    QString detail;
};

struct PreparedReport {
    DbRowBuffer declaration;
    DbRowBuffer kalvor;
};

// Both files read, the declaration cleaned and both turned into the database's rows, before the
// database is touched; throws KalvorError.
PreparedReport prepareReport(const QString &declarationFile, const QString &kalvorFile, UploadPeriod period)
{
    if (!QFileInfo::exists(kalvorFile))
        throw KalvorError(text(kKalvorFileMissingMessage) + kalvorFile);
    TableData declaration;
    readDataPacketFile(declarationFile, declaration);
    DeclarationRows rows = declarationRows(declaration, declarationFile, period, true);
    declaration = TableData();
    const QString inn = QFileInfo(declarationFile).fileName().left(12);
    for (const QString &key : reportKeys(rows.rows))
        if (key.left(12) != inn)
            throw KalvorError(QStringLiteral("Файл %1: в нем есть строки ИНН %2, а не ИНН из имени файла")
                                  .arg(declarationFile, key.left(12)));
    TableData requisites;
    readDataPacketFile(kalvorFile, requisites);
    return {std::move(rows.rows), kalvorRows(requisites, kalvorFile, period)};
}

class Batch final {
public:
    Batch(const BatchPlan &plan, const BatchHooks &hooks, BatchResult &result)
        : m_plan(plan), m_hooks(hooks), m_result(result), m_log(plan.logFileName, result.logLines)
    {
        char yymm[8];
        std::snprintf(yymm, sizeof yymm, "%.2d%.2d", plan.year, plan.month);
        m_yymm = QString::fromLatin1(yymm);
    }

    void commitLog() { m_log.commit(); }

    void run(const Progress &progress)
    {
        connect();
        progress.start(m_plan.files.size());
        for (qsizetype i = 0; i < m_plan.files.size(); ++i) {
            if (progress.isCancelled()) {
                m_result.cancelled = true;
                return;
            }
            if (m_hooks.fileStarted)
                m_hooks.fileStarted(m_plan.files[i]);
            takeFile(m_plan.files[i]);
            progress.step(i + 1);
        }
        for (const Filer &filer : m_filers)
            if (!filer.taken)
                m_log.write(filer.inn + QStringLiteral("|3"));
    }

private:
    void notice(const QString &message) const
    {
        if (m_hooks.notice)
            m_hooks.notice(message);
    }

    void connect()
    {
        DbRows listed;
        try {
            m_db = openWorkspaceDatabase(m_plan.curDir, m_plan.shareDir);
            listed = m_db->call(procedures::REP_INN);
        } catch (const KalvorError &e) {
            throw BatchStop{text(kRepInnFailedMessage), e.message()};
        }
        if (listed.isEmpty())
            throw BatchStop{text(kObjectsEmptyMessage), QString()};
        for (const DbRow row : listed) {
            const QString inn = row.text(u"INN");
            m_filers.push_back({inn, inn.size() < 12 ? inn + QString(12 - inn.size(), u'0') : inn, false});
        }
    }

    void takeFile(const QString &name)
    {
        const QDir folder(m_plan.folder);
        QString kalvorFile;
        if (name.size() == kDeclarationNameLength) {
            kalvorFile = folder.filePath(name.left(18) + QStringLiteral("d.xml"));
            if (!QFileInfo::exists(kalvorFile))
                notice(text(kKalvorFileMissingMessage) + kalvorFile);
        } else if (name.size() != kKalvorNameLength) {
            notice(text(kWrongFileNameMessage) + name);
        }

        bool listed = false;
        if (name.size() == kDeclarationNameLength) {
            for (Filer &filer : m_filers) {
                if (name.left(12) == filer.inn12) {
                    filer.taken = true;
                    m_log.write(filer.inn + QStringLiteral("|1"));
                    listed = true;
                }
            }
        }
        if (!listed) {
            if (name.size() < 19 || name.at(18) != u'd')
                m_log.write(name + QStringLiteral("|0"));
            return;
        }
        try {
            upload(name, folder.filePath(name), kalvorFile);
        } catch (const KalvorError &e) {
            ++m_result.failed;
            m_result.failures.append(name + QStringLiteral(": ") + e.message());
            m_log.write(name + QStringLiteral("|(exception error)2"));
            return;
        }
        ++m_result.uploaded;
        m_log.write(name + QStringLiteral("|(прошел пустые данные)1"));
    }

    void upload(const QString &name, const QString &declarationFile, const QString &kalvorFile)
    {
        // The month taken in is the folder's: a report of another month does not belong here.
        if (name.mid(12, 4) != m_yymm)
            throw KalvorError(QStringLiteral("отчет за другой месяц, чем папка %1").arg(QFileInfo(m_plan.folder).fileName()));
        const PreparedReport report = prepareReport(declarationFile, kalvorFile, {m_plan.year, m_plan.month});
        const QString key = name.left(16);
        DbTransaction transaction(*m_db);
        for (const auto &[procedure, message] :
             {std::pair{procedures::DELETE_OLD_KALVOR, kDeleteKalvorFailedMessage},
              std::pair{procedures::DELETE_OLD_DECLARATION, kDeleteDeclarationFailedMessage}}) {
            try {
                m_db->execute(procedure, {key});
            } catch (const KalvorError &e) {
                throw BatchStop{text(message), e.message()};
            }
        }
        replaceRows(*m_db, report.declaration);
        replaceRows(*m_db, report.kalvor);
        transaction.commit();
    }

    const BatchPlan &m_plan;
    const BatchHooks &m_hooks;
    BatchResult &m_result;
    BatchLog m_log;
    QString m_yymm;
    std::unique_ptr<Database> m_db;
    std::vector<Filer> m_filers;
};

} // namespace

BatchPlan planBatchUpload(const QString &curDir, const QString &shareDir, const QString &folder)
{
    const period::FolderPeriod period = period::folderPeriod(folder);
    if (!period.valid)
        throw KalvorError(period.message);
    BatchPlan plan;
    plan.folder = QDir::cleanPath(folder);
    plan.year = period.year;
    plan.month = period.month;
    plan.curDir = curDir;
    plan.shareDir = shareDir;
    plan.logFileName = QDir(curDir).filePath(QStringLiteral("log.txt"));
    plan.files = QDir(plan.folder).entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::Hidden | QDir::System,
                                             QDir::Name);
    return plan;
}

BatchResult runBatchUpload(const BatchPlan &plan, const BatchHooks &hooks, const Progress &progress)
{
    BatchResult result;
    Batch batch(plan, hooks, result);
    try {
        batch.run(progress);
        result.message = text(result.cancelled ? kBatchCancelledMessage : kBatchDoneMessage);
    } catch (const BatchStop &stop) {
        result.stopMessage = stop.message;
        result.stopDetail = stop.detail;
        result.message = stop.message;
    }
    batch.commitLog();
    return result;
}

} // namespace kalvor::dbupload
