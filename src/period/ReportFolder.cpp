#include "period/ReportFolder.h"

#include "app/PeriodSwitch.h"
#include "app/RequisitesLine.h"
#include "app/TAppSettings.h"
#include "period/FieldText.h"
#include "store/DataPacketReader.h"
#include "store/DeclarationKey.h"
#include "store/DeclarationSchema.h"
#include "store/FileCopy.h"
#include "store/KalvorError.h"
#include "store/Table.h"
#include "store/ValueText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <vector>

namespace kalvor::period {

namespace {

QString text(const char *message)
{
    return QString::fromUtf8(message);
}

bool isTwoDigits(const QString &name, int offset)
{
    const QChar a = name.at(offset);
    const QChar b = name.at(offset + 1);
    return a >= u'0' && a <= u'9' && b >= u'0' && b <= u'9';
}

int requiredField(const TableData &data, QStringView name, const QString &fileName)
{
    const int field = columnIndex(data, name);
    if (field < 0)
        throw KalvorError(QStringLiteral("В таблице %1 нет поля %2").arg(fileName, name.toString()));
    return field;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Of many faulty rows the first few are named; the rest are counted.
constexpr qint64 kListedRows = 10;

QString utf8ToText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A row as the user finds it: by its key, or by its place when it has none.
QString rowName(const TableData &data, const CellRow &cells, int keyField, std::uint32_t record)
{
    if (keyField >= 0 && !cells[keyField].isNull())
        return utf8ToText(data.text(cells[keyField]));
    return QStringLiteral("№%1").arg(record + 1);
}

// The first current row in the order the file keeps them, or none.
std::optional<std::uint32_t> firstVisibleRecord(const TableData &data)
{
    for (const std::uint32_t record : data.fileOrder())
        if (RowState::isVisible(data.rowState(record)))
            return record;
    return std::nullopt;
}

qint64 departmentCountOf(const QString &kalvorFileName)
{
    TableData requisites;
    readDataPacketFile(kalvorFileName, requisites);
    const int field = requiredField(requisites, u"department_count", kalvorFileName);
    const std::optional<std::uint32_t> record = firstVisibleRecord(requisites);
    if (!record)
        return 0;
    return valuetext::parseInteger(requisites.text(requisites.recordCells(*record)[field])).value_or(0);
}

// Copies the requisites to temp/kalvor.xml and builds them from there, so that the report's own file is
// never held open; the scratch copy is removed whatever happens.
TKalvor readRequisites(const QString &curDir, const QString &kalvorFileName)
{
    QDir().mkpath(curDir + QStringLiteral("temp"));
    const QString scratch = curDir + QStringLiteral("temp/kalvor.xml");
    QFile::remove(scratch);
    copyFileAtomically(kalvorFileName, scratch);
    Table table(scratch);
    const auto discard = [&table, &scratch]() noexcept {
        try {
            table.close();
        } catch (...) {
            // The scratch copy goes anyway.
        }
        QFile::remove(scratch);
    };
    TKalvor kalvor;
    try {
        table.open();
        kalvor = TKalvor::Create(&table);
    } catch (const KalvorError &error) {
        discard();
        // The user knows the report's file, not the scratch copy.
        QString message = QString(error.message()).replace(scratch, kalvorFileName);
        if (!message.contains(kalvorFileName))
            message += QStringLiteral(" (%1)").arg(kalvorFileName);
        throw KalvorError(message);
    } catch (...) {
        discard();
        throw;
    }
    discard();
    return kalvor;
}

} // namespace

FolderPeriod folderPeriod(const QString &folder)
{
    FolderPeriod period;
    period.name = QFileInfo(QDir::cleanPath(folder)).fileName();
    const QString &name = period.name;
    if (name.size() != 6 || !isTwoDigits(name, 2) || !isTwoDigits(name, 4)) {
        period.message = text(kFolderNameMessage);
        return period;
    }
    period.year = name.mid(2, 2).toInt();
    period.month = name.mid(4, 2).toInt();
    if (period.month > 12) {
        period.message = text(kFolderMonthMessage);
        return period;
    }
    period.valid = true;
    return period;
}

ReportFolderCheck checkReportFolder(const QString &folder)
{
    ReportFolderCheck check;
    const QString path = QDir::cleanPath(folder);
    const FolderPeriod period = folderPeriod(path);
    if (!period.valid) {
        check.messages.append(period.message);
        return check;
    }
    const int year = period.year;
    const int month = period.month;
    const QString &name = period.name;

    const QDir dir(path);
    const QStringList names =
        dir.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &file : names) {
        if (file.size() != 22 && file.size() != 23) {
            check.messages.append(text(kWrongFileNameMessage));
            continue;
        }
        if (file.at(18) == u'd')
            check.kalvorFileName = dir.filePath(file);
        else
            check.declarationFileName = dir.filePath(file);
    }
    if (check.declarationFileName.isEmpty() || check.kalvorFileName.isEmpty()) {
        check.messages.append(text(kFilesMissingMessage));
        return check;
    }
    check.accepted = true;
    check.year = year;
    check.month = month;
    check.periodString = name;
    return check;
}

Verification verifyReport(const QString &declarationFileName, const QString &kalvorFileName)
{
    const qint64 departments = std::max<qint64>(departmentCountOf(kalvorFileName), 0);

    TableData declaration;
    readDataPacketFile(declarationFileName, declaration);
    const int restField = requiredField(declaration, u"rest", declarationFileName);
    const int departmentField = requiredField(declaration, u"department_code", declarationFileName);

    // A table of n rows can name at most n subdivisions, so a wild count never costs more than the table.
    const std::size_t rows = declaration.recordCount();
    std::vector<bool> present(static_cast<std::size_t>(std::min<qint64>(departments, static_cast<qint64>(rows))));
    std::size_t presentCount = 0;
    bool negativeRest = false;
    // Columns of the wrong type and remains that are no number fail the report: read as 0 they would
    // hide a negative stock.
    QStringList faults;
    for (const QString &fault : declarationColumnFaults(declaration, ColumnCheck::TypesOnly))
        faults.append(QStringLiteral("Декларация %1: %2").arg(declarationFileName, fault));
    const int keyField = columnIndex(declaration, u"dkey");
    qint64 unreadableRests = 0;
    for (std::uint32_t record = 0; record < rows; ++record) {
        if (!RowState::isVisible(declaration.rowState(record)))
            continue;
        const CellRow cells = declaration.recordCells(record);
        const Cell &rest = cells[restField];
        const std::string_view restText = declaration.text(rest);
        const std::optional<double> restValue = valuetext::parseDecimal(restText);
        if (!rest.isNull() && !restText.empty() && !restValue && ++unreadableRests <= kListedRows)
            faults.append(QStringLiteral("Строка %1: остаток rest «%2» не является числом")
                              .arg(rowName(declaration, cells, keyField, record), utf8ToText(restText)));
        if (restValue.value_or(0) < 0)
            negativeRest = true;
        const Cell &code = cells[departmentField];
        if (code.isNull())
            continue;
        // Codes that are not whole numbers name no subdivision.
        const std::optional<qint64> n = valuetext::parseInteger(trimmed(declaration.text(code)));
        if (n && *n >= 1 && *n <= static_cast<qint64>(present.size()) && !present[static_cast<std::size_t>(*n - 1)]) {
            present[static_cast<std::size_t>(*n - 1)] = true;
            ++presentCount;
        }
    }

    if (unreadableRests > kListedRows)
        faults.append(
            QStringLiteral("Еще строк с остатком, который не является числом: %1").arg(unreadableRests - kListedRows));

    Verification result;
    if (static_cast<qint64>(presentCount) < departments)
        result.messages.append(text(kDepartmentsMissingMessage));
    // One message for all the faults: the window shows each message in a box of its own.
    if (!faults.isEmpty())
        result.messages.append(faults.join(u'\n'));
    result.success = !negativeRest && faults.isEmpty();
    result.messages.append(text(result.success ? kVerificationPassedMessage : kVerificationFailedMessage));
    return result;
}

QString reportVersion(const QString &declarationFileName)
{
    TableData data;
    readDataPacketFile(declarationFileName, data);
    const int keyField = requiredField(data, u"dkey", declarationFileName);
    const int versionField = columnIndex(data, u"version");
    if (versionField < 0)
        return text(kUnknownVersionText);

    // The first invoice in key order; of equal keys the one stored first, as an ordered table shows it.
    std::optional<std::uint32_t> first;
    std::string_view firstKey;
    for (const std::uint32_t record : data.fileOrder()) {
        if (!RowState::isVisible(data.rowState(record)))
            continue;
        const std::string_view key = data.text(data.recordCells(record)[keyField]);
        if (dkey::kindOf(key) == dkey::KeyKind::Invoice && (!first || key < firstKey)) {
            first = record;
            firstKey = key;
        }
    }
    if (!first)
        return text(kUnknownVersionText);
    const std::string_view version = data.text(data.recordCells(*first)[versionField]);
    if (version.empty())
        return text(kUnknownVersionText);
    return QString::fromUtf8(version.data(), static_cast<qsizetype>(version.size()));
}

LoadedReport loadReportFolder(TAppSettings &settings, const ReportFolderCheck &check)
{
    if (!check.accepted)
        throw KalvorError(check.messages.isEmpty() ? text(kFilesMissingMessage) : check.messages.last());

    // Everything is read before the settings change, so a failure leaves the previous period in place.
    const TKalvor kalvor = readRequisites(settings.FcurDir, check.kalvorFileName);
    LoadedReport loaded;
    loaded.versionText = reportVersion(check.declarationFileName);
    loaded.requisitesLine = requisitesLine(kalvor);

    settings.SetPeriodString(check.periodString);
    settings.SetPeriodMonth(check.month);
    settings.SetPeriodYear(check.year);
    settings.SetDeclarationFileName(check.declarationFileName);
    settings.SetKalvorFileName(check.kalvorFileName);
    settings.Setkalvor(kalvor);
    // New invoices of the loaded report get its filer's INN and its month.
    settings.SetINNYYMMCC(periodStem(settings, check.periodString));
    return loaded;
}

Verification verifyFolder(const QString &folder)
{
    const ReportFolderCheck check = checkReportFolder(folder);
    Verification result;
    result.messages = check.messages;
    bool passed = false;
    if (check.accepted) {
        try {
            const Verification verification = verifyReport(check.declarationFileName, check.kalvorFileName);
            result.messages += verification.messages;
            passed = verification.success;
        } catch (const KalvorError &error) {
            result.messages.append(error.message());
        }
    }
    result.success = passed && !result.messages.isEmpty() && result.messages.last() == text(kVerificationPassedMessage);
    return result;
}

} // namespace kalvor::period
