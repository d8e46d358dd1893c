#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace kalvor::sheets {

// A part that is already deflated (raw deflate), written into the package as it is: the big worksheet
// of an export is compressed in pieces on several threads and handed over whole.
struct DeflatedPiece {
    std::string data;       // raw deflate
    std::uint64_t size = 0; // bytes before compression
    std::uint32_t crc = 0;  // their CRC-32
};

struct DeflatedPart {
    QString name;
    std::vector<std::string> pieces; // consecutive pieces of one raw deflate stream
    std::uint64_t size = 0;
    std::uint32_t crc = 0;

    void append(DeflatedPiece piece); // in stream order
    std::uint64_t compressedSize() const;
};

// The parts of a zip package (an .xlsx workbook), held in memory in archive order. Reading refuses what
// is not a sound package with a Russian message naming the file; parts are limited in size so that a
// crafted file cannot exhaust memory.
class XlsxPackage final {
public:
    static XlsxPackage read(const QString &fileName);
    static XlsxPackage fromBytes(QByteArrayView bytes, const QString &displayName);
    // A package from the files under the folders, a later folder's file replacing an earlier one of the
    // same name: how the templates are built from their sources. XML parts lose their comments and the
    // blanks between elements; "[Content_Types].xml" comes first, the rest in name order.
    static XlsxPackage fromFolders(const QStringList &folders);

    const QString &displayName() const { return m_displayName; }
    QStringList names() const;
    bool contains(const QString &name) const;
    // The part's bytes; throws KalvorError naming the package when it has no such part.
    const QByteArray &part(const QString &name) const;
    void setPart(const QString &name, const QByteArray &bytes); // replaces or appends
    void removePart(const QString &name);
    // The same parts with the same bytes, in any order.
    bool sameParts(const XlsxPackage &other) const;

    // Writes the parts, then the deflated ones, into a new zip file. libzip builds the archive in a
    // temporary file beside the target and renames it over the target at the end, so a failure leaves
    // an earlier file of that name as it was. `mtime` stamps every entry. Throws KalvorError.
    void write(const QString &fileName, const std::vector<DeflatedPart> &deflated = {}, std::time_t mtime = 0) const;
    // The fixed time stamp of the shipped templates, so that packing the same sources gives the same file.
    static constexpr std::time_t kTemplateTime = 1325376000; // 2012-01-01

    static constexpr std::uint64_t kMaxPartSize = 256u << 20;
    static constexpr int kMaxParts = 10000;

private:
    struct Part {
        QString name;
        QByteArray bytes;
    };
    const Part *find(const QString &name) const;

    QString m_displayName;
    std::vector<Part> m_parts;
};

// Raw deflate of one piece of a stream: `last` ends the stream, otherwise it ends on a byte boundary so
// that the next piece, compressed on its own, can follow it.
DeflatedPiece deflatePiece(std::string_view bytes, bool last, int level);

} // namespace kalvor::sheets
