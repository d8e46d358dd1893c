#include "period/CarryOver.h"

#include "app/PeriodSwitch.h"
#include "app/Startup.h"
#include "app/TAppSettings.h"
#include "maintenance/Backup.h"
#include "period/FieldText.h"
#include "store/ColumnCopy.h"
#include "store/DataPacketReader.h"
#include "store/DataPacketWriter.h"
#include "store/DeclarationKey.h"
#include "store/FileCopy.h"
#include "store/KalvorError.h"
#include "store/ValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace kalvor::period {

namespace {

enum class RowKind { Invoice, Position, Transfer };

// Kinds by the characters the pass looks at: 25-32 all zero is an invoice, a transfer number other
// than "00" a transfer, anything else a position.
RowKind kindOf(std::string_view key)
{
    if (key.size() > 24 && key.substr(24) == "00000000")
        return RowKind::Invoice;
    if (key.size() >= 32 && key.substr(30, 2) != "00")
        return RowKind::Transfer;
    return RowKind::Position;
}

// Key characters 1-30 name a position, 1-24 an invoice.
constexpr std::size_t kPositionKeyLength = dkey::kTransferOffset;
constexpr std::size_t kInvoiceKeyLength = dkey::kPositionOffset;

bool sameUpTo(std::string_view a, std::string_view b, std::size_t length)
{
    return a.size() >= length && b.size() >= length && a.substr(0, length) == b.substr(0, length);
}

// The first invoice of the period carries the version of the program that made the table.
bool isFirstInvoice(std::string_view key)
{
    return key.size() >= 32 && key.substr(16, 16) == "0000000100000000";
}

bool remainsPresent(const TableData &data, const Cell &rest)
{
    if (rest.isNull())
        return false;
    const std::string_view text = data.text(rest);
    if (text.empty())
        return false;
    const auto value = valuetext::parseDecimal(text);
    return !value || *value != 0.0;
}

// Movement columns cleared on every carried position; transfers keep their package count, volume,
// purchase sum and other charges.
constexpr std::array kPositionCleared = {
    "return_volume",         "package_count",           "volume",         "sum_coming", "other_coming",
    "department_code_inner", "package_count_charges",   "volume_charges", "markup",     "sum_charges",
    "return_volume_charges", "writeoff_volume_charges", "other_charges",
};
constexpr std::array kTransferCleared = {
    "return_volume", "other_coming", "department_code_inner", "package_count_charges",   "volume_charges",
    "markup",        "sum_charges",  "return_volume_charges", "writeoff_volume_charges",
};

// Column indices of the target table for a list of names; names the template lacks are skipped.
template <std::size_t N>
std::vector<int> columnsOf(const TableData &data, const std::array<const char *, N> &names)
{
    std::vector<int> result;
    for (const char *name : names) {
        const int index = columnIndex(data, QString::fromLatin1(name));
        if (index >= 0)
            result.push_back(index);
    }
    return result;
}

// The rows a declaration holds, so that the user knows what a replacement would put aside; -1 when the
// file cannot be read.
qint64 rowCountOf(const QString &fileName)
{
    try {
        TableData data;
        readDataPacketFile(fileName, data);
        qint64 rows = 0;
        for (std::uint32_t r = 0; r < data.recordCount(); ++r)
            if (RowState::isVisible(data.rowState(r)))
                ++rows;
        return rows;
    } catch (const KalvorError &) {
        return -1;
    }
}

void requireFile(const QString &fileName, const QString &what)
{
    if (!QFileInfo(fileName).isFile())
        throw KalvorError(QStringLiteral("Не найден %1: %2").arg(what, QDir::toNativeSeparators(fileName)));
}

} // namespace

CarryOverPlan planCarryOver(const TAppSettings &settings, int year, int month, bool transferRemains)
{
    if (month < 1 || month > 12 || year < 0 || year > 99)
        throw KalvorError(QString::fromUtf8(kIncompletePeriodMessage));
    CarryOverPlan plan;
    plan.month = month;
    plan.year = year;
    if (plan.month == settings.FPeriodMonth && plan.year == settings.FPeriodYear)
        throw KalvorError(QString::fromUtf8(kCurrentPeriodMessage));

    plan.periodString = periodString(plan.year, plan.month);
    plan.stem = dkey::stemFor(settings.Fkalvor.FINN, plan.periodString);
    plan.folder = periodFolder(settings.FcurDir, plan.periodString);
    plan.kalvorFileName = plan.folder + u'/' + plan.stem + QStringLiteral("d.xml");
    plan.declarationFileName = plan.folder + u'/' + plan.stem + QStringLiteral(".xml");
    plan.templateFileName = settings.FcurDir + QStringLiteral("templates/xml/declaration.xml");
    plan.carriedFile = settings.FcurDir + QStringLiteral("temp/") + plan.stem + QStringLiteral(".xml");
    requireFile(settings.FKalvorFileName, QStringLiteral("файл сведений о калворе"));
    requireFile(plan.templateFileName, QStringLiteral("шаблон декларации"));

    if (transferRemains) {
        const auto [previousYear, previousMonth] = previousPeriod(plan.year, plan.month);
        const QString previousFolder = periodFolder(settings.FcurDir, periodString(previousYear, previousMonth));
        if (!QFileInfo(previousFolder).isDir()) {
            plan.notice = QString::fromUtf8(kNoPreviousDataMessage);
        } else {
            plan.previousTable = filesInFolder(previousFolder).declarationFileName;
            if (plan.previousTable.isEmpty())
                throw KalvorError(QString::fromUtf8(kNoPreviousDataMessage));
        }
    }
    plan.targetExists = QFileInfo::exists(plan.declarationFileName);
    if (plan.targetExists)
        plan.targetRows = rowCountOf(plan.declarationFileName);
    return plan;
}

