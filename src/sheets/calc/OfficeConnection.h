#pragma once

#include "sheets/calc/OfficeOptions.h"
#include "sheets/calc/Uno.h"

#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>

namespace kalvor::sheets::calc {

// One URP connection to an office process, with a watchdog: every request runs through call(), and a
// request that gets no answer within the call time-out disposes of the bridge (the waiting call then
// fails at once) and, when this program started the office, ends that office. So an office that hangs
// or dies mid-export gives a clear message instead of a window that waits for ever.
class OfficeConnection final {
public:
    // Connects to the office on the options' pipe, starting one when none listens. Throws KalvorError with
    // the message for the user when the office is not installed, cannot start or does not answer in time.
    static std::shared_ptr<OfficeConnection> open(const OfficeOptions &options);
    ~OfficeConnection();

    OfficeConnection(const OfficeConnection &) = delete;
    OfficeConnection &operator=(const OfficeConnection &) = delete;

    const Reference<css::uno::XComponentContext> &context() const { return m_context; }
    Reference<css::lang::XMultiComponentFactory> serviceManager() const { return m_context->getServiceManager(); }
    const OfficeOptions &options() const { return m_options; }
    void setCallSeconds(int seconds);

    // Whether this program started the office process (then it may end it).
    bool startedOffice() const { return m_launcherPid > 0; }
    // The office's own process (soffice.bin) when this program started it, else 0.
    qint64 officePid() const;
    // Ends the office when this program started it: politely, then by force after a while.
    void terminateOffice();

    // Runs one or more requests under the watchdog; the office's exceptions become KalvorError.
    template <typename F> auto call(F &&work) -> std::invoke_result_t<F>
    {
        Armed armed(*this);
        try {
            return work();
        } catch (const css::lang::DisposedException &e) {
            fail(e, true);
        } catch (const css::uno::Exception &e) {
            fail(e, false);
        }
    }

private:
    explicit OfficeConnection(const OfficeOptions &options);

    struct Armed {
        explicit Armed(OfficeConnection &c) : connection(c) { connection.arm(); }
        ~Armed() { connection.disarm(); }
        OfficeConnection &connection;
    };
    void arm();
    void disarm();
    [[noreturn]] void fail(const css::uno::Exception &e, bool disposed);
    void connect();
    bool tryConnect();
    void startOffice();
    void watch();
    void findOfficeProcess();
    bool officeRunning() const;
    void killOffice();

    OfficeOptions m_options;
    Reference<css::uno::XComponentContext> m_context;
    Reference<css::bridge::XBridge> m_bridge;
    qint64 m_launcherPid = 0;           // the soffice launcher this program started
    std::atomic<qint64> m_officePid{0}; // the office process it runs (the watchdog may end it)

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::thread m_watchdog;
    int m_depth = 0;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_stop = false;
    std::atomic<bool> m_timedOut{false};
};

// The message for an office that cannot be reached, after the wording of the automation bridge.
QString cannotStartMessage(const QString &reason);

} // namespace kalvor::sheets::calc
