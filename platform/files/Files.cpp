#include "platform/files/Files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fnmatch.h>
#include <mutex>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex overrideMutex;
std::string programPathOverride;

std::string errnoText(int err) {
    return std::strerror(err);
}

// Windows-1252 code points of the bytes 0x80..0x9F; the five unassigned bytes map to the C1
// control of the same value, as the system's own conversion does.
const char16_t cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string decodeAnsi(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes) {
        if (b < 0x80)
            out += char(b);
        else if (b < 0xA0)
            out += CodePointToUtf8(cp1252High[b - 0x80]);
        else
            out += CodePointToUtf8(b);
    }
    return out;
}

// The Windows-1252 byte of a code point; -1 when the code page lacks it.
int ansiByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return int(c);
    for (int i = 0; i < 32; ++i)
        if (cp1252High[i] == c) return 0x80 + i;
    return -1;
}

std::string decodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u32string cps;
    cps.reserve(bytes.size() / 2);
    auto unit = [&](std::size_t i) -> char16_t {
        auto b0 = static_cast<unsigned char>(bytes[i]);
        auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? char16_t(b0 << 8 | b1) : char16_t(b1 << 8 | b0);
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        char16_t u = unit(i);
        if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
            char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                cps += char32_t(0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        // A lone surrogate cannot be written as UTF-8.
        cps += (u >= 0xD800 && u < 0xE000) ? char32_t(0xFFFD) : char32_t(u);
    }
    if (i < bytes.size()) cps += char32_t(0xFFFD); // odd trailing byte
    return Utf32ToUtf8(cps);
}

struct FileHandle {
    int fd = -1;
    ~FileHandle() {
        if (fd >= 0) ::close(fd);
    }
};

std::string readWhole(std::string_view path, std::size_t maxBytes = std::string::npos) {
    std::string native(path);
    FileHandle f;
    // Not blocking, so that opening a FIFO does not wait for a writer before it is refused.
    f.fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (f.fd < 0)
        throw EFOpenError(Format("Cannot open file \"%s\". %s", native, errnoText(errno)));
    struct stat st {};
    if (::fstat(f.fd, &st) != 0)
        throw EFOpenError(Format("Cannot open file \"%s\". %s", native, errnoText(errno)));
    if (S_ISDIR(st.st_mode))
        throw EFOpenError(Format("Cannot open file \"%s\". %s", native, errnoText(EISDIR)));
    if (!S_ISREG(st.st_mode))
        throw EFOpenError(Format("Cannot open file \"%s\". It is not a regular file", native));
    std::string data;
    // One allocation of the size the file has, rather than a doubling string's several.
    data.reserve(std::min<std::size_t>(std::size_t(std::max<off_t>(st.st_size, 0)), maxBytes));
    char buf[65536];
    while (data.size() < maxBytes) {
        ssize_t n = ::read(f.fd, buf, std::min(sizeof buf, maxBytes - data.size()));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EReadError(Format("Error reading file \"%s\". %s", native, errnoText(errno)));
        }
        if (n == 0) break;
        data.append(buf, std::size_t(n));
    }
    return data;
}

