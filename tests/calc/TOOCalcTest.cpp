#include "PrivateOffice.h"

#include "sheets/calc/OfficeSession.h"
#include "sheets/calc/TOOCalc.h"
#include "store/KalvorError.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>

using namespace kalvor;
using namespace kalvor::sheets::calc;
using namespace kalvor::test;

namespace {

QString messageOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const KalvorError &e) {
        return e.message();
    }
    return {};
}

} // namespace

// Names become URLs by the office's own conversion; a name that is a URL already, in any case, stays.
TEST(TOOCalcFiles, FileUrlsComeFromTheOfficesConversion)
{
    EXPECT_EQ(
        TOOCalc::FileUrl(QStringLiteral("/tmp/Отчёт за март/b.xls")),
        QStringLiteral("file:///tmp/%D0%9E%D1%82%D1%87%D1%91%D1%82%20%D0%B7%D0%B0%20%D0%BC%D0%B0%D1%80%D1%82/b.xls"));
    EXPECT_EQ(TOOCalc::FileUrl(QStringLiteral("FILE:///tmp/a.xls")), QStringLiteral("FILE:///tmp/a.xls"));
    EXPECT_EQ(TOOCalc::FileUrl(QStringLiteral("file:///tmp/a.xls")), QStringLiteral("file:///tmp/a.xls"));
    EXPECT_EQ(TOOCalc::FileUrl(QStringLiteral("a.xls")),
              QStringLiteral("file://") + QDir::currentPath() + QStringLiteral("/a.xls"));

    TOOMergedCells list;
    list.Add(2, 3, 4, 1);
    list.Add({5, 6, 7, 8});
    list.Delete(7);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Item(0), (TOORange{5, 6, 7, 8}));
    EXPECT_EQ(list.Item(1), TOORange{});
}

// Without an office the wrapper fails with the automation bridge's message, at once.
TEST(TOOCalcFiles, NoOfficeGivesTheServerMessage)
{
    OfficeOptions options;
    options.soffice = QStringLiteral("/nonexistent/soffice");
    options.pipeName = QStringLiteral("kalvor_test_nobody_listens");
    const QString message = messageOf([&] { TOOCalc calc(QString(), options); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Невозможно поднять com-сервер \"com.sun.star.ServiceManager\"\n")))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("/nonexistent/soffice"))) << message.toStdString();
}

