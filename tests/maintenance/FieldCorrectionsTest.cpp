#include "support/MaintenanceWorkspace.h"

#include "app/Startup.h"
#include "maintenance/Backup.h"
#include "maintenance/FieldCorrections.h"
#include "store/KalvorError.h"
#include "support/PacketText.h"
#include "support/QtPrinters.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::maintenance;
using namespace kalvor::test;

TEST(ConvertKinds, MapsOldCodesOncePerPeriodAndTheFlagSurvivesARestart)
{
    for (const auto &[from, to] : {std::pair{3, 6}, {4, 6}, {7, 6}, {8, 3}, {9, 7}, {10, 4}, {11, 8}, {12, 2}})
        EXPECT_EQ(convertedKindCode(from), to) << from;
    for (const int unchanged : {0, 1, 2, 5, 6, 13})
        EXPECT_FALSE(convertedKindCode(unchanged)) << unchanged;

    MaintenanceWorkspace ws({row(1), row(1, 1, 0, "production_code=\"3\""), row(1, 2, 0, "production_code=\"8\""),
                             row(1, 2, 1, "production_code=\"12\""), row(1, 3, 0, "production_code=\"5\"")});
    const MaintenanceResult r = convertKindProduction(ws.settings);
    EXPECT_EQ(r.message, QStringLiteral("Количество замен: 3"));
    EXPECT_EQ(ws.column("production_code"),
              (QStringList{QStringLiteral("00000100000000="), QStringLiteral("00000100000100=6"),
                           QStringLiteral("00000100000200=3"), QStringLiteral("00000100000201=2"),
                           QStringLiteral("00000100000300=5")}));

    // A later run of the program reads the flag from the file and the conversion is refused.
    const IniFile reread(ws.dir.file(QStringLiteral("tamrel.ini")));
    EXPECT_TRUE(isPeriodConverted(reread, QStringLiteral("201203")));
    EXPECT_FALSE(isPeriodConverted(reread, QStringLiteral("201204")));
    ws.settings.SetIniFile(IniFile(ws.dir.file(QStringLiteral("tamrel.ini"))));
    EXPECT_THROW(convertKindProduction(ws.settings), KalvorError);
    EXPECT_EQ(ws.column("production_code").at(1), QStringLiteral("00000100000100=6"));
}

TEST(RecomputePurchases, PriceFromTheSumPackagesFromLitresAndSumInThousands)
{
    MaintenanceWorkspace ws({row(1, 0, 0, "supply_name=\"А\""),
                             row(1, 1, 0, "volume=\"10.000\" package_volume=\"0.500\" sum_coming=\"1500.000\" "
                                          "volume_charges=\"2.000\""),
                             row(1, 1, 1, "package_volume=\"0.750\" volume_charges=\"1.500\""),
                             row(1, 2, 0, "volume=\"5.000\" sum_coming=\"100.000\"")});
    const MaintenanceResult r = recomputePurchases(ws.settings);
    // Position 1 counts twice, the transfer once, a position without package volume not at all.
    EXPECT_EQ(r.message, QStringLiteral("Количество замен: 3"));
    EXPECT_EQ(ws.column("purches_price").at(1), QStringLiteral("00000100000100=75.00"));
    EXPECT_EQ(ws.column("sum_coming").at(1), QStringLiteral("00000100000100=1.500"));
    EXPECT_EQ(ws.column("package_count_charges").at(1), QStringLiteral("00000100000100=4"));
    EXPECT_EQ(ws.column("package_count_charges").at(2), QStringLiteral("00000100000101=2"));
    EXPECT_EQ(ws.column("sum_coming").at(3), QStringLiteral("00000100000200=100.000"));
    // Rows without figures get none written into them.
    EXPECT_EQ(ws.column("volume").at(0), QStringLiteral("00000100000000="));
}

TEST(FillRegions, TheFirstFragmentInTableOrderDecides)
{
    EXPECT_EQ(regionForProducer(QStringLiteral("Московская область, ЗАО")), 90);
    EXPECT_EQ(regionForProducer(QStringLiteral("ЗАО Московский завод")), 97);
    EXPECT_EQ(regionForProducer(QStringLiteral("ООО Моск.обл.")), 90);
    EXPECT_EQ(regionForProducer(QStringLiteral("Ставрополь")), 26);
    EXPECT_EQ(regionForProducer(QStringLiteral("Беслан, Владикавказ")), 15);
    EXPECT_EQ(regionForProducer(QStringLiteral("Русская лоза, Москва")), 23);
    EXPECT_EQ(regionForProducer(QStringLiteral("ЗАО \"Ликсар\"")), 64);
    EXPECT_EQ(regionForProducer(QStringLiteral("С-Перетбург")), 47);
    EXPECT_EQ(regionForProducer(QStringLiteral("СПб")), 0);
    EXPECT_EQ(regionForProducer(QStringLiteral("московская область")), 0); // letter case counts
    EXPECT_EQ(regionForProducer(QString()), 0);

    MaintenanceWorkspace ws({row(1), row(1, 1, 0, "producer_name=\"Московская область, ЗАО\" region_code=\"50\""),
                             row(1, 2, 0, "producer_name=\"Тверской завод\"")});
    EXPECT_EQ(fillRegions(ws.settings).message, QStringLiteral("Количество замен: 3"));
    EXPECT_EQ(ws.column("region_code"), (QStringList{QStringLiteral("00000100000000=0"), QStringLiteral("00000100000100=90"),
                                                     QStringLiteral("00000100000200=0")}));
}