// A write holds its temporary file ".<name>.XXXXXX" locked until it is renamed into place; one
// that nobody holds is what a write cut short left behind, and goes.
void removeLeftovers(const std::string& dir, const std::string& name) {
    const std::string prefix = "." + name + ".";
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    std::vector<std::string> stale;
    while (dirent* e = ::readdir(d)) {
        const std::string entry = e->d_name;
        if (entry.size() == prefix.size() + 6 && entry.compare(0, prefix.size(), prefix) == 0 &&
            std::all_of(entry.begin() + std::ptrdiff_t(prefix.size()), entry.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            stale.push_back(PathJoin(dir, entry));
    }
    ::closedir(d);
    for (const std::string& path : stale) {
        FileHandle f;
        f.fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat st {};
        if (f.fd >= 0 && ::fstat(f.fd, &st) == 0 && S_ISREG(st.st_mode) &&
            ::flock(f.fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
    }
}

// Creates the locked temporary file for native from the template tmpl; -1 with errno set when
// it cannot. A leftover sweep of another write may take the name between its creation and the
// lock; a fresh name is made then. On a file system without locks nothing is swept either.
int lockedTemporary(std::string& path, const std::string& tmpl) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::vector<char> name(tmpl.begin(), tmpl.end());
        name.push_back('\0');
        const int fd = ::mkstemp(name.data());
        if (fd < 0) return -1;
        path = name.data();
        if (::flock(fd, LOCK_EX) != 0) return fd;
        struct stat mine {};
        struct stat named {};
        if (::fstat(fd, &mine) == 0 && ::stat(path.c_str(), &named) == 0 &&
            mine.st_ino == named.st_ino && mine.st_dev == named.st_dev)
            return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// The steps of a safe replacing write, each answering 0 or the errno of its failure.
// A locked temporary file beside native, with the mode of the file it will replace; leftovers of
// writes cut short go first.
int openTemporary(const std::string& native, std::string& tmpPath, int& fd) {
    const std::string dir = ExtractFileDir(native).empty() ? "." : ExtractFileDir(native);
    removeLeftovers(dir, ExtractFileName(native));
    fd = lockedTemporary(tmpPath, PathJoin(dir, "." + ExtractFileName(native) + ".XXXXXX"));
    if (fd < 0) return errno;
    // Keep the mode of the file being replaced; a new file gets the usual 0666 less umask.
    struct stat st {};
    mode_t mode;
    if (::stat(native.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);
    return 0;
}

int writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += std::size_t(n);
    }
    return 0;
}

// Syncs the temporary file, renames it over native while it is still locked, closes it (fd
// becomes -1) and syncs the folder so that the new name is on the disk too; renaming is the step
// that `renameFailed` tells. A temporary file that was not renamed is removed.
int finishReplacing(int& fd, std::string& tmpPath, const std::string& native, bool& renameFailed) {
    int err = ::fsync(fd) != 0 ? errno : 0;
    if (err == 0 && ::rename(tmpPath.c_str(), native.c_str()) != 0) {
        err = errno;
        renameFailed = true;
    }
    if (err != 0) ::unlink(tmpPath.c_str());
    tmpPath.clear();
    if (::close(fd) != 0 && err == 0) err = errno;
    fd = -1;
    if (err != 0) return err;
    const std::string dir = ExtractFileDir(native).empty() ? "." : ExtractFileDir(native);
    FileHandle folder;
    folder.fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that cannot be opened for reading cannot be synced; the file is in place.
    if (folder.fd >= 0 && ::fsync(folder.fd) != 0 && errno != EINVAL) return errno;
    return 0;
}

[[noreturn]] void raiseWriteFailure(const std::string& native, int err, bool createFailed) {
    if (createFailed)
        throw EFCreateError(Format("Cannot create file \"%s\". %s", native, errnoText(err)));
    throw EWriteError(Format("Error writing file \"%s\". %s", native, errnoText(err)));
}

} // namespace

std::string NativePath(std::string_view path) {
    std::string s(path);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

std::string PathJoin(std::string_view dir, std::string_view name) {
    std::string d(dir);
    std::string n(name);
    if (d.empty()) return n;
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    std::size_t start = 0;
    while (start < n.size() && n[start] == '/') ++start;
    if (d == "/") return d + n.substr(start);
    return d + "/" + n.substr(start);
}

std::string ProgramPath() {
    {
        std::lock_guard lock(overrideMutex);
        if (!programPathOverride.empty()) return programPathOverride;
    }
    std::vector<char> buf(4096);
    for (;;) {
        ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
        if (n < 0) return {};
        if (std::size_t(n) < buf.size()) return std::string(buf.data(), std::size_t(n));
        buf.resize(buf.size() * 2);
    }
}

std::string ProgramDir() {
    return ExtractFileDir(ProgramPath());
}

void SetProgramPathOverride(const std::string& path) {
    std::lock_guard lock(overrideMutex);
    programPathOverride = std::string(path);
}

std::string ExtractFilePath(std::string_view path) {
    std::string p(path);
    std::size_t slash = p.rfind('/');
    return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
}

std::string ExtractFileDir(std::string_view path) {
    std::string p(path);
    std::size_t slash = p.rfind('/');
    if (slash == std::string::npos) return {};
    if (slash == 0) return "/";
    return p.substr(0, slash);
}

std::string ExtractFileName(std::string_view path) {
    std::string p(path);
    std::size_t slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

std::string ExtractFileExt(std::string_view path) {
    std::string name = ExtractFileName(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string ChangeFileExt(std::string_view path, std::string_view ext) {
    std::string p(path);
    std::size_t slash = p.rfind('/');
    std::size_t dot = p.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) p.erase(dot);
    return p + std::string(ext);
}

bool FileExists(std::string_view path) {
    struct stat st {};
    return ::stat(std::string(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FileExistsStrict(std::string_view path) {
    const std::string native(path);
    struct stat st {};
    if (::stat(native.c_str(), &st) == 0) {
        if (S_ISREG(st.st_mode)) return true;
        throw EFOpenError(Format("\"%s\" is not a regular file", native));
    }
    const int err = errno;
    if (::lstat(native.c_str(), &st) == 0)
        throw EFOpenError(Format("\"%s\" is a link that leads nowhere", native));
    if (err == ENOENT || err == ENOTDIR) return false;
    throw EFOpenError(Format("Cannot open file \"%s\". %s", native, errnoText(err)));
}

bool DirectoryExists(std::string_view path) {
    struct stat st {};
    return ::stat(std::string(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CreateDir(std::string_view path) {
    return ::mkdir(std::string(path).c_str(), 0777) == 0;
}

bool ForceDirectories(std::string_view path) {
    std::string p(path);
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    if (p.empty()) return false;
    if (DirectoryExists(p)) return true;
    std::string parent = ExtractFileDir(p);
    if (!parent.empty() && parent != p && !ForceDirectories(parent)) return false;
    return ::mkdir(p.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(p));
}

namespace {
template <typename Keep> std::vector<std::string> listDir(std::string_view dir, Keep keep) {
    std::vector<std::string> names;
    std::string native(dir);
    DIR* d = ::opendir(native.c_str());
    if (!d) return names;
    while (dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::stat(PathJoin(native, name).c_str(), &st) != 0) continue;
        if (keep(name, st)) names.push_back(name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

std::vector<std::string> ListSubFolders(std::string_view dir) {
    return listDir(dir,
                   [](const std::string&, const struct stat& st) { return S_ISDIR(st.st_mode); });
}

std::vector<std::string> ListFiles(std::string_view dir, std::string_view pattern) {
    std::string pat(pattern);
    return listDir(dir, [&](const std::string& name, const struct stat& st) {
        return S_ISREG(st.st_mode) && ::fnmatch(pat.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
    });
}

bool DeleteFile(std::string_view path) {
    return ::unlink(std::string(path).c_str()) == 0;
}

bool RenameFile(std::string_view from, std::string_view to) {
    return ::rename(std::string(from).c_str(), std::string(to).c_str()) == 0;
}

bool ExchangePaths(std::string_view a, std::string_view b) {
    return ::renameat2(AT_FDCWD, std::string(a).c_str(), AT_FDCWD, std::string(b).c_str(),
                       RENAME_EXCHANGE) == 0;
}

namespace {

// Gives the owner full access to every folder of the tree at path, so that its entries can go.
void openFolders(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    ::chmod(path.c_str(), (st.st_mode & 07777) | S_IRWXU);
    DIR* d = ::opendir(path.c_str());
    if (!d) return;
    std::vector<std::string> names;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
    for (const std::string& name : names) openFolders(PathJoin(path, name));
}

bool gone(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

} // namespace

bool DeleteTree(std::string_view path) {
    const std::string native(path);
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(native), ec);
    if (gone(native)) return true;
    // A folder without write permission keeps what it holds.
    openFolders(native);
    std::filesystem::remove_all(std::filesystem::path(native), ec);
    return gone(native);
}

namespace {

// The names in dir with what lstat says of each; raises EFOpenError when dir cannot be read.
std::vector<std::pair<std::string, struct stat>> folderEntries(const std::string& dir) {
    std::vector<std::pair<std::string, struct stat>> entries;
    DIR* d = ::opendir(dir.c_str());
    if (!d) throw EFOpenError(Format("Cannot open the folder \"%s\". %s", dir, errnoText(errno)));
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::lstat(PathJoin(dir, name).c_str(), &st) == 0) entries.emplace_back(name, st);
    }
    ::closedir(d);
    return entries;
}

void linkEntry(const std::string& from, const std::string& to, const struct stat& st) {
    auto fail = [&](int err) {
        throw EFCreateError(Format("Cannot create \"%s\". %s", to, errnoText(err)));
    };
    if (S_ISDIR(st.st_mode)) {
        // Filled first, then given its own bits, which may forbid writing into it.
        if (::mkdir(to.c_str(), 0700) != 0) fail(errno);
        for (const auto& [name, entry] : folderEntries(from))
            linkEntry(PathJoin(from, name), PathJoin(to, name), entry);
        if (::chmod(to.c_str(), st.st_mode & 07777) != 0) fail(errno);
        return;
    }
    if (::link(from.c_str(), to.c_str()) == 0) return;
    const int err = errno;
    // The file systems without hard links (and links across mounts) get copies instead.
    if (err != EPERM && err != EXDEV && err != EMLINK && err != ENOTSUP) fail(err);
    if (S_ISREG(st.st_mode)) {
        WriteBinaryFile(to, ReadBinaryFile(from));
        if (::chmod(to.c_str(), st.st_mode & 07777) != 0) fail(errno);
        return;
    }
    if (!S_ISLNK(st.st_mode)) fail(err);
    std::string target(std::size_t(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(from.c_str(), target.data(), target.size());
    if (n < 0 || std::size_t(n) >= target.size()) fail(n < 0 ? errno : ENAMETOOLONG);
    target.resize(std::size_t(n));
    if (::symlink(target.c_str(), to.c_str()) != 0) fail(errno);
}

} // namespace

void LinkFolderContents(std::string_view from, std::string_view to,
                        const std::function<bool(const std::string& name)>& skip) {
    const std::string source(from), target(to);
    for (const auto& [name, st] : folderEntries(source))
        if (!skip(name)) linkEntry(PathJoin(source, name), PathJoin(target, name), st);
}

bool SyncFolder(std::string_view dir) {
    FileHandle f;
    f.fd = ::open(std::string(dir).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return f.fd >= 0 && ::fsync(f.fd) == 0;
}

bool FileIsReadOnly(std::string_view path) {
    struct stat st {};
    return ::stat(std::string(path).c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & 0222) == 0;
}

bool CopyFileMode(std::string_view from, std::string_view to) {
    struct stat st {};
    return ::stat(std::string(from).c_str(), &st) == 0 &&
           ::chmod(std::string(to).c_str(), st.st_mode & 07777) == 0;
}

TTextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return TTextEncoding::Utf8;
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFF\xFE") return TTextEncoding::Utf16LE;
    if (bytes.size() >= 2 && bytes.substr(0, 2) == "\xFE\xFF") return TTextEncoding::Utf16BE;
    return TTextEncoding::Ansi;
}

std::string DecodeText(std::string_view bytes) {
    switch (DetectTextEncoding(bytes)) {
    case TTextEncoding::Utf8:
        // Re-encode so that malformed bytes become U+FFFD instead of passing through.
        return Utf32ToUtf8(Utf8ToUtf32(bytes.substr(3)));
    case TTextEncoding::Utf16LE:
        return decodeUtf16(bytes.substr(2), false);
    case TTextEncoding::Utf16BE:
        return decodeUtf16(bytes.substr(2), true);
    case TTextEncoding::Ansi:
        break;
    }
    return decodeAnsi(bytes);
}

std::string EncodeText(std::string_view text, TTextEncoding encoding) {
    std::string out;
    switch (encoding) {
    case TTextEncoding::Utf8:
        return "\xEF\xBB\xBF" + std::string(text);
    case TTextEncoding::Utf16LE:
    case TTextEncoding::Utf16BE: {
        const bool big = encoding == TTextEncoding::Utf16BE;
        const std::u16string wide = Utf8ToWide(text);
        out.reserve(2 * wide.size() + 2);
        out += big ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t u : wide) {
            const char hi = char(u >> 8), lo = char(u & 0xFF);
            out += big ? hi : lo;
            out += big ? lo : hi;
        }
        return out;
    }
    case TTextEncoding::Ansi:
        break;
    }
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((unsigned char)text[i] < 0x80) {
            out += text[i];
            continue;
        }
        std::size_t end = i + 1;
        while (end < text.size() && ((unsigned char)text[end] & 0xC0) == 0x80) ++end;
        const std::u32string cps = Utf8ToUtf32(text.substr(i, end - i));
        for (char32_t c : cps) {
            const int b = ansiByte(c);
            out += b < 0 ? '?' : char(b);
        }
        i = end - 1;
    }
    return out;
}

bool IsAnsiText(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80) {
            for (char32_t cp : Utf8ToUtf32(text))
                if (ansiByte(cp) < 0) return false;
            return true;
        }
    return true;
}

std::string ReadTextFile(std::string_view path) {
    return DecodeText(readWhole(path));
}

void ReadTextLines(std::string_view path, TStrings& lines) {
    // TStrings::SetText splits on any line end.
    lines.SetText(ReadTextFile(path));
}

std::string ReadBinaryFile(std::string_view path) {
    return readWhole(path);
}

std::string ReadBinaryFile(std::string_view path, std::size_t maxBytes) {
    return readWhole(path, maxBytes);
}

void WriteBinaryFile(std::string_view path, std::string_view bytes) {
    WriteBinaryFileParts(path, {bytes});
}

void WriteBinaryFileParts(std::string_view path, const std::vector<std::string_view>& parts) {
    TSafeFileWriter writer(path);
    for (std::string_view bytes : parts) writer.Write(bytes);
    writer.Commit();
}

void WriteBinaryFile(std::string_view path, const void* data, std::size_t size) {
    WriteBinaryFile(path, std::string_view(static_cast<const char*>(data), size));
}

bool TryWriteBinaryFile(std::string_view path, std::string_view bytes) {
    try {
        WriteBinaryFile(path, bytes);
        return true;
    } catch (const EStreamError&) {
        // The caller asked for an answer instead of the error.
        return false;
    }
}

TSafeFileWriter::TSafeFileWriter(std::string_view path) : path_(path) {
    if (int err = openTemporary(path_, tmpPath_, fd_); err != 0)
        raiseWriteFailure(path_, err, true);
}

TSafeFileWriter::~TSafeFileWriter() {
    // Removed while still locked: once unlocked, its name may be swept and made anew by another
    // write.
    if (!committed_ && !tmpPath_.empty()) ::unlink(tmpPath_.c_str());
    if (fd_ >= 0) ::close(fd_);
}

void TSafeFileWriter::Write(std::string_view bytes) {
    if (fd_ < 0) throw EWriteError(Format("Error writing file \"%s\". It is closed", path_));
    if (int err = writeAll(fd_, bytes); err != 0) raiseWriteFailure(path_, err, false);
}

void TSafeFileWriter::Commit() {
    if (fd_ < 0) throw EWriteError(Format("Error writing file \"%s\". It is closed", path_));
    bool renameFailed = false;
    if (int err = finishReplacing(fd_, tmpPath_, path_, renameFailed); err != 0)
        raiseWriteFailure(path_, err, renameFailed);
    committed_ = true;
}
