// Zip archives over libzip, packed and unpacked in memory.
#include "platform/zip/ZipArchive.h"
#include "platform/files/Files.h"

#include <zip.h>

#include <memory>

namespace {

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct SourceFree {
    void operator()(zip_source_t* s) const { zip_source_free(s); }
};
struct FileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

[[noreturn]] void fail(const std::string& Name, const std::string& what) {
    throw EZipError(Name + " is no zip archive: " + what);
}

} // namespace

std::vector<TZipEntry> ReadZipFile(const std::string& FileName) {
    return ReadZipBytes(ReadBinaryFile(FileName), FileName);
}

std::vector<TZipEntry> ReadZipBytes(std::string_view Bytes, const std::string& Name) {
    // libzip takes an empty file for an empty archive; an archive has its end record at least.
    if (Bytes.empty()) fail(Name, "the file is empty");
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFree> source(
        zip_source_buffer_create(Bytes.data(), Bytes.size(), 0, &error));
    if (!source) fail(Name, zip_error_strerror(&error));
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open_from_source(source.get(), ZIP_RDONLY, &error));
    if (!zip) {
        const std::string what = zip_error_strerror(&error);
        zip_error_fini(&error);
        fail(Name, what);
    }
    source.release(); // the archive owns it now
    std::vector<TZipEntry> entries;
    const zip_int64_t count = zip_get_num_entries(zip.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(zip.get(), zip_uint64_t(i), 0, &st) != 0 ||
            !(st.valid & ZIP_STAT_NAME) || !(st.valid & ZIP_STAT_SIZE))
            fail(Name, zip_strerror(zip.get()));
        std::string entryName = st.name;
        if (!entryName.empty() && entryName.back() == '/') continue;
        if (st.size > MaxZipEntryBytes)
            throw EZipError(Name + ": entry " + entryName + " is too large");
        std::unique_ptr<zip_file_t, FileCloser> file(
            zip_fopen_index(zip.get(), zip_uint64_t(i), 0));
        if (!file) fail(Name, zip_strerror(zip.get()));
        std::string data(std::size_t(st.size), '\0');
        const zip_int64_t got = zip_fread(file.get(), data.data(), st.size);
        if (got < 0 || zip_uint64_t(got) != st.size)
            throw EZipError(Name + ": entry " + entryName + " cannot be read");
        entries.push_back({std::move(entryName), std::move(data)});
    }
    return entries;
}

std::string ZipBytes(const std::vector<TZipEntry>& Entries) {
    zip_error_t error;
    zip_error_init(&error);
    std::unique_ptr<zip_source_t, SourceFree> target(
        zip_source_buffer_create(nullptr, 0, 0, &error));
    if (!target) throw EZipError(std::string("cannot pack: ") + zip_error_strerror(&error));
    zip_source_keep(target.get()); // kept past zip_close, which writes into it
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open_from_source(target.get(), ZIP_TRUNCATE, &error));
    if (!zip) {
        const std::string what = zip_error_strerror(&error);
        zip_error_fini(&error);
        zip_source_free(target.get()); // the reference the archive did not take
        throw EZipError("cannot pack: " + what);
    }
    for (const TZipEntry& e : Entries) {
        zip_source_t* s = zip_source_buffer(zip.get(), e.Data.data(), e.Data.size(), 0);
        if (!s) throw EZipError("cannot pack " + e.Name + ": " + zip_strerror(zip.get()));
        if (zip_file_add(zip.get(), e.Name.c_str(), s, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(s);
            throw EZipError("cannot pack " + e.Name + ": " + zip_strerror(zip.get()));
        }
    }
    if (zip_close(zip.get()) != 0)
        throw EZipError(std::string("cannot pack: ") + zip_strerror(zip.get()));
    zip.release();
    std::string bytes;
    if (zip_source_open(target.get()) != 0) throw EZipError("cannot read the packed archive");
    char buffer[65536];
    zip_int64_t n;
    while ((n = zip_source_read(target.get(), buffer, sizeof buffer)) > 0)
        bytes.append(buffer, std::size_t(n));
    zip_source_close(target.get());
    if (n < 0) throw EZipError("cannot read the packed archive");
    return bytes;
}

void WriteZipFile(const std::string& FileName, const std::vector<TZipEntry>& Entries) {
    WriteBinaryFile(FileName, ZipBytes(Entries));
}