CarriedRemains carryRemains(const CarryOverPlan &plan, const QString &versionText, const Progress &progress)
{
    CarriedRemains carried;
    TableData source;
    readDataPacketFile(plan.previousTable, source);
    TableData target;
    readDataPacketFile(plan.templateFileName, target);

    const int keyField = columnIndex(source, u"dkey");
    const int restField = columnIndex(source, u"rest");
    if (keyField < 0 || restField < 0)
        throw KalvorError(
            QStringLiteral("В таблице %1 нет поля dkey или rest").arg(QDir::toNativeSeparators(plan.previousTable)));

    // Visible rows in key order; equal keys keep their file order.
    std::vector<std::uint32_t> order;
    order.reserve(source.recordCount());
    for (std::uint32_t r = 0; r < source.recordCount(); ++r)
        if (RowState::isVisible(source.rowState(r)))
            order.push_back(r);
    const auto keyOf = [&](std::uint32_t r) { return source.text(source.recordCells(r)[keyField]); };
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return keyOf(a) < keyOf(b); });

    CarryOverSummary &summary = carried.summary;
    summary.rowsRead = static_cast<qint64>(order.size());
    progress.start(summary.rowsRead);

    // Which rows go, decided in one walk: an invoice row waits for its positions, a position without
    // remains waits for a transfer of it that still has some.
    std::vector<std::uint8_t> dropped(order.size(), 0);
    const auto keyAt = [&](std::ptrdiff_t i) { return keyOf(order[static_cast<std::size_t>(i)]); };
    std::ptrdiff_t openInvoice = -1;
    bool invoiceSurvives = false;
    std::ptrdiff_t lastPosition = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const CellRow row = source.recordCells(order[i]);
        const std::string_view key = source.text(row[keyField]);
        const bool present = remainsPresent(source, row[restField]);
        switch (kindOf(key)) {
        case RowKind::Invoice:
            if (openInvoice >= 0 && !invoiceSurvives) {
                dropped[static_cast<std::size_t>(openInvoice)] = 1;
                ++summary.invoicesDropped;
            }
            openInvoice = static_cast<std::ptrdiff_t>(i);
            invoiceSurvives = false;
            break;
        case RowKind::Position:
            lastPosition = static_cast<std::ptrdiff_t>(i);
            if (present) {
                invoiceSurvives = true;
            } else {
                dropped[i] = 1;
                ++summary.positionsDropped;
            }
            break;
        case RowKind::Transfer:
            if (!present) {
                dropped[i] = 1;
                ++summary.transfersDropped;
                break;
            }
            // A transfer with stock keeps its own position (key characters 1-30) and its own invoice
            // (1-24), never those of the rows that merely precede it.
            if (lastPosition >= 0 && sameUpTo(key, keyAt(lastPosition), kPositionKeyLength) &&
                dropped[static_cast<std::size_t>(lastPosition)]) {
                dropped[static_cast<std::size_t>(lastPosition)] = 0;
                --summary.positionsDropped;
            }
            if (openInvoice >= 0 && sameUpTo(key, keyAt(openInvoice), kInvoiceKeyLength))
                invoiceSurvives = true;
            break;
        }
        if (progress.isCancelled())
            throw KalvorError(QStringLiteral("Перенос остатков прерван."));
        progress.step(static_cast<qint64>(i) + 1);
    }
    if (openInvoice >= 0 && !invoiceSurvives) {
        dropped[static_cast<std::size_t>(openInvoice)] = 1;
        ++summary.invoicesDropped;
    }

    // The surviving rows go into the template's columns (matched by name, converted to their types) with
    // the new period's keys.
    ColumnCopy copy(source, target, plan.previousTable);
    const int targetKey = copy.targetField(u"dkey");
    const int targetRestVolume = copy.targetField(u"rest_volume");
    const int targetVersion = copy.targetField(u"version");
    TableData &fresh = copy.result();
    const std::vector<int> positionCleared = columnsOf(fresh, kPositionCleared);
    const std::vector<int> transferCleared = columnsOf(fresh, kTransferCleared);
    // What the pass overwrites is not read: a value about to be cleared cannot stop the carry-over.
    const auto overwritten = [&](const std::vector<int> &cleared) {
        std::vector<bool> mask(static_cast<std::size_t>(fresh.fieldCount()), false);
        for (const int c : cleared)
            mask[static_cast<std::size_t>(c)] = true;
        if (targetRestVolume >= 0)
            mask[static_cast<std::size_t>(targetRestVolume)] = true;
        return mask;
    };
    const std::vector<bool> positionOverwritten = overwritten(positionCleared);
    const std::vector<bool> transferOverwritten = overwritten(transferCleared);

    fresh.reserve(order.size(), source.textBytes());
    std::vector<Cell> zero(static_cast<std::size_t>(fresh.fieldCount()));
    for (int i = 0; i < fresh.fieldCount(); ++i) {
        const FieldDef &field = fresh.fields[i];
        zero[static_cast<std::size_t>(i)] =
            fresh.storeText(field.kind == FieldKind::Fixed ? valuetext::formatDecimal(0, field.decimals) : "0");
    }
    const std::string version = (QStringLiteral("Версия ") + versionText).toStdString();
    const std::string yymm = plan.periodString.mid(2, 4).toStdString();

    const int productField = columnIndex(source, u"production_name");
    std::vector<Cell> cells;
    std::string key;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const CellRow row = source.recordCells(order[i]);
        key.assign(source.text(row[keyField]));
        const RowKind kind = kindOf(key);
        if (dropped[i]) {
            if (kind != RowKind::Invoice && key.size() >= 16) {
                key.replace(12, 4, yymm);
                carried.dropped.push_back(
                    {key, productField < 0 ? std::string() : std::string(source.text(row[productField]))});
            }
            continue;
        }
        copy.copyRow(order[i], key, cells,
                     kind == RowKind::Invoice    ? nullptr
                     : kind == RowKind::Position ? &positionOverwritten
                                                 : &transferOverwritten);
        if (kind != RowKind::Invoice) {
            if (targetRestVolume >= 0)
                cells[static_cast<std::size_t>(targetRestVolume)] =
                    copy.convertCell(restField, row[restField], targetRestVolume, key);
            for (const int c : kind == RowKind::Position ? positionCleared : transferCleared)
                cells[static_cast<std::size_t>(c)] = zero[static_cast<std::size_t>(c)];
        } else if (targetVersion >= 0 && isFirstInvoice(key)) {
            cells[static_cast<std::size_t>(targetVersion)] = fresh.storeText(version);
        }
        if (key.size() >= 16)
            key.replace(12, 4, yymm);
        if (targetKey >= 0)
            cells[static_cast<std::size_t>(targetKey)] = fresh.storeText(key);
        fresh.appendRecord(cells.data(), 0);
        ++summary.rowsKept;
    }
    carried.table = std::move(fresh);
    return carried;
}

