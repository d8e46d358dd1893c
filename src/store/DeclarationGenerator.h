#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

namespace kalvor {

struct DeclarationOptions {
    // Visible rows wanted (invoices + positions + transfers); 0 means "as many as `invoices` give".
    std::size_t rows = 0;
    std::size_t invoices = 0;
    // Means per invoice and per position; the counts vary around them (1..2m-1 positions, 0..2m transfers).
    int positionsPerInvoice = 2;
    int transfersPerPosition = 1;
    // One line with a change log, edited and deleted versions, instead of the hand-written form.
    bool engineStyle = false;
    std::uint64_t seed = 1;
    std::string inn = "123456789000"; // 12 characters, as in the key
    int departments = 4; // subdivisions the rows are spread over (at least 2: transfers need two)
    // Subdivision codes 1..N (as a filer numbers them for the verification) instead of KPP-like codes.
    bool numberedDepartments = false;
    int year = 2012;
    int month = 3;
};

struct DeclarationSummary {
    std::size_t invoices = 0;  // visible rows by kind
    std::size_t positions = 0;
    std::size_t transfers = 0;
    std::size_t records = 0;        // ROW elements in the file
    std::size_t hiddenRecords = 0;  // older versions and deleted rows
    std::size_t changeLogEntries = 0;
    std::size_t bytes = 0;

    std::size_t visibleRows() const { return invoices + positions + transfers; }
};

// Writes synthetic declarations of any size, byte for byte, without going through the table engine,
// so that the engine's benchmarks and tests measure it against an independent source. The output is a
// pure function of the options.
class DeclarationGenerator final {
public:
    explicit DeclarationGenerator(DeclarationOptions options);

    // The whole file in memory (fine up to some tens of megabytes).
    std::string generate(DeclarationSummary *summary = nullptr) const;
    // Streams the packet into `path` through the atomic save; throws KalvorError with the system's reason.
    void saveFile(const QString &path, DeclarationSummary *summary = nullptr) const;
    // The same, answering false instead of throwing (the benchmark tools).
    bool writeFile(const std::string &path, DeclarationSummary *summary = nullptr) const;

    // The code of the filer's subdivision number `index` (0-based), as the rows carry it.
    static std::string departmentCode(const std::string &inn, int index);

    // Number of columns of the declaration table.
    static constexpr int kColumnCount = 33;

private:
    DeclarationOptions m_options;
};

} // namespace kalvor
