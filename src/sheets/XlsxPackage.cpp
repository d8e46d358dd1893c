#include "sheets/XlsxPackage.h"

#include "sheets/XmlParts.h"
#include "store/KalvorError.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace kalvor::sheets {

namespace {

QString zipMessage(zip_error_t *error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

[[noreturn]] void refuse(const QString &displayName, const QString &why)
{
    throw KalvorError(
        QStringLiteral("Файл %1 не является книгой Excel (.xlsx): %2").arg(QDir::toNativeSeparators(displayName), why));
}

struct ArchiveCloser {
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

// Serves a deflated part to libzip as already compressed data, with its sizes and CRC known, so that
// libzip copies it as it is.
struct DeflatedSource {
    const DeflatedPart *part = nullptr;
    std::time_t mtime = 0;
    std::size_t piece = 0;
    std::size_t offset = 0;
    zip_error_t error{};

    zip_int64_t read(void *data, zip_uint64_t length)
    {
        zip_uint64_t done = 0;
        auto *out = static_cast<char *>(data);
        while (done < length && piece < part->pieces.size()) {
            const std::string &p = part->pieces[piece];
            const std::size_t n = std::min<std::size_t>(p.size() - offset, static_cast<std::size_t>(length - done));
            std::memcpy(out + done, p.data() + offset, n);
            done += n;
            offset += n;
            if (offset == p.size()) {
                ++piece;
                offset = 0;
            }
        }
        return static_cast<zip_int64_t>(done);
    }

    static zip_int64_t callback(void *userdata, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        auto *self = static_cast<DeflatedSource *>(userdata);
        switch (command) {
        case ZIP_SOURCE_OPEN:
            self->piece = 0;
            self->offset = 0;
            return 0;
        case ZIP_SOURCE_READ:
            return self->read(data, length);
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto *st = static_cast<zip_stat_t *>(data);
            zip_stat_init(st);
            st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_CRC | ZIP_STAT_COMP_METHOD | ZIP_STAT_MTIME;
            st->size = self->part->size;
            st->comp_size = self->part->compressedSize();
            st->crc = self->part->crc;
            st->comp_method = ZIP_CM_DEFLATE;
            st->mtime = self->mtime;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&self->error, data, length);
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SUPPORTS, -1);
        default:
            zip_error_set(&self->error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }
};

} // namespace

// --- deflated parts ---------------------------------------------------------------------------------

void DeflatedPart::append(DeflatedPiece piece)
{
    crc = pieces.empty() ? piece.crc
                         : static_cast<std::uint32_t>(crc32_combine(crc, piece.crc, static_cast<z_off_t>(piece.size)));
    size += piece.size;
    pieces.push_back(std::move(piece.data));
}

std::uint64_t DeflatedPart::compressedSize() const
{
    std::uint64_t total = 0;
    for (const std::string &p : pieces)
        total += p.size();
    return total;
}

DeflatedPiece deflatePiece(std::string_view bytes, bool last, int level)
{
    DeflatedPiece piece;
    piece.size = bytes.size();
    piece.crc = static_cast<std::uint32_t>(
        crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef *>(bytes.data()), bytes.size()));
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw KalvorError(QStringLiteral("Не удалось начать сжатие данных"));
    // Compressed in blocks into a buffer that grows as needed: a buffer of the worst-case size would
    // cost a page fault per 4 KB of input that is never written.
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    constexpr std::size_t kBlock = 1 << 18;
    const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
    bool ok = false;
    for (;;) {
        const std::size_t done = piece.data.size();
        piece.data.resize(done + kBlock);
        z.next_out = reinterpret_cast<Bytef *>(piece.data.data() + done);
        z.avail_out = static_cast<uInt>(kBlock);
        const int result = deflate(&z, flush);
        const bool roomLeft = z.avail_out != 0;
        piece.data.resize(done + kBlock - z.avail_out);
        if (last ? result == Z_STREAM_END : (roomLeft && z.avail_in == 0 && result == Z_OK)) {
            ok = true;
            break;
        }
        if ((result != Z_OK && result != Z_BUF_ERROR) || roomLeft)
            break; // no progress with room to spare: something is wrong
    }
    deflateEnd(&z);
    if (!ok)
        throw KalvorError(QStringLiteral("Не удалось сжать данные"));
    piece.data.shrink_to_fit();
    return piece;
}

// --- reading ----------------------------------------------------------------------------------------

XlsxPackage XlsxPackage::read(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw KalvorError(QStringLiteral("Не удалось открыть файл %1: %2")
                              .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw KalvorError(QStringLiteral("Не удалось прочитать файл %1: %2")
                              .arg(QDir::toNativeSeparators(fileName), file.errorString()));
    return fromBytes(bytes, fileName);
}

XlsxPackage XlsxPackage::fromBytes(QByteArrayView bytes, const QString &displayName)
{
    XlsxPackage package;
    package.m_displayName = displayName;
    if (bytes.isEmpty())
        refuse(displayName, QStringLiteral("файл пуст"));

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(bytes.data(), static_cast<zip_uint64_t>(bytes.size()), 0, &error);
    if (!source) {
        const QString why = zipMessage(&error);
        zip_error_fini(&error);
        refuse(displayName, why);
    }
    Archive archive(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        zip_source_free(source);
        const QString why = zipMessage(&error);
        zip_error_fini(&error);
        refuse(displayName, why);
    }
    zip_error_fini(&error);

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || count > kMaxParts)
        refuse(displayName, QStringLiteral("слишком много частей"));
    std::uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t st;
        if (zip_stat_index(archive.get(), index, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME) ||
            !(st.valid & ZIP_STAT_SIZE))
            refuse(displayName, zipMessage(zip_get_error(archive.get())));
        const QString name = QString::fromUtf8(st.name);
        if (name.endsWith(u'/'))
            continue; // a folder entry
        total += st.size;
        if (st.size > kMaxPartSize || total > 4 * kMaxPartSize)
            refuse(displayName, QStringLiteral("часть %1 слишком велика").arg(name));
        if (package.find(name))
            refuse(displayName, QStringLiteral("часть %1 повторяется").arg(name));
        zip_file_t *entry = zip_fopen_index(archive.get(), index, 0);
        if (!entry)
            refuse(displayName, zipMessage(zip_get_error(archive.get())));
        QByteArray data(static_cast<qsizetype>(st.size), Qt::Uninitialized);
        zip_int64_t got = st.size == 0 ? 0 : zip_fread(entry, data.data(), st.size);
        char extra = 0;
        // A part longer than its entry claims is as broken as a shorter one.
        const bool longer = got >= 0 && zip_fread(entry, &extra, 1) > 0;
        const QString why = zipMessage(zip_file_get_error(entry));
        zip_fclose(entry);
        if (got < 0 || static_cast<zip_uint64_t>(got) != st.size || longer)
            refuse(displayName, QStringLiteral("часть %1 повреждена (%2)").arg(name, why));
        package.m_parts.push_back({name, std::move(data)});
    }
    return package;
}

