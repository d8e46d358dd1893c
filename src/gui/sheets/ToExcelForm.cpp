#include "gui/sheets/ToExcelForm.h"

#include "sheets/XlsxWorkbook.h"
#include "store/KalvorError.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace kalvor::gui {

void TToExcel::run()
{
    ToExcel->ExportToExcel();
}

TToExcelForm::TToExcelForm(sheets::SheetExportPlan plan, QWidget *parent)
    : TToExcelForm(std::move(plan), QStringLiteral("Выгрузка в Excel"),
                   QStringLiteral("Ошибки при выгрузке ( см. файл error.log ) "), parent)
{}

TToExcelForm::TToExcelForm(sheets::SheetExportPlan plan, const QString &caption, const QString &errorsCaption,
                           QWidget *parent)
    : QDialog(parent), m_plan(std::move(plan))
{
    setObjectName(QStringLiteral("ToExcelForm"));
    setWindowTitle(caption);
    setModal(true);

    Current = new QLabel(QStringLiteral("0"));
    Current->setObjectName(QStringLiteral("Current"));
    Procent = new QLabel(QStringLiteral("0"));
    Procent->setObjectName(QStringLiteral("Procent"));
    ProgressBarTotal = new QProgressBar;
    ProgressBarTotal->setObjectName(QStringLiteral("ProgressBarTotal"));
    ProgressBarTotal->setRange(0, 0); // busy until the rows are counted
    ProgressBarTotal->setMinimumWidth(360);
    Button1 = new QPushButton(QStringLiteral("Отмена"));
    Button1->setObjectName(QStringLiteral("Button1"));
    auto *errors = new QGroupBox(errorsCaption);
    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    auto *errorsLayout = new QVBoxLayout(errors);
    errorsLayout->addWidget(Memo1);

    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Текущая запись:")), 0, 0);
    layout->addWidget(Current, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Всего записей:")), 1, 0);
    layout->addWidget(Procent, 1, 1);
    layout->addWidget(ProgressBarTotal, 2, 0, 1, 2);
    layout->addWidget(Button1, 2, 2);
    layout->addWidget(errors, 3, 0, 1, 3);
    resize(520, 300);

    connect(Button1, &QPushButton::clicked, this, &TToExcelForm::reject);
    // Emitted on the worker, shown on the window's thread.
    connect(this, &TToExcelForm::exportStarted, this, &TToExcelForm::showStarted, Qt::QueuedConnection);
    connect(this, &TToExcelForm::exportProgressed, this, &TToExcelForm::showProgress, Qt::QueuedConnection);
    connect(this, &TToExcelForm::lineAdded, Memo1, &QPlainTextEdit::appendPlainText, Qt::QueuedConnection);
    connect(this, &TToExcelForm::exportFinished, this, &TToExcelForm::finish, Qt::QueuedConnection);
}

TToExcelForm::~TToExcelForm()
{
    if (m_thread) {
        terminateThread = true;
        m_thread->wait();
    }
}

void TToExcelForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_thread)
        QTimer::singleShot(0, this, &TToExcelForm::FormActivate);
}

void TToExcelForm::FormActivate()
{
    if (m_thread)
        return;
    m_thread = std::make_unique<TToExcel>(this);
    m_thread->start();
}

Progress TToExcelForm::progress()
{
    Progress p;
    p.started = [this](qint64 total) {
        m_total_rows = total;
        m_stride = std::max<qint64>(1, total / 200);
        Q_EMIT exportStarted(total);
    };
    p.advanced = [this](qint64 done) {
        if (done % m_stride == 0 || done == m_total_rows)
            Q_EMIT exportProgressed(done);
    };
    p.cancelled = [this] { return terminateThread.load(); };
    return p;
}

void TToExcelForm::guarded(const std::function<void()> &work)
{
    try {
        work();
    } catch (const KalvorError &e) {
        m_error = e.message();
    } catch (const std::exception &e) {
        m_error = QString::fromLocal8Bit(e.what());
    }
}

void TToExcelForm::handOver(const sheets::XlsxWorkbook &workbook, const sheets::SheetLayout &sheet)
{
    const QString name = QFileInfo(m_plan.templateFile).fileName();
    const QString path = sheets::freeWorkbookName(QDir(m_plan.curDir).filePath(QStringLiteral("temp")), name);
    workbook.save(sheet, path);
    m_workbook = path;
}

void TToExcelForm::ExportToExcel()
{
    guarded([this] {
        const sheets::XlsxWorkbook workbook = sheets::XlsxWorkbook::open(m_plan.templateFile);
        const sheets::DeclarationSheet laidOut = sheets::exportDeclaration(
            m_plan, workbook, [this](const QString &line) { Q_EMIT lineAdded(line); }, progress());
        handOver(workbook, laidOut.sheet);
        m_complete = laidOut.complete;
        m_total = laidOut.periodTotal;
    });
    doClose = true;
    Q_EMIT exportFinished();
}

void TToExcelForm::showStarted(qint64 total)
{
    ProgressBarTotal->setRange(0, static_cast<int>(std::clamp<qint64>(total, 1, std::numeric_limits<int>::max())));
    ProgressBarTotal->setValue(0);
    Procent->setText(QString::number(total));
    Current->setText(QStringLiteral("0"));
}

void TToExcelForm::showProgress(qint64 done)
{
    Current->setText(QString::number(done));
    if (done >= ProgressBarTotal->maximum())
        ProgressBarTotal->setRange(0, 0); // the workbook is being written
    else
        ProgressBarTotal->setValue(static_cast<int>(done));
}

void TToExcelForm::finish()
{
    if (m_thread)
        m_thread->wait();
    accept();
}

void TToExcelForm::reject()
{
    // While the worker runs a close only asks it to stop; it closes the window itself.
    if (!doClose) {
        terminateThread = true;
        return;
    }
    QDialog::reject();
}

void TToExcelForm::closeEvent(QCloseEvent *event)
{
    if (!doClose) {
        terminateThread = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

TToExcelErrorForm::TToExcelErrorForm(sheets::SheetExportPlan plan, const sheets::ErrorReportOptions &options,
                                     QWidget *parent)
    : TToExcelForm(std::move(plan), QStringLiteral("Выгрузка ошибок в Excel"),
                   QStringLiteral("Ошибки при выгрузке ( см. файл error.log ) "), parent),
      m_options(options)
{
    setObjectName(QStringLiteral("ToExcelErrorForm"));
}

void TToExcelErrorForm::ExportToExcel()
{
    guarded([this] {
        const sheets::XlsxWorkbook workbook = sheets::XlsxWorkbook::open(m_plan.templateFile);
        const sheets::ErrorReport laidOut = sheets::exportErrorReport(m_plan, workbook, m_options, progress());
        handOver(workbook, laidOut.sheet);
        m_complete = laidOut.complete;
    });
    doClose = true;
    Q_EMIT exportFinished();
}

} // namespace kalvor::gui
