#include "support/NoticeServer.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <memory>
#include <stdexcept>

namespace kalvor::test {

NoticeServer::NoticeServer()
{
    if (!m_server.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("cannot listen on 127.0.0.1");
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                const qsizetype end = buffer->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                m_requests.append(buffer->left(end));
                buffer->clear();
                if (m_onRequest)
                    m_onRequest();
                if (m_mode == Mode::Hang)
                    return;
                const QByteArray reason = m_status < 400 ? "OK" : "Not Found";
                socket->write("HTTP/1.1 " + QByteArray::number(m_status) + ' ' + reason
                              + "\r\nContent-Type: text/plain\r\nContent-Length: " + QByteArray::number(m_body.size())
                              + "\r\nConnection: close\r\n\r\n" + m_body);
                socket->disconnectFromHost();
            });
        }
    });
}

QString NoticeServer::host() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
}

QByteArray NoticeServer::lastHeader(const QByteArray &name) const
{
    if (m_requests.isEmpty())
        return {};
    const QList<QByteArray> lines = m_requests.last().split('\n');
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

} // namespace kalvor::test
