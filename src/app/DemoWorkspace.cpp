#include "app/DemoWorkspace.h"

#include "app/Startup.h"
#include "app/Workspace.h"
#include "store/DeclarationGenerator.h"
#include "store/DeclarationKey.h"
#include "store/FileAccess.h"
#include "store/FileCopy.h"
#include "store/KalvorError.h"
#include "store/Table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <optional>
#include <utility>

namespace kalvor {
namespace {

const QString kInn = QStringLiteral("7107012345");

RequisitesEntry demoRequisites()
{
    RequisitesEntry r;
    r.organizationName = QStringLiteral("ООО \"Ромашка\"");
    r.dkey = kInn;
    r.lowAddress = QStringLiteral("300041, г. Тула, ул. Советская, д. 10");
    r.postAddress = QStringLiteral("300041, г. Тула, ул. Советская, д. 10, тел. (4872) 31-22-33");
    r.departmentCount = QStringLiteral("2");
    r.licenseSerial = QStringLiteral("А");
    r.licenseNumber = QStringLiteral("123456");
    r.licenseDate = QStringLiteral("15.01.2010");
    r.licenseDeadline = QStringLiteral("14.01.2015");
    r.nameLeader = QStringLiteral("Иванов Иван Иванович");
    r.nameCounter = QStringLiteral("Петрова Мария Сергеевна");
    return r;
}

// The filer's two subdivisions, numbered 1 and 2 as the verification counts them.
void writeDepartments(const QString &fileName)
{
    Table book(fileName);
    if (QFileInfo::exists(fileName)) {
        book.open();
    } else {
        FieldDef code{QStringLiteral("code"), "string", FieldKind::String, {}, 30, 0, {}};
        FieldDef address{QStringLiteral("address"), "string", FieldKind::String, {}, 100, 0, {}};
        book.createEmpty({code, address});
    }
    const QStringList addresses = {QStringLiteral("г. Тула, ул. Советская, д. 10"),
                                   QStringLiteral("г. Тула, пр. Ленина, д. 45")};
    for (int i = 0; i < addresses.size(); ++i) {
        book.append();
        book.setString(u"code", QString::number(i + 1));
        book.setString(u"address", addresses.at(i));
        book.post();
    }
    book.saveToFile(fileName);
    book.close();
}

// The product book: every product the demo's months hold, with the facts a position takes from it.
void writeProductBook(const QString &fileName, const QStringList &declarations)
{
    Table book(fileName);
    book.open();
    QMap<QString, QStringList> products; // by name: the book's columns as stored
    for (const QString &declaration : declarations) {
        Table month(declaration);
        month.open();
        const int key = month.requireField(u"dkey");
        for (int i = 0; i < month.recordCount(); ++i) {
            const RowView row = month.row(i);
            const std::string_view rowKey = row.utf8(key);
            if (dkey::kindOf(rowKey) != dkey::KeyKind::Position)
                continue;
            const QString name = row.asString(month.requireField(u"production_name"));
            if (name.isEmpty() || products.contains(name))
                continue;
            QStringList values;
            for (int f = 0; f < book.fieldCount(); ++f) {
                const int field = month.fieldIndex(book.field(f).name);
                values.append(field < 0 ? QString() : QString::fromUtf8(row.utf8(field)));
            }
            products.insert(name, values);
        }
    }
    for (const QStringList &values : std::as_const(products)) {
        book.append();
        for (int f = 0; f < book.fieldCount(); ++f)
            if (!values.at(f).isEmpty())
                book.setStoredText(f, values.at(f).toStdString());
        book.post();
    }
    book.saveToFile(fileName);
    book.close();
}

std::size_t writeMonth(const TAppSettings &settings, int month, std::size_t rows)
{
    DeclarationOptions options;
    options.rows = rows;
    options.inn = settings.FINNYYMMCC.left(12).toStdString();
    options.year = 2000 + settings.FPeriodYear;
    options.month = month;
    options.seed = static_cast<std::uint64_t>(month);
    options.departments = 2;
    options.numberedDepartments = true;
    DeclarationSummary summary;
    DeclarationGenerator(options).saveFile(settings.FDeclarationFileName, &summary);
    return summary.visibleRows();
}

// What the demo changes in a workspace, so that a demo that fails half-way (a full disk) takes it all
// back: a configuration naming files that were never written would break every later start.
class DemoRollback final {
public:
    explicit DemoRollback(const QString &curDir) : m_curDir(curDir)
    {
        for (const QString &name : {QStringLiteral("tamrel.ini"), QStringLiteral("reports/department.xml"),
                                    QStringLiteral("reports/prodReference.xml")}) {
            QFile file(curDir + name);
            m_saved.append({name, file.open(QIODevice::ReadOnly) ? std::optional(file.readAll()) : std::nullopt});
        }
        for (const QString &period : {QStringLiteral("201202"), QStringLiteral("201203")})
            if (!QFileInfo(periodFolder(curDir, period)).exists())
                m_newFolders.append(periodFolder(curDir, period));
    }