TEST(ClearTransfers, EmptiesTheTransferFiguresOfInvoicesAndPositionsOnly)
{
    const QByteArray figures = "other_coming=\"2.000\" department_code_inner=\"7\" other_charges=\"3.000\" "
                               "department_code_inner_charges=\"8\" rest=\"4.000\"";
    MaintenanceWorkspace ws({row(1), row(1, 1, 0, figures), row(1, 1, 1, figures)});
    EXPECT_EQ(clearTransferFigures(ws.settings).message, QStringLiteral("Количество замен: 2"));
    EXPECT_EQ(ws.column("other_coming"), (QStringList{QStringLiteral("00000100000000=0.000"),
                                                      QStringLiteral("00000100000100=0.000"),
                                                      QStringLiteral("00000100000101=2.000")}));
    EXPECT_EQ(ws.column("department_code_inner").at(1), QStringLiteral("00000100000100="));
    EXPECT_EQ(ws.column("other_charges").at(1), QStringLiteral("00000100000100=0.000"));
    EXPECT_EQ(ws.column("department_code_inner_charges").at(1), QStringLiteral("00000100000100="));
    EXPECT_EQ(ws.column("department_code_inner_charges").at(2), QStringLiteral("00000100000101=8"));
    EXPECT_EQ(ws.column("rest").at(1), QStringLiteral("00000100000100=4.000"));
}

TEST(WaybillMapping, NewNumberFirstOldSecondFirstLineDecidesMarkerExcludes)
{
    const WaybillMapping mapping = WaybillMapping::fromText(
        QStringLiteral("Н-1\tС-1\tкомментарий\r\n"
                       "Н-2\tС-2\n"
                       "Н-3\tС-3\tмагазин на Ленина, НЕ ЗАМЕНЯТЬ\n"
                       "Н-3б\tС-3\n"
                       "Н-1б\tС-1\n"
                       "без табуляции\n"
                       "\tпустой новый\n"));
    EXPECT_EQ(mapping.getFile(QStringLiteral("С-1")), QStringLiteral("Н-1"));
    EXPECT_EQ(mapping.getFile(QStringLiteral("С-2")), QStringLiteral("Н-2")); // two columns are enough
    EXPECT_EQ(mapping.getFile(QStringLiteral("С-3")), QStringLiteral("С-3"));
    EXPECT_EQ(mapping.getFile(QStringLiteral("пустой новый")), QString());
    EXPECT_EQ(mapping.getFile(QStringLiteral("без табуляции")), QStringLiteral("без табуляции"));
    EXPECT_EQ(mapping.getFile(QString()), QString());
    EXPECT_EQ(GetRightString(QStringLiteral("a\tb\tc")), QStringLiteral("b\tc"));
    EXPECT_EQ(GetRightString(QStringLiteral("abc")), QStringLiteral("abc"));
}

TEST(ReplaceWaybills, ReplacesOnEveryRowFromAWindowsFileAndCountsEveryRow)
{
    MaintenanceWorkspace ws({row(1, 0, 0, "ttn_numer=\"ТТН 5\""), row(1, 1, 0, "ttn_numer=\"ТТН 5\""), row(2),
                             row(3, 0, 0, "ttn_numer=\"99\"")});
    QDir().mkpath(ws.dir.file(QStringLiteral("data")));
    ws.dir.write(QStringLiteral("data/default1.txt"), ansi("Н-105\tТТН 5\r\n"));
    EXPECT_EQ(replaceWaybillNumbers(ws.settings).message, QStringLiteral("Количество замен: 4"));
    EXPECT_EQ(ws.column("ttn_numer"), (QStringList{QStringLiteral("00000100000000=Н-105"),
                                                   QStringLiteral("00000100000100=Н-105"),
                                                   QStringLiteral("00000200000000="), QStringLiteral("00000300000000=99")}));
}

TEST(Corrections, NothingToChangeLeavesTheFileAndMakesNoBackup)
{
    MaintenanceWorkspace ws({row(1, 0, 0, "ttn_numer=\"1\""), row(1, 1, 0, "production_code=\"5\"")});
    const QByteArray before = readAll(ws.declaration());
    EXPECT_EQ(replaceWaybillNumbers(ws.settings).message, QStringLiteral("Количество замен: 2"));
    EXPECT_EQ(convertKindProduction(ws.settings).message, QStringLiteral("Количество замен: 0"));
    EXPECT_EQ(readAll(ws.declaration()), before);
    EXPECT_TRUE(backupsOf(ws.settings.FcurDir, ws.declaration()).isEmpty());

    fillRegions(ws.settings);
    EXPECT_EQ(backupsOf(ws.settings.FcurDir, ws.declaration()).size(), 1);
    EXPECT_EQ(readAll(backupsOf(ws.settings.FcurDir, ws.declaration()).first()), before);
}
