#pragma once

#include <QString>

#include <stdexcept>

namespace kalvor {

// The one exception type of the core: its text is the message the user sees.
class KalvorError final : public std::runtime_error {
public:
    explicit KalvorError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

} // namespace kalvor
