#include "period/Reconciliation.h"
#include "app/TAppSettings.h"
#include "editing/Balance.h"
#include "store/KalvorError.h"
#include "store/ValueText.h"
#include "support/DeclarationRows.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::period;
using namespace kalvor::test;

namespace {

// A workspace folder whose declaration holds the given rows.
struct Workspace {
    explicit Workspace(const QList<QByteArray> &rows)
    {
        settings.SetcurDir(dir.path() + u'/');
        settings.SetDeclarationFileName(writeDeclaration(dir.path(), QStringLiteral("d.xml"), rows));
    }
    QStringList logLines() const { return textFileLines(dir.file(QStringLiteral("error.log"))); }
    TempDir dir;
    TAppSettings settings;
};

QByteArray row(int invoice, int position, const QByteArray &more)
{
    return "dkey=\"" + declarationKey(invoice, position) + "\" " + more;
}

// rest_volume 10 + volume 5 - volume_charges 3 leaves 12.
QByteArray twelveLeft(const QByteArray &rest)
{
    return "ttn_numer=\"Т-1\" production_name=\"Водка &quot;Тула&quot;\" department_code=\"710701234501\" "
           "rest_volume=\"10.000\" volume=\"5.000\" volume_charges=\"3.000\" rest=\"" +
           rest + "\"";
}

QByteArray purchase(const QByteArray &sum)
{
    return "package_count=\"10\" purches_price=\"2.50\" sum_coming=\"" + sum + "\"";
}

} // namespace

TEST(Reconciliation, RemainsAreComparedToTwoDecimals)
{
    Workspace ws({row(1, 0, {}), row(1, 1, twelveLeft("12.000")), row(1, 2, twelveLeft("12.004")),
                  row(1, 3, twelveLeft("12.010")), row(1, 4, twelveLeft("11.995"))});
    const ReconciliationResult r = reconcileDeclaration(ws.settings);
    ASSERT_EQ(r.findings.size(), 1u);
    const ReconciliationFinding &f = r.findings[0];
    EXPECT_EQ(f.dkey, QString::fromLatin1(declarationKey(1, 3)));
    EXPECT_EQ(f.ttnNumber, QStringLiteral("Т-1"));
    EXPECT_EQ(f.productionName, QStringLiteral("Водка \"Тула\""));
    EXPECT_EQ(f.departmentCode, QStringLiteral("710701234501"));
    EXPECT_EQ(f.storedRest, QStringLiteral("12,010"));
    EXPECT_EQ(f.computedRest, QStringLiteral("12,00"));
    EXPECT_FALSE(f.sumDiffers());
    EXPECT_EQ(r.message, QStringLiteral("Количество ошибок: 1 ( см. файл error.log)"));
}

TEST(Reconciliation, PurchaseSumIsInThousandsOfRoublesToThreeDecimals)
{
    Workspace ws({row(1, 1, purchase("0.025")), row(1, 2, purchase("25.000")), row(1, 3, purchase("0.026")),
                  row(1, 4, purchase("0.0251"))});
    const ReconciliationResult r = reconcileDeclaration(ws.settings);
    ASSERT_EQ(r.findings.size(), 2u);
    const ReconciliationFinding &f = r.findings[0];
    EXPECT_EQ(f.dkey, QString::fromLatin1(declarationKey(1, 2)));
    EXPECT_EQ(f.packageCount, QStringLiteral("10"));
    EXPECT_EQ(f.purchasePrice, QStringLiteral("2,50"));
    EXPECT_EQ(f.storedSum, QStringLiteral("25,000"));
    EXPECT_EQ(f.computedSum, QStringLiteral("0,025"));
    EXPECT_FALSE(f.restDiffers());
    // A thousandth of a thousand roubles is a difference although it vanishes at two decimals.
    EXPECT_EQ(r.findings[1].dkey, QString::fromLatin1(declarationKey(1, 3)));
}

TEST(Reconciliation, OneLinePerRowWithTheFieldsOfWhatDisagrees)
{
    Workspace ws({row(1, 1, twelveLeft("13.000")),                            // remains only
                  row(1, 2, twelveLeft("13.000") + ' ' + purchase("25.000")), // both
                  row(1, 3, twelveLeft("12.000") + ' ' + purchase("25.000")), // sum only, after the others
                  row(1, 4, twelveLeft("12.000") + ' ' + purchase("0.025"))});
    const ReconciliationResult r = reconcileDeclaration(ws.settings);
    ASSERT_EQ(r.findings.size(), 3u);

    const QStringList lines = ws.logLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("dkey|№ Накладной|Продукция|Код подразделения|Остаток текущий|Остаток "
                                       "расчетный|Приход в л.|Цена закупки, руб.|Сумма текущая, тыс.руб.|Сумма "
                                       "расчетная, тыс.руб.||||"));
    const auto key = [](int position) { return QString::fromLatin1(declarationKey(1, position)); };
    const QString common = QStringLiteral("|Т-1|Водка \"Тула\"|710701234501|");
    EXPECT_EQ(lines[1], key(1) + common + QStringLiteral("13,000|12,00||||||||"));
    EXPECT_EQ(lines[2], key(2) + common + QStringLiteral("13,000|12,00|10|2,50|25,000|0,025||||"));
    EXPECT_EQ(lines[3], key(3) + common + QStringLiteral("||10|2,50|25,000|0,025||||"));
    for (const QString &line : lines)
        EXPECT_EQ(line.split(u'|').size(), 14) << line.toStdString();
    for (std::size_t i = 0; i < r.findings.size(); ++i)
        EXPECT_EQ(r.findings[i].logLine(), lines[static_cast<qsizetype>(i) + 1]);
}

