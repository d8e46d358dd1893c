#include "gui/period/TransferRemainsForm.h"

#include "app/Version.h"
#include "store/KalvorError.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>

namespace kalvor::gui {

void TRemainsThread::run()
{
    TransferRemains->Transfer();
}

TTransferRemainsForm::TTransferRemainsForm(TAppSettings &settings, period::CarryOverPlan plan, QWidget *parent)
    : TTransferRemainsForm(settings, QStringLiteral("Перенос остатков"), {}, parent)
{
    m_pass = [this, plan = std::move(plan), version = versionText()](const Progress &progress) {
        m_summary = period::carryOverRemains(plan, version, progress);
    };
    m_errorPrefix = QStringLiteral("error in RemainsThread.TransferRemains\n");
}

TTransferRemainsForm::TTransferRemainsForm(TAppSettings &settings, const QString &caption, Pass pass, QWidget *parent)
    : QDialog(parent), AppSettings(settings), m_pass(std::move(pass))
{
    setObjectName(QStringLiteral("TransferRemainsForm"));
    setWindowTitle(caption);
    // A title bar without a close box: the window closes itself when the pass ends.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    Current = new QLabel(QStringLiteral("0"));
    Current->setObjectName(QStringLiteral("Current"));
    Procent = new QLabel(QStringLiteral("0"));
    Procent->setObjectName(QStringLiteral("Procent"));
    ProgressBarTotal = new QProgressBar;
    ProgressBarTotal->setObjectName(QStringLiteral("ProgressBarTotal"));
    // Busy until the rows are counted: reading the previous table comes first.
    ProgressBarTotal->setRange(0, 0);
    ProgressBarTotal->setMinimumWidth(320);

    auto *layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Текущая запись:")), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Всего записей:")), 0, 1);
    layout->addWidget(Current, 1, 0);
    layout->addWidget(Procent, 1, 1);
    layout->addWidget(ProgressBarTotal, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Emitted on the worker, shown on the window's thread.
    connect(this, &TTransferRemainsForm::transferStarted, this, &TTransferRemainsForm::showStarted,
            Qt::QueuedConnection);
    connect(this, &TTransferRemainsForm::transferProgressed, this, &TTransferRemainsForm::showProgress,
            Qt::QueuedConnection);
    connect(this, &TTransferRemainsForm::transferFinished, this, &TTransferRemainsForm::finish, Qt::QueuedConnection);
}

TTransferRemainsForm::~TTransferRemainsForm()
{
    if (m_thread)
        m_thread->wait();
}

void TTransferRemainsForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Started once the window is on the screen, so the first repaint is not held up by the pass.
    if (!m_thread)
        QTimer::singleShot(0, this, &TTransferRemainsForm::FormActivate);
}

void TTransferRemainsForm::FormActivate()
{
    if (m_thread)
        return;
    repaint();
    m_thread = std::make_unique<TRemainsThread>(this);
    m_thread->start();
}

void TTransferRemainsForm::Transfer()
{
    // A signal per row would flood the window's queue: about two hundred updates are plenty.
    qint64 total = 0;
    qint64 stride = 1;
    Progress progress;
    progress.started = [&](qint64 rows) {
        total = rows;
        stride = std::max<qint64>(1, rows / 200);
        Q_EMIT transferStarted(rows);
    };
    progress.advanced = [&](qint64 done) {
        if (done % stride == 0 || done == total)
            Q_EMIT transferProgressed(done);
    };
    QString error;
    try {
        m_pass(progress);
    } catch (const KalvorError &e) {
        error = e.message();
    } catch (const std::exception &e) {
        error = QString::fromLocal8Bit(e.what());
    }
    Q_EMIT transferFinished(error);
}

void TTransferRemainsForm::showStarted(qint64 total)
{
    m_total = total;
    ProgressBarTotal->setRange(0, static_cast<int>(std::max<qint64>(total, 1)));
    ProgressBarTotal->setValue(0);
    Procent->setText(QString::number(total));
    Current->setText(QStringLiteral("0"));
}

void TTransferRemainsForm::showProgress(qint64 done)
{
    Current->setText(QString::number(done));
    // After the last row the new table is written: busy again until the window closes.
    if (done >= m_total)
        ProgressBarTotal->setRange(0, 0);
    else
        ProgressBarTotal->setValue(static_cast<int>(done));
}

void TTransferRemainsForm::finish(const QString &error)
{
    if (m_thread)
        m_thread->wait();
    m_error = error.isEmpty() ? QString() : m_errorPrefix + error;
    m_finished = true;
    ProgressBarTotal->setRange(0, static_cast<int>(std::max<qint64>(m_total, 1)));
    ProgressBarTotal->setValue(static_cast<int>(m_total));
    if (m_error.isEmpty())
        accept();
    else
        QDialog::reject();
}

void TTransferRemainsForm::reject()
{
    if (m_finished)
        QDialog::reject();
}

void TTransferRemainsForm::closeEvent(QCloseEvent *event)
{
    if (!m_finished)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace kalvor::gui