TEST(TOOCalc, OperationsOnARealOffice)
{
    PrivateOffice office;
    const auto connection = office.connect();
    TOOCalc calc(connection, QString());
    ASSERT_TRUE(calc.hasDocument());

    // Any lower bounds: A[1,5] lands in B3, A[2,6] in C4; every element arrives as text.
    TOOVarArray a({{1, 2}, {5, 6}});
    a.at(1, 5) = QStringLiteral("Водка");
    a.at(1, 6) = 12.5;
    a.at(2, 5) = 3;
    a.at(2, 6) = QStringLiteral("конец");
    calc.SetRange(3, 2, a);
    const std::optional<TOOVarArray> back = calc.GetRange(QStringLiteral("B3:C4"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bounds(0).low, 0);
    EXPECT_EQ(back->at(0, 0).toString(), QStringLiteral("Водка"));
    EXPECT_TRUE(back->at(0, 1).toString().endsWith(QStringLiteral("12,5"))) << back->at(0, 1).toString().toStdString();
    EXPECT_TRUE(back->at(1, 0).toString().endsWith(u'3'));
    EXPECT_EQ(back->at(1, 1).toString(), QStringLiteral("конец"));
    EXPECT_EQ(messageOf([&] {
                  calc.SetRange(1, 1, TOOVarArray({{0, 3}}));
              }),
              QStringLiteral("TOOCalc.SetRange: параметр AValue должен быть вариантным массивом размерностью 2"));
    EXPECT_EQ(calc.ParseRange(QStringLiteral("B3:D7")), (TOORange{2, 3, 3, 5}));

    // The block rows of the export: texts copied from four and five rows down, B to E merged.
    calc.SetCellText(13, 2, QStringLiteral("Итого по накладной"));
    calc.SetCellText(14, 2, QStringLiteral("в том числе по видам продукции:"));
    calc.CopyRow(QStringLiteral("14:15"), 10);
    EXPECT_EQ(calc.GetCellFormula(10, 2).toString(), QStringLiteral("Итого по накладной"));
    EXPECT_EQ(calc.GetCellFormula(11, 2).toString(), QStringLiteral("в том числе по видам продукции:"));
    calc.CopyRowInt(QStringLiteral("222"), 21, 20);
    calc.LoadMergedCells(QStringLiteral("A1:G30"));
    ASSERT_NE(calc.MergedCells(), nullptr);
    ASSERT_EQ(calc.MergedCells()->Count(), 4);
    EXPECT_EQ(calc.MergedCells()->Item(0), (TOORange{2, 10, 4, 1}));
    EXPECT_EQ(calc.MergedCells()->Item(1), (TOORange{2, 11, 4, 1}));
    EXPECT_EQ(calc.MergedCells()->Item(2), (TOORange{2, 20, 4, 1}));
    EXPECT_EQ(calc.MergedCells()->Item(3), (TOORange{2, 21, 4, 1}));
    // A row inserted under a known one-row area takes its merge.
    calc.InsertRow(12, true);
    calc.InsertRow(40, false);
    calc.LoadMergedCells(QStringLiteral("A1:G30"));
    ASSERT_EQ(calc.MergedCells()->Count(), 5);
    EXPECT_EQ(calc.MergedCells()->Item(2), (TOORange{2, 12, 4, 1}));
    calc.RemoveRow(12);
    EXPECT_EQ(calc.GetCellFormula(11, 2).toString(), QStringLiteral("в том числе по видам продукции:"));

    EXPECT_TRUE(calc.Modified());
    calc.MarkAsSaved();
    EXPECT_FALSE(calc.Modified());
    EXPECT_TRUE(calc.GetSupportedFileTypes().contains(QStringLiteral("MS Excel 97\r\n")));

    // Stored as .xls, the file opens again as a template (untitled); other names open the file itself.
    const QString xls = office.dir.file(QStringLiteral("book.xls"));
    const QString upper = office.dir.file(QStringLiteral("book.XLS"));
    const QString ods = office.dir.file(QStringLiteral("book.ods"));
    calc.SaveAsExcel97(xls);
    calc.SaveCopyAs(ods);
    ASSERT_TRUE(QFile::copy(xls, upper));
    calc.Load(xls);
    EXPECT_EQ(calc.DocumentUrl(), QString());
    EXPECT_EQ(calc.GetCellFormula(3, 2).toString(), QStringLiteral("Водка"));
    calc.Load(upper);
    EXPECT_EQ(calc.DocumentUrl(), TOOCalc::FileUrl(upper));
    calc.Load(ods);
    EXPECT_EQ(calc.DocumentUrl(), TOOCalc::FileUrl(ods));
    EXPECT_EQ(calc.GetCellFormula(10, 2).toString(), QStringLiteral("Итого по накладной"));
}

// An office that stops answering, or that dies, ends the work with a clear message within the time-out.
TEST(TOOCalc, OfficeThatHangsOrDiesGivesAClearMessage)
{
    for (const int signal : {SIGSTOP, SIGKILL}) {
        PrivateOffice office;
        const auto connection = office.connect();
        TOOCalc calc(connection, QString());
        setCallTimeout(*connection, 3);
        const qint64 pid = officeProcess(*connection);
        ASSERT_GT(pid, 0);
        ASSERT_EQ(::kill(static_cast<pid_t>(pid), signal), 0);
        QElapsedTimer timer;
        timer.start();
        const QString message = messageOf([&] {
            for (int i = 1; i <= 1000; ++i)
                calc.SetCellText(i, 1, QStringLiteral("строка"));
        });
        EXPECT_LT(timer.elapsed(), 30000);
        if (signal == SIGSTOP) {
            EXPECT_EQ(message, QStringLiteral("LibreOffice не отвечает дольше 3 с: выгрузка прервана"));
            EXPECT_EQ(officeProcess(*connection), 0) << "the hung office of ours is ended";
        } else {
            EXPECT_TRUE(message.startsWith(QStringLiteral("Связь с LibreOffice прервалась"))) << message.toStdString();
        }
    }
}