XlsxPackage XlsxPackage::fromFolders(const QStringList &folders)
{
    std::map<QString, QByteArray> files;
    for (const QString &folder : folders) {
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                throw KalvorError(QStringLiteral("Не удалось открыть файл %1: %2")
                                      .arg(QDir::toNativeSeparators(path), file.errorString()));
            QByteArray bytes = file.readAll();
            const QString name = QDir(folder).relativeFilePath(path);
            if (name.endsWith(QStringLiteral(".xml")) || name.endsWith(QStringLiteral(".rels"))) {
                pugi::xml_document doc;
                xml::parse(doc, bytes, folder, name);
                bytes = xml::serializeBytes(doc);
            }
            files[name] = bytes;
        }
    }
    XlsxPackage package;
    package.m_displayName = folders.value(folders.size() - 1);
    const QString types = QStringLiteral("[Content_Types].xml");
    if (const auto found = files.find(types); found != files.end())
        package.m_parts.push_back({types, found->second});
    for (const auto &[name, bytes] : files)
        if (name != types)
            package.m_parts.push_back({name, bytes});
    return package;
}

bool XlsxPackage::sameParts(const XlsxPackage &other) const
{
    if (m_parts.size() != other.m_parts.size())
        return false;
    for (const Part &p : m_parts) {
        const Part *q = other.find(p.name);
        if (!q || q->bytes != p.bytes)
            return false;
    }
    return true;
}

