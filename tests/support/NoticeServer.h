#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>

#include <functional>

namespace kalvor::test {

// A one-page HTTP server on 127.0.0.1 for the update notice. It runs on the test's own thread: the
// download's local event loop serves it.
class NoticeServer final {
public:
    enum class Mode { Answer, Hang };

    NoticeServer();

    // The URL base ("http://127.0.0.1:PORT") to which "/data/update.txt" is appended.
    QString host() const;
    void setBody(const QByteArray &body) { m_body = body; }
    void setStatus(int status) { m_status = status; }
    void setMode(Mode mode) { m_mode = mode; }
    // Runs when a whole request has arrived, before the answer is sent.
    void onRequest(std::function<void()> hook) { m_onRequest = std::move(hook); }
    // Stops listening: connections to the port are refused from now on.
    void shutDown() { m_server.close(); }

    int requestCount() const { return m_requests.size(); }
    // The raw head (request line and headers) of each request received.
    const QList<QByteArray> &requests() const { return m_requests; }
    // A header of the last request, found without regard to case; empty when absent.
    QByteArray lastHeader(const QByteArray &name) const;

private:
    QTcpServer m_server;
    QByteArray m_body;
    int m_status = 200;
    Mode m_mode = Mode::Answer;
    std::function<void()> m_onRequest;
    QList<QByteArray> m_requests;
};

} // namespace kalvor::test