    void undo() noexcept
    {
        // The period folders go first: that frees the room the restored files need.
        for (const QString &folder : std::as_const(m_newFolders))
            QDir(folder).removeRecursively();
        for (const auto &[name, bytes] : std::as_const(m_saved)) {
            if (!bytes) {
                QFile::remove(m_curDir + name);
                continue;
            }
            try {
                saveFileAtomically(m_curDir + name, *bytes);
            } catch (const KalvorError &) {
                // Left as the demo made it; the error that ended the demo is what the user is told.
            }
        }
    }

private:
    QString m_curDir;
    QList<std::pair<QString, std::optional<QByteArray>>> m_saved;
    QStringList m_newFolders;
};

void fillDemoWorkspace(const QString &curDir, std::size_t rowsPerMonth, std::size_t &rows)
{
    TAppSettings settings;
    openConfiguration(settings, curDir);
    runFirstStart(settings, PeriodChoice{2, 12}, demoRequisites());
    writeDepartments(settings.FDepartmentCodeFileName);
    rows = writeMonth(settings, 2, rowsPerMonth);
    const QString february = settings.FDeclarationFileName;

    // March 2012 as the next period: its own folder, a copy of the requisites, keys with its YYMM.
    const QString period = QStringLiteral("201203");
    const QString stem = settings.FINNYYMMCC.left(12) + QStringLiteral("120300");
    const QString monthFolder = curDir + QStringLiteral("reports/") + period + u'/';
    QDir().mkpath(monthFolder);
    const QString kalvorFile = monthFolder + stem + QStringLiteral("d.xml");
    copyFileAtomically(settings.FKalvorFileName, kalvorFile);
    settings.SetPeriodString(period);
    settings.SetPeriodMonth(3);
    settings.SetINNYYMMCC(stem);
    settings.SetKalvorFileName(kalvorFile);
    settings.SetDeclarationFileName(monthFolder + stem + QStringLiteral(".xml"));
    rows += writeMonth(settings, 3, rowsPerMonth);
    writeProductBook(settings.FProductionReferenceFileName, {february, settings.FDeclarationFileName});

    IniFile &ini = settings.FIniFile;
    ini.setAutoFlush(false);
    ini.writeString(config::kLastPeriod, config::kPeriod, period);
    ini.writeString(config::kLastPeriod, config::kStem, stem);
    ini.writeString(config::kLastPeriod, config::kKalvor, kalvorFile);
    ini.writeString(config::kLastPeriod, config::kDeclaration, settings.FDeclarationFileName);
    ini.flush();
}

} // namespace

std::size_t createDemoWorkspace(const QString &folder, const QString &shareDir, std::size_t rowsPerMonth)
{
    const QString curDir = QDir::cleanPath(QFileInfo(folder).absoluteFilePath()) + u'/';
    seedWorkspace(curDir, shareDir);
    {
        TAppSettings settings;
        openConfiguration(settings, curDir);
        if (!isFirstStart(settings))
            throw KalvorError(QStringLiteral("Папка %1 уже содержит рабочие данные программы").arg(curDir));
    }
    DemoRollback rollback(curDir);
    std::size_t rows = 0;
    try {
        fillDemoWorkspace(curDir, rowsPerMonth, rows);
    } catch (...) {
        rollback.undo();
        throw;
    }
    return rows;
}

} // namespace kalvor