// --- parts ------------------------------------------------------------------------------------------

const XlsxPackage::Part *XlsxPackage::find(const QString &name) const
{
    for (const Part &p : m_parts)
        if (p.name == name)
            return &p;
    return nullptr;
}

QStringList XlsxPackage::names() const
{
    QStringList all;
    for (const Part &p : m_parts)
        all.append(p.name);
    return all;
}

bool XlsxPackage::contains(const QString &name) const
{
    return find(name) != nullptr;
}

const QByteArray &XlsxPackage::part(const QString &name) const
{
    if (const Part *p = find(name))
        return p->bytes;
    refuse(m_displayName, QStringLiteral("нет части %1").arg(name));
}

void XlsxPackage::setPart(const QString &name, const QByteArray &bytes)
{
    for (Part &p : m_parts)
        if (p.name == name) {
            p.bytes = bytes;
            return;
        }
    m_parts.push_back({name, bytes});
}

void XlsxPackage::removePart(const QString &name)
{
    std::erase_if(m_parts, [&](const Part &p) { return p.name == name; });
}

// --- writing ----------------------------------------------------------------------------------------

void XlsxPackage::write(const QString &fileName, const std::vector<DeflatedPart> &deflated, std::time_t mtime) const
{
    const QString shown = QDir::toNativeSeparators(fileName);
    const auto fail = [&shown](const QString &why) {
        throw KalvorError(QStringLiteral("Не удалось записать файл %1: %2").arg(shown, why));
    };
    if (mtime == 0)
        mtime = std::time(nullptr);
    int code = 0;
    Archive archive(zip_open(QFile::encodeName(fileName).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString why = zipMessage(&error);
        zip_error_fini(&error);
        fail(why);
    }
    const auto add = [&](const QString &name, zip_source_t *source) {
        if (!source)
            fail(zipMessage(zip_get_error(archive.get())));
        const zip_int64_t index =
            zip_file_add(archive.get(), name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(source);
            fail(zipMessage(zip_get_error(archive.get())));
        }
        zip_file_set_mtime(archive.get(), static_cast<zip_uint64_t>(index), mtime, 0);
        return static_cast<zip_uint64_t>(index);
    };
    for (const Part &p : m_parts) {
        const zip_uint64_t index = add(p.name, zip_source_buffer(archive.get(), p.bytes.constData(),
                                                                 static_cast<zip_uint64_t>(p.bytes.size()), 0));
        zip_set_file_compression(archive.get(), index, ZIP_CM_DEFLATE, 6);
    }
    std::vector<std::unique_ptr<DeflatedSource>> sources;
    for (const DeflatedPart &d : deflated) {
        auto source = std::make_unique<DeflatedSource>();
        source->part = &d;
        source->mtime = mtime;
        zip_error_init(&source->error);
        add(d.name, zip_source_function(archive.get(), &DeflatedSource::callback, source.get()));
        sources.push_back(std::move(source));
    }
    if (zip_close(archive.get()) != 0)
        fail(zipMessage(zip_get_error(archive.get())));
    (void)archive.release(); // zip_close freed it
    for (auto &s : sources)
        zip_error_fini(&s->error);
}

} // namespace kalvor::sheets
