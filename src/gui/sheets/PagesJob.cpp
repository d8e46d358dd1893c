#include "gui/sheets/PagesJob.h"

#include "gui/common/MessageBoxes.h"
#include "store/KalvorError.h"

#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>

#include <atomic>
#include <limits>
#include <memory>

namespace kalvor::gui {

bool runPagesJob(QWidget *parent, const QString &caption, const std::function<bool(const Progress &)> &work)
{
    QProgressDialog window(QStringLiteral("Страницы: 0"), QStringLiteral("Отмена"), 0, 0, parent);
    window.setObjectName(QStringLiteral("PagesProgress"));
    window.setWindowTitle(caption);
    window.setWindowModality(Qt::WindowModal);
    window.setMinimumDuration(0);
    window.setAutoClose(false);
    window.setAutoReset(false);
    std::atomic<bool> cancelled{false};
    QObject::connect(&window, &QProgressDialog::canceled, &window, [&cancelled] { cancelled = true; });

    Progress progress;
    QPointer<QProgressDialog> shown(&window);
    progress.started = [shown](qint64 total) {
        QMetaObject::invokeMethod(
            shown,
            [shown, total] {
                if (shown)
                    shown->setRange(0, int(std::min<qint64>(total, std::numeric_limits<int>::max())));
            },
            Qt::QueuedConnection);
    };
    progress.advanced = [shown](qint64 done) {
        QMetaObject::invokeMethod(
            shown,
            [shown, done] {
                if (shown && !shown->wasCanceled()) {
                    shown->setValue(int(done));
                    shown->setLabelText(QStringLiteral("Страницы: %1 из %2").arg(done).arg(shown->maximum()));
                }
            },
            Qt::QueuedConnection);
    };
    progress.cancelled = [&cancelled] { return cancelled.load(); };

    bool result = false;
    QString failure;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            result = work(progress);
        } catch (const KalvorError &e) {
            failure = e.message();
        } catch (const std::exception &e) {
            failure = QString::fromLocal8Bit(e.what());
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    window.show();
    worker->start();
    loop.exec();
    worker->wait();
    window.close();
    if (!failure.isEmpty())
        MessageBoxes::error(parent, failure);
    return result && failure.isEmpty();
}

} // namespace kalvor::gui
