#include "period/Reconciliation.h"

#include "app/TAppSettings.h"
#include "editing/Balance.h"
#include "period/ErrorLog.h"
#include "period/FieldText.h"
#include "store/DataPacketReader.h"
#include "store/KalvorError.h"
#include "store/ValueText.h"

#include <charconv>
#include <cmath>

namespace kalvor::period {

namespace {

constexpr int kRestDecimals = 2;   // the remains are compared to two decimals,
constexpr int kStoredDecimals = 3; // after rounding as a column of three decimals stores them

// A value as the check compares it: first rounded as its column stores it, which removes the noise of
// the double arithmetic (a remains of -0.025 computed from terms of some hundreds of litres comes out
// as -0.02499999999998, which would otherwise round the other way), then to the compared decimals.
std::string comparedText(double value, int decimals)
{
    // formatDecimal refuses what no fixed column can hold; such a value is still compared, never thrown.
    if (!std::isfinite(value) || std::fabs(value) >= 1e14) {
        char buffer[400];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
        return ec == std::errc() ? std::string(buffer, end) : std::string("?");
    }
    const std::string stored = valuetext::formatDecimal(value, kStoredDecimals);
    if (decimals >= kStoredDecimals)
        return stored;
    return valuetext::formatDecimal(valuetext::parseDecimal(stored).value_or(0.0), decimals);
}

QString withComma(const std::string &text)
{
    QString result = QString::fromLatin1(text);
    result.replace(u'.', u',');
    return result;
}

// The columns the check reads, looked up once; a column the table lacks counts as empty.
struct Columns {
    explicit Columns(const TableData &data)
        : dkey(columnIndex(data, u"dkey")), ttnNumer(columnIndex(data, u"ttn_numer")),
          productionName(columnIndex(data, u"production_name")), departmentCode(columnIndex(data, u"department_code")),
          otherComing(columnIndex(data, u"other_coming")), volume(columnIndex(data, u"volume")),
          restVolume(columnIndex(data, u"rest_volume")), returnVolume(columnIndex(data, u"return_volume")),
          volumeCharges(columnIndex(data, u"volume_charges")),
          returnVolumeCharges(columnIndex(data, u"return_volume_charges")),
          writeoffVolumeCharges(columnIndex(data, u"writeoff_volume_charges")),
          otherCharges(columnIndex(data, u"other_charges")), rest(columnIndex(data, u"rest")),
          packageCount(columnIndex(data, u"package_count")), purchesPrice(columnIndex(data, u"purches_price")),
          sumComing(columnIndex(data, u"sum_coming"))
    {}
    int dkey, ttnNumer, productionName, departmentCode;
    int otherComing, volume, restVolume, returnVolume, volumeCharges, returnVolumeCharges, writeoffVolumeCharges,
        otherCharges, rest;
    int packageCount, purchesPrice, sumComing;
};

double number(const RowView &row, int field)
{
    return field < 0 ? 0.0 : row.asFloat(field);
}

} // namespace

QString ReconciliationFinding::logLine() const
{
    return QStringList{dkey,         ttnNumber,    productionName, departmentCode, storedRest,
                       computedRest, packageCount, purchasePrice,  storedSum,      computedSum}
               .join(u'|') +
           QStringLiteral("||||");
}

QString reconciliationHeader()
{
    return QStringLiteral("dkey|№ Накладной|Продукция|Код подразделения|Остаток текущий|Остаток расчетный|"
                          "Приход в л.|Цена закупки, руб.|Сумма текущая, тыс.руб.|Сумма расчетная, тыс.руб.||||");
}

ReconciliationResult reconcileDeclaration(const TAppSettings &settings, const Progress &progress)
{
    TableData data;
    readDataPacketFile(settings.FDeclarationFileName, data);
    const Columns c(data);

    const std::vector<std::uint32_t> order = data.fileOrder();
    qint64 total = 0;
    for (const std::uint32_t record : order)
        total += RowState::isVisible(data.rowState(record)) ? 1 : 0;
    progress.start(total);

    ReconciliationResult result;
    qint64 done = 0;
    for (const std::uint32_t record : order) {
        if (!RowState::isVisible(data.rowState(record)))
            continue;
        const RowView row(&data, data.recordCells(record));

        // The terms in the order every other caller of balanceRest adds them.
        BalanceTerms terms;
        terms.other_coming = number(row, c.otherComing);
        terms.volume = number(row, c.volume);
        terms.rest_volume = number(row, c.restVolume);
        terms.return_volume = number(row, c.returnVolume);
        terms.volume_charges = number(row, c.volumeCharges);
        terms.return_volume_charges = number(row, c.returnVolumeCharges);
        terms.writeoff_volume_charges = number(row, c.writeoffVolumeCharges);
        terms.other_charges = number(row, c.otherCharges);
        const std::string computedRest = comparedText(balanceRest(terms), kRestDecimals);
        const bool restDiffers = computedRest != comparedText(number(row, c.rest), kRestDecimals);

        // In thousands of roubles, as the position dialog stores it and the log header names it.
        const double sum = number(row, c.purchesPrice) * number(row, c.packageCount) / 1000;
        const std::string computedSum = comparedText(sum, kStoredDecimals);
        const bool sumDiffers = computedSum != comparedText(number(row, c.sumComing), kStoredDecimals);

        if (restDiffers || sumDiffers) {
            ReconciliationFinding &f = result.findings.emplace_back();
            f.dkey = displayTextOf(row, c.dkey);
            f.ttnNumber = displayTextOf(row, c.ttnNumer);
            f.productionName = displayTextOf(row, c.productionName);
            f.departmentCode = displayTextOf(row, c.departmentCode);
            if (restDiffers) {
                f.storedRest = displayTextOf(row, c.rest);
                f.computedRest = withComma(computedRest);
            }
            if (sumDiffers) {
                f.packageCount = displayTextOf(row, c.packageCount);
                f.purchasePrice = displayTextOf(row, c.purchesPrice);
                f.storedSum = displayTextOf(row, c.sumComing);
                f.computedSum = withComma(computedSum);
            }
        }
        progress.step(++done);
        if (progress.isCancelled())
            throw KalvorError(QStringLiteral("Сверка остатков прервана."));
    }

    {
        ErrorLogFile log;
        if (openErrorLog(log, settings.FcurDir, reconciliationHeader()))
            for (const ReconciliationFinding &f : result.findings)
                ErrorLogFileSaveTo(log, f.logLine());
        ErrorLogFileClose(log);
    }
    result.message = QStringLiteral("Количество ошибок: ") + QString::number(result.findings.size()) +
                     QStringLiteral(" ( см. файл error.log)");
    return result;
}

} // namespace kalvor::period
