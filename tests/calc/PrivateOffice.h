#pragma once

#include "sheets/calc/OfficeOptions.h"
#include "support/TempDir.h"

#include <QProcessEnvironment>

#include <memory>
#include <vector>

namespace kalvor::sheets::calc {
class OfficeConnection;
}

namespace kalvor::test {

// A real headless LibreOffice for one test: a profile of its own in a temporary folder and a pipe of its
// own, so tests never meet the user's office or each other. The office starts at the first connection
// and is ended with the object.
class PrivateOffice final {
public:
    PrivateOffice();
    ~PrivateOffice();

    TempDir dir;
    sheets::calc::OfficeOptions options;

    std::shared_ptr<sheets::calc::OfficeConnection> connect();
    // The environment that sends kalvor-cli (or the program) to this office.
    QProcessEnvironment environment() const;

private:
    std::vector<std::shared_ptr<sheets::calc::OfficeConnection>> m_connections;
};

} // namespace kalvor::test