CarryOverSummary carryOverRemains(const CarryOverPlan &plan, const QString &versionText, const Progress &progress)
{
    const CarriedRemains carried = carryRemains(plan, versionText, progress);
    QDir().mkpath(QFileInfo(plan.carriedFile).absolutePath());
    saveDataPacketFile(carried.table, plan.carriedFile);
    return carried.summary;
}

void installPeriod(TAppSettings &settings, const CarryOverPlan &plan)
{
    // The carried table has done its work once the period is installed, or when installing fails.
    struct RemoveCarried {
        const QString &file;
        ~RemoveCarried() { QFile::remove(file); }
    } removeCarried{plan.carriedFile};

    const QString table = plan.previousTable.isEmpty() ? plan.templateFileName : plan.carriedFile;
    requireFile(table, QStringLiteral("файл декларации"));
    const bool folderExisted = QFileInfo(plan.folder).isDir();
    const bool kalvorExisted = QFileInfo::exists(plan.kalvorFileName);
    if (!QDir().mkpath(plan.folder))
        throw KalvorError(QStringLiteral("Не удалось создать папку %1").arg(QDir::toNativeSeparators(plan.folder)));
    try {
        if (QFileInfo::exists(plan.declarationFileName))
            maintenance::keepBackup(settings.FcurDir, plan.declarationFileName);
        copyFileAtomically(settings.FKalvorFileName, plan.kalvorFileName);
        copyFileAtomically(table, plan.declarationFileName);
    } catch (...) {
        // A period that could not be made leaves nothing of itself behind.
        if (!kalvorExisted)
            QFile::remove(plan.kalvorFileName);
        if (!folderExisted)
            QDir().rmdir(plan.folder);
        throw;
    }

    settings.SetPeriodMonth(plan.month);
    settings.SetPeriodYear(plan.year);
    settings.SetPeriodString(plan.periodString);
    settings.SetINNYYMMCC(plan.stem);
    settings.SetKalvorFileName(plan.kalvorFileName);
    settings.SetDeclarationFileName(plan.declarationFileName);
    IniFile &ini = settings.FIniFile;
    ini.writeString(config::kLastPeriod, config::kPeriod, plan.periodString);
    ini.writeString(config::kLastPeriod, config::kStem, plan.stem);
    ini.writeString(config::kLastPeriod, config::kKalvor, plan.kalvorFileName);
    ini.writeString(config::kLastPeriod, config::kDeclaration, plan.declarationFileName);
}

} // namespace kalvor::period
