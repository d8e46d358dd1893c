// kalvor-hostile-gen: writes crafted data packets, each at most about 10 MB, that once cost gigabytes
// or minutes to read, for run-hostile-bench.sh. Each must be loaded or refused within 2 s and 200 MB.
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

const std::string kProlog = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<DATAPACKET Version=\"2.0\">\r\n<METADATA>\r\n<FIELDS>\r\n";
const std::string kRowsStart = "</FIELDS>\r\n</METADATA>\r\n<ROWDATA>\r\n";
const std::string kEnd = "</ROWDATA>\r\n</DATAPACKET>\r\n";
constexpr std::size_t kFileLimit = 10'000'000;

std::string stringFields(int count)
{
    std::string fields;
    for (int i = 0; i < count; ++i)
        fields += "<FIELD attrname=\"f" + std::to_string(i) + "\" fieldtype=\"string\" WIDTH=\"20\" />\r\n";
    return fields;
}

void write(const std::string &dir, const std::string &name, const std::string &bytes)
{
    const std::string path = dir + "/" + name;
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "kalvor-hostile-gen: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    std::printf("%-24s %10zu bytes\n", name.c_str(), bytes.size());
}

// Rows where each attribute of `order` is an empty string; about `budget` bytes of them.
std::string rowsInOrder(const std::vector<int> &order, std::size_t budget)
{
    std::string row = "<ROW";
    for (const int f : order)
        row += " f" + std::to_string(f) + "=\"\"";
    row += " />\r\n";
    std::string rows;
    while (rows.size() + row.size() < budget)
        rows += row;
    return rows;
}

std::vector<int> zigzag(int count)
{
    std::vector<int> order;
    for (int low = 0, high = count - 1; low <= high; ++low, --high) {
        order.push_back(low);
        if (low != high)
            order.push_back(high);
    }
    return order;
}

// The binary form (magic, expanded size, zlib stream) of the text that `next` hands out piece by piece.
template <typename Next>
std::string binaryPacket(Next next, int level)
{
    z_stream z{};
    deflateInit(&z, level);
    std::string compressed;
    std::vector<unsigned char> out(1 << 20);
    unsigned long long expanded = 0;
    for (;;) {
        const std::string piece = next();
        expanded += piece.size();
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.data()));
        z.avail_in = static_cast<uInt>(piece.size());
        const int flush = piece.empty() ? Z_FINISH : Z_NO_FLUSH;
        int rc;
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            rc = deflate(&z, flush);
            compressed.append(reinterpret_cast<char *>(out.data()), out.size() - z.avail_out);
        } while (z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
        if (piece.empty())
            break;
    }
    deflateEnd(&z);
    std::string packet = "KALVOR-DATAPACKET-1\n";
    for (int shift = 24; shift >= 0; shift -= 8)
        packet.push_back(static_cast<char>((expanded >> shift) & 0xFF));
    return packet + compressed;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: kalvor-hostile-gen DIR\n", stderr);
        return 2;
    }
    const std::string dir = argv[1];

    // 1,000 declared columns and 300,000 empty rows: 2.1 MB.
    std::string rows;
    for (int i = 0; i < 300000; ++i)
        rows += "<ROW/>\r\n";
    write(dir, "wide-empty-rows.xml", kProlog + stringFields(1000) + kRowsStart + rows + kEnd);

    // About 1 MB that inflates to 1 GB of empty rows.
    {
        const std::string head = kProlog + stringFields(3) + kRowsStart;
        std::string block;
        for (int i = 0; i < (1 << 17); ++i)
            block += "<ROW/>\r\n";
        unsigned long long left = (1ull << 30) - head.size() - kEnd.size();
        int stage = 0;
        write(dir, "binary-1gb.dat", binaryPacket([&]() -> std::string {
                  if (stage == 0) {
                      stage = 1;
                      return head;
                  }
                  if (left >= block.size()) {
                      left -= block.size();
                      return block;
                  }
                  if (stage == 1) {
                      stage = 2;
                      return std::string(left, ' ') + kEnd;
                  }
                  return {};
              }, 9));
    }

    // A binary packet of the smallest rows there are, varied just enough to stay within the expansion
    // limit: the most rows a file of this size can hold.
    {
        std::mt19937 random(7);
        const std::string variants[] = {"<ROW/>", "<ROW />", "<ROW/>\r\n", "<ROW />\r\n",
                                        "<ROW/> ", "<ROW /> ", "<ROW/>\n", "<ROW />\n"};
        const std::string head = kProlog + stringFields(3) + kRowsStart;
        int stage = 0;
        std::size_t produced = 0;
        write(dir, "binary-tiny-rows.dat", binaryPacket([&]() -> std::string {
                  if (stage == 0) {
                      stage = 1;
                      return head;
                  }
                  if (produced < (120u << 20)) {
                      std::string piece;
                      for (int i = 0; i < 4096; ++i)
                          piece += variants[random() % 8];
                      produced += piece.size();
                      return piece;
                  }
                  if (stage == 1) {
                      stage = 2;
                      return kEnd;
                  }
                  return {};
              }, 9));
    }

    write(dir, "fields-100k.xml", kProlog + stringFields(100000) + kRowsStart + kEnd); // 5.9 MB
    {
        const std::string head = kProlog + stringFields(20000) + kRowsStart;
        write(dir, "zigzag-20k.xml", head + rowsInOrder(zigzag(20000), kFileLimit - head.size() - kEnd.size()) + kEnd);
    }
    {
        const std::string head = kProlog + stringFields(4096) + kRowsStart;
        write(dir, "zigzag-4096.xml", head + rowsInOrder(zigzag(4096), kFileLimit - head.size() - kEnd.size()) + kEnd);
    }

    // A comment holding "<ROW" across 2 MiB, where large files were once cut into runs.
    {
        const std::string head = kProlog + stringFields(2) + kRowsStart;
        std::string body;
        int n = 0;
        while (head.size() + body.size() < (2u << 20) - 400)
            body += "<ROW f0=\"" + std::to_string(n++) + "\" f1=\"" + std::string(200, 'n') + "\"/>\r\n";
        body += "<ROW f0=\"pad\" f1=\"" + std::string((2u << 20) - 3 - head.size() - body.size() - 28, 'p') + "\"/>\r\n";
        body += "<!-- <ROW f0=\"no\"/> -->\r\n";
        while (body.size() < (3u << 20))
            body += "<ROW f0=\"" + std::to_string(n++) + "\" f1=\"" + std::string(200, 'n') + "\"/>\r\n";
        write(dir, "comment-at-2mib.xml", head + body + kEnd);
    }

    const std::string oneField = kProlog + stringFields(1) + kRowsStart;
    const std::size_t room = kFileLimit - oneField.size() - kEnd.size() - 16;
    write(dir, "long-value.xml", oneField + "<ROW f0=\"" + std::string(room, 'x') + "\"/>\r\n" + kEnd);
    write(dir, "ampersands.xml", oneField + "<ROW f0=\"" + std::string(room, '&') + "\"/>\r\n" + kEnd);
    write(dir, "long-comment.xml", oneField + "<!--" + std::string(room, '<') + "-->\r\n" + kEnd);
    {
        std::string attributes;
        for (int i = 0; attributes.size() < room - 200; ++i)
            attributes += " a" + std::to_string(i) + "=\"\"";
        write(dir, "header-attributes.xml",
              kProlog + "<FIELD attrname=\"f0\" fieldtype=\"string\"" + attributes + " />\r\n" + kRowsStart + kEnd);
    }
    return 0;
}
