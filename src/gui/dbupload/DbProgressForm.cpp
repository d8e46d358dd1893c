#include "gui/dbupload/DbProgressForm.h"

#include "gui/common/MessageBoxes.h"
#include "store/KalvorError.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kalvor::gui {

TDbProgressForm::TDbProgressForm(const QString &caption, Work work, QWidget *parent)
    : QDialog(parent), m_work(std::move(work))
{
    setObjectName(QStringLiteral("DbProgressForm"));
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);

    Current = new QLabel(QStringLiteral("Подключение к базе данных..."));
    Current->setObjectName(QStringLiteral("Current"));
    Current->setMinimumWidth(380);
    ProgressBarTotal = new QProgressBar;
    ProgressBarTotal->setObjectName(QStringLiteral("ProgressBarTotal"));
    ProgressBarTotal->setRange(0, 0);
    ButtonCancel = new QPushButton(QStringLiteral("Отмена"));
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Current);
    layout->addWidget(ProgressBarTotal);
    layout->addWidget(ButtonCancel, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Emitted on the worker, shown on the window's thread.
    connect(this, &TDbProgressForm::workStarted, this, &TDbProgressForm::showStarted, Qt::QueuedConnection);
    connect(this, &TDbProgressForm::workProgressed, this, &TDbProgressForm::showProgress, Qt::QueuedConnection);
    connect(this, &TDbProgressForm::currentChanged, Current, &QLabel::setText, Qt::QueuedConnection);
    connect(this, &TDbProgressForm::workFinished, this, &TDbProgressForm::finish, Qt::QueuedConnection);
    connect(ButtonCancel, &QPushButton::clicked, this, &TDbProgressForm::ButtonCancelClick);
}

TDbProgressForm::~TDbProgressForm()
{
    if (m_thread)
        m_thread->wait();
}

void TDbProgressForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_thread)
        QTimer::singleShot(0, this, &TDbProgressForm::FormActivate);
}

void TDbProgressForm::FormActivate()
{
    if (m_thread)
        return;
    m_thread.reset(QThread::create([this] {
        Progress progress;
        progress.started = [this](qint64 total) { Q_EMIT workStarted(total); };
        progress.advanced = [this](qint64 done) { Q_EMIT workProgressed(done); };
        progress.cancelled = [this] { return m_cancel.load(); };
        QString error;
        try {
            m_work(*this, progress);
        } catch (const KalvorError &e) {
            error = e.message();
        } catch (const std::exception &e) {
            error = QString::fromLocal8Bit(e.what());
        }
        // An empty text means success: a failure always says something.
        Q_EMIT workFinished(error.isEmpty() ? QString() : error);
    }));
    m_thread->start();
}

void TDbProgressForm::showCurrent(const QString &text) { Q_EMIT currentChanged(text); }

void TDbProgressForm::showNotice(const QString &message)
{
    QMetaObject::invokeMethod(this, [this, message] { MessageBoxes::information(this, message); },
                              Qt::BlockingQueuedConnection);
}

void TDbProgressForm::showStarted(qint64 total)
{
    m_total = total;
    ProgressBarTotal->setRange(0, static_cast<int>(std::clamp<qint64>(total, 1, INT_MAX)));
    ProgressBarTotal->setValue(0);
}

void TDbProgressForm::showProgress(qint64 done)
{
    ProgressBarTotal->setValue(static_cast<int>(std::min(done, m_total)));
}

void TDbProgressForm::ButtonCancelClick()
{
    m_cancel = true;
    ButtonCancel->setEnabled(false);
    Current->setText(QStringLiteral("Прерывание..."));
}

void TDbProgressForm::finish(const QString &error)
{
    if (m_thread)
        m_thread->wait();
    m_error = error;
    m_finished = true;
    if (m_error.isEmpty())
        accept();
    else
        QDialog::reject();
}

void TDbProgressForm::reject()
{
    if (m_finished)
        QDialog::reject();
    else
        ButtonCancelClick();
}

void TDbProgressForm::closeEvent(QCloseEvent *event)
{
    if (m_finished) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    ButtonCancelClick();
}

} // namespace kalvor::gui
