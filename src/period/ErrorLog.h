#pragma once

#include <QString>

#include <memory>

class QSaveFile;

namespace kalvor::period {

// The 32 column names of an exported row: the first line of data.txt and of the export commands' log.
QString exportLogHeader();
// error.log in the workspace folder.
QString errorLogFileName(const QString &curDir);

// The error log of one command. It is written beside the old log and takes its place when closed, so a
// run that dies half-way leaves the previous log intact. A log still open when destroyed is closed.
class ErrorLogFile final {
public:
    ErrorLogFile();
    ~ErrorLogFile();
    ErrorLogFile(const ErrorLogFile &) = delete;
    ErrorLogFile &operator=(const ErrorLogFile &) = delete;

    bool isOpen() const;
    const QString &fileName() const { return m_fileName; }

private:
    friend bool openErrorLog(ErrorLogFile &F, const QString &curDir, const QString &header);
    friend void ErrorLogFileSaveTo(ErrorLogFile &F, const QString &line);
    friend void ErrorLogFileClose(ErrorLogFile &F);

    QString m_fileName;
    std::unique_ptr<QSaveFile> m_file;
};

// Starts error.log afresh with `header` as its first line; false (and F closed) when it cannot be
// created. Never throws.
bool openErrorLog(ErrorLogFile &F, const QString &curDir, const QString &header);

// The three operations the export commands use. None of them throws: a log that cannot be written
// simply keeps what it has, and its failure is not reported.
void ErrorLogFileOpen(ErrorLogFile &F, const QString &curDir); // with the export header
void ErrorLogFileSaveTo(ErrorLogFile &F, const QString &line);
void ErrorLogFileClose(ErrorLogFile &F);

} // namespace kalvor::period
