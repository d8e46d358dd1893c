// kalvor-gen: writes a synthetic declaration for benchmarks and manual tests.
#include "store/DeclarationGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void usage(std::FILE *to)
{
    std::fputs("usage: kalvor-gen (--rows N | --invoices N) [--positions MEAN] [--transfers MEAN]\n"
               "                  [--engine-style] [--seed S] [--inn INN12] [--period YYYYMM] OUT.xml\n"
               "  --rows N         visible rows (invoices, positions and transfers together)\n"
               "  --invoices N     number of invoices when --rows is not given\n"
               "  --positions M    mean positions per invoice (default 2)\n"
               "  --transfers M    mean transfers per position (default 1)\n"
               "  --engine-style   one line, change log, edited and deleted versions\n",
               to);
}

bool parseNumber(const char *text, unsigned long long &value)
{
    char *end = nullptr;
    value = std::strtoull(text, &end, 10);
    return end && *end == '\0' && end != text;
}

} // namespace

int main(int argc, char **argv)
{
    kalvor::DeclarationOptions options;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto numberArg = [&](unsigned long long &value) {
            if (i + 1 >= argc || !parseNumber(argv[i + 1], value)) {
                std::fprintf(stderr, "kalvor-gen: %s needs a number\n", argv[i]);
                std::exit(2);
            }
            ++i;
        };
        unsigned long long n = 0;
        if (arg == "--rows") {
            numberArg(n);
            options.rows = n;
        } else if (arg == "--invoices") {
            numberArg(n);
            options.invoices = n;
        } else if (arg == "--positions") {
            numberArg(n);
            options.positionsPerInvoice = static_cast<int>(n);
        } else if (arg == "--transfers") {
            numberArg(n);
            options.transfersPerPosition = static_cast<int>(n);
        } else if (arg == "--seed") {
            numberArg(n);
            options.seed = n;
        } else if (arg == "--period") {
            numberArg(n);
            options.year = static_cast<int>(n / 100);
            options.month = static_cast<int>(n % 100);
        } else if (arg == "--inn" && i + 1 < argc) {
            options.inn = argv[++i];
        } else if (arg == "--engine-style") {
            options.engineStyle = true;
        } else if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else if (!arg.empty() && arg[0] != '-' && out.empty()) {
            out = arg;
        } else {
            std::fprintf(stderr, "kalvor-gen: unknown argument %s\n", argv[i]);
            usage(stderr);
            return 2;
        }
    }
    if (out.empty() || (options.rows == 0 && options.invoices == 0)) {
        usage(stderr);
        return 2;
    }
    if (options.inn.size() != 12 || options.inn.find_first_not_of("0123456789") != std::string::npos) {
        std::fputs("kalvor-gen: --inn needs 12 digits\n", stderr);
        return 2;
    }

    kalvor::DeclarationSummary summary;
    if (!kalvor::DeclarationGenerator(options).writeFile(out, &summary)) {
        std::fprintf(stderr, "kalvor-gen: cannot write %s\n", out.c_str());
        return 1;
    }
    std::fprintf(stderr,
                 "kalvor-gen: %s: %zu rows (%zu invoices, %zu positions, %zu transfers), %zu records, "
                 "%zu hidden, %zu change log entries, %zu bytes\n",
                 out.c_str(), summary.visibleRows(), summary.invoices, summary.positions, summary.transfers,
                 summary.records, summary.hiddenRecords, summary.changeLogEntries, summary.bytes);
    return 0;
}