TEST(Reconciliation, EmptyTableGivesHeaderAloneAndReplacesTheOldLog)
{
    Workspace ws({});
    ws.dir.write(QStringLiteral("error.log"), "Не выгрузилось ттн №: 5\n");
    const ReconciliationResult r = reconcileDeclaration(ws.settings);
    EXPECT_EQ(r.message, QStringLiteral("Количество ошибок: 0 ( см. файл error.log)"));
    EXPECT_EQ(ws.logLines(), QStringList{reconciliationHeader()});
}

TEST(Reconciliation, RowsComputedByTheProgramNeverShowUp)
{
    // Values as the position dialog stores them: each computed in double and rounded to its column.
    // Halfway cases and sums of inexact binary fractions must not be reported against it.
    QList<QByteArray> rows;
    int position = 0;
    for (int kopecks = 1; kopecks <= 2000; kopecks += 7) {
        for (const int count : {1, 3, 7, 25, 333}) {
            const double price = kopecks / 100.0;
            const std::string sum = valuetext::formatDecimal(price * count / 1000, 3);
            // Each term is stored at three decimals first; the remains are computed from the stored terms.
            const auto stored = [](double value) { return valuetext::formatDecimal(value, 3); };
            const auto back = [](const std::string &text) { return *valuetext::parseDecimal(text); };
            BalanceTerms t;
            t.other_coming = back(stored(kopecks / 1000.0));
            t.volume = back(stored(count * 0.7));
            t.rest_volume = back(stored(count * 0.1));
            t.volume_charges = back(stored(kopecks / 333.0));
            t.writeoff_volume_charges = back(stored(0.005 * (kopecks % 3)));
            const std::string rest = stored(balanceRest(t));
            QByteArray attributes = "package_count=\"" + QByteArray::number(count) + "\" purches_price=\"" +
                                    QByteArray::fromStdString(valuetext::formatDecimal(price, 2)) + "\" sum_coming=\"" +
                                    QByteArray::fromStdString(sum) + "\"";
            for (const auto &[name, value] :
                 {std::pair{"other_coming", t.other_coming}, std::pair{"volume", t.volume},
                  std::pair{"rest_volume", t.rest_volume}, std::pair{"volume_charges", t.volume_charges},
                  std::pair{"writeoff_volume_charges", t.writeoff_volume_charges}})
                attributes += ' ' + QByteArray(name) + "=\"" + QByteArray::fromStdString(stored(value)) + '"';
            attributes += " rest=\"" + QByteArray::fromStdString(rest) + '"';
            rows.append(row(1, ++position, attributes));
        }
    }
    Workspace ws(rows);
    const ReconciliationResult r = reconcileDeclaration(ws.settings);
    EXPECT_TRUE(r.findings.empty()) << r.findings.front().logLine().toStdString();
}

TEST(Reconciliation, FindingsAreNotCappedAndProgressCountsEveryRow)
{
    QList<QByteArray> rows;
    for (int i = 1; i <= 10'005; ++i)
        rows.append(row(1 + i / 1000, i % 1000 + 1, "rest=\"1.000\""));
    Workspace ws(rows);
    qint64 total = -1;
    qint64 last = 0;
    Progress progress;
    progress.started = [&total](qint64 t) { total = t; };
    progress.advanced = [&last](qint64 done) { last = done; };
    const ReconciliationResult r = reconcileDeclaration(ws.settings, progress);
    EXPECT_EQ(r.findings.size(), 10'005u);
    EXPECT_EQ(ws.logLines().size(), 10'006);
    EXPECT_EQ(r.message, QStringLiteral("Количество ошибок: 10005 ( см. файл error.log)"));
    EXPECT_EQ(total, 10'005);
    EXPECT_EQ(last, 10'005);
}

TEST(Reconciliation, FailuresLeaveThePreviousLog)
{
    Workspace ws({row(1, 1, twelveLeft("13.000"))});
    ws.dir.write(QStringLiteral("error.log"), "previous\n");

    Progress progress;
    progress.cancelled = [] { return true; };
    EXPECT_THROW(reconcileDeclaration(ws.settings, progress), KalvorError);
    EXPECT_EQ(ws.logLines(), QStringList{QStringLiteral("previous")});

    ws.settings.SetDeclarationFileName(ws.dir.file(QStringLiteral("missing.xml")));
    try {
        reconcileDeclaration(ws.settings);
        ADD_FAILURE() << "a missing declaration must be reported";
    } catch (const KalvorError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("missing.xml"))) << e.what();
    }
    EXPECT_EQ(ws.logLines(), QStringList{QStringLiteral("previous")});
}
