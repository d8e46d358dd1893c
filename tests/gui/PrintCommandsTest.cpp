#include "ModalDriver.h"

#include "KalvorBuildInfo.h"
#include "app/DemoWorkspace.h"
#include "gui/MainWindow.h"
#include "gui/common/MessageBoxes.h"
#include "gui/sheets/PrintCommands.h"
#include "gui/sheets/ReportErrorSettingForm.h"
#include "gui/sheets/SheetCommands.h"
#include "gui/sheets/SheetPreviewDialog.h"
#include "support/QtPrinters.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kalvor;
using namespace kalvor::gui;
using namespace kalvor::test;

namespace {

// Runs `action` on the preview once it is open (after the export window that lays the sheet out), then
// closes it; a preview that never opens fails the test instead of hanging it.
class PreviewDriver final {
public:
    explicit PreviewDriver(std::function<void(SheetPreviewDialog &)> action) : m_action(std::move(action))
    {
        m_poll.setInterval(20);
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *preview = qobject_cast<SheetPreviewDialog *>(w); preview && preview->isVisible()) {
                    m_poll.stop();
                    m_ran = true;
                    m_action(*preview);
                    preview->CloseButton->click();
                    return;
                }
            if (m_started.elapsed() > 20000) {
                m_poll.stop();
                if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                    forceClose(*dialog);
            }
        });
        m_started.start();
        m_poll.start();
    }
    ~PreviewDriver() { EXPECT_TRUE(m_ran) << "the preview did not open"; }

private:
    std::function<void(SheetPreviewDialog &)> m_action;
    QTimer m_poll;
    QElapsedTimer m_started;
    bool m_ran = false;
};

class PrintCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        createDemoWorkspace(dir.path(), QStringLiteral(KALVOR_SOURCE_SHARE_DIR), 40);
        window = std::make_unique<TMainForm>(
            QStringList{QStringLiteral("kalvor"), QStringLiteral("--home"), dir.path()}, QString());
        window->FormCreate();
        window->printCommands()->setPdfFileAsker([this](QWidget *, const QString &suggested) {
            suggestions.append(suggested);
            return answers.isEmpty() ? QString() : answers.takeFirst();
        });
        MessageBoxes::clearShownTexts();
    }

    TempDir dir;
    std::unique_ptr<TMainForm> window;
    QStringList suggestions;
    QStringList answers;
};

} // namespace

// The PDF of the declaration is written where the user says,
// and the preview shows the same pages, turns them and writes the same file from its own button.
TEST_F(PrintCommandsTest, FileMenuSavesTheDeclarationAsPdfAndPreviewsTheSamePages)
{
    PrintCommands &print = *window->printCommands();
    EXPECT_EQ(print.PrintAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    print.SavePdfAction->trigger(); // no file name given: nothing happens
    EXPECT_TRUE(MessageBoxes::shownTexts().isEmpty());
    answers << dir.file(QStringLiteral("март.pdf"));
    print.SavePdfAction->trigger();
    ASSERT_EQ(suggestions.size(), 2);
    EXPECT_EQ(suggestions[1], dir.file(QStringLiteral("Декларация за март 2012.pdf")));
    ASSERT_EQ(MessageBoxes::shownTexts().size(), 1) << MessageBoxes::shownTexts().join(u'\n').toStdString();
    const QString said = MessageBoxes::shownTexts()[0];
    EXPECT_TRUE(said.startsWith(QStringLiteral("Файл %1 записан: страниц ").arg(dir.file(QStringLiteral("март.pdf")))))
        << said.toStdString();
    const int pages = said.section(u' ', -1).toInt();
    EXPECT_GT(pages, 1);
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("март.pdf"))));

    answers << dir.file(QStringLiteral("из просмотра.pdf"));
    PreviewDriver preview([&](SheetPreviewDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Предварительный просмотр — Декларация за март 2012"));
        EXPECT_EQ(dialog.PageCount->text(), QStringLiteral("из %1").arg(pages));
        EXPECT_EQ(dialog.PageNumber->maximum(), pages);
        QTest::keyClick(&dialog, Qt::Key_PageDown);
        EXPECT_EQ(dialog.PageNumber->value(), 2);
        QTest::keyClick(&dialog, Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(dialog.PageNumber->value(), pages);
        dialog.grab(); // the last page draws
        dialog.PdfButton->click();
    });
    print.PrintAction->trigger();
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("из просмотра.pdf"))));
    EXPECT_EQ(
        MessageBoxes::shownTexts().last(),
        QStringLiteral("Файл %1 записан: страниц %2").arg(dir.file(QStringLiteral("из просмотра.pdf"))).arg(pages));
}

// The settings dialog's two buttons put the error report on paper with the dialog's settings.
TEST_F(PrintCommandsTest, SettingsDialogPrintsAndSavesTheErrorReport)
{
    ModalDriver toPdf([](QDialog &dialog) {
        auto &form = static_cast<TReportErrorSettingForm &>(dialog);
        form.Edit_Vodka->setText(QStringLiteral(","));
        form.Btn_Pdf->click();
        EXPECT_TRUE(form.isVisible()); // a threshold that is no number is named first
        form.Edit_Vodka->setText(QStringLiteral("90"));
        form.Btn_Pdf->click();
    });
    answers << dir.file(QStringLiteral("ошибки.pdf"));
    window->sheetCommands()->ReportErrorSetting->trigger();
    ASSERT_EQ(suggestions.size(), 1);
    EXPECT_EQ(suggestions[0], dir.file(QStringLiteral("Отчет об ошибках за март 2012.pdf")));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("ошибки.pdf"))));
    EXPECT_TRUE(MessageBoxes::shownTexts().last().startsWith(QStringLiteral("Файл ")))
        << MessageBoxes::shownTexts().last().toStdString();

    ModalDriver toPreview([](QDialog &dialog) { static_cast<TReportErrorSettingForm &>(dialog).Btn_Print->click(); });
    PreviewDriver preview([](SheetPreviewDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Предварительный просмотр — Отчет об ошибках за март 2012"));
    });
    window->sheetCommands()->ReportErrorSetting->trigger();
}
