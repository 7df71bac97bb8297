#pragma once
// Files and folders. Every function takes a Linux path: "/" separates its names and a
// backslash is a character of a name, like any other. Paths are built with PathJoin.
#include "platform/base/Classes.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// --- paths --------------------------------------------------------------------------------
// A path written in the model's form, with every backslash turned into "/" (for texts that are
// known to be such paths; names read from the disk are never passed through it).
std::string NativePath(std::string_view path);
// dir + "/" + name, with exactly one separator between them; an empty dir gives name.
std::string PathJoin(std::string_view dir, std::string_view name);
// Full path of the running program (from /proc/self/exe unless overridden).
std::string ProgramPath();
// Folder of the running program, without a trailing separator.
std::string ProgramDir();
// Makes ProgramPath report path instead of the real executable; empty restores it (tests).
void SetProgramPathOverride(const std::string& path);

// The model's file-name helpers, on "/"-separated paths.
std::string ExtractFilePath(std::string_view path); // folder with its trailing "/"
std::string ExtractFileDir(std::string_view path);  // folder without the trailing "/"
std::string ExtractFileName(std::string_view path);
std::string ExtractFileExt(std::string_view path); // with the dot, "" when there is none
std::string ChangeFileExt(std::string_view path, std::string_view ext);

// --- folders and files --------------------------------------------------------------------
bool FileExists(std::string_view path); // a regular file (or a link to one); folders are not files
// True for a regular file (or a link to one), false when nothing is there. Raises EFOpenError
// naming the path when something else is: a folder, a FIFO or device, a link that leads
// nowhere, a path that cannot be looked at.
bool FileExistsStrict(std::string_view path);
bool DirectoryExists(std::string_view path);
// Creates one folder whose parent exists; false when it cannot (or it exists already).
bool CreateDir(std::string_view path);
// Creates the folder and any missing parents; true when the folder exists afterwards.
bool ForceDirectories(std::string_view path);
// Names (not paths) of the sub-folders, sorted, without "." and "..".
std::vector<std::string> ListSubFolders(std::string_view dir);
// Names of the regular files matching a wildcard pattern ("*", "?"; letter case ignored as on
// the model's file system), sorted.
std::vector<std::string> ListFiles(std::string_view dir, std::string_view pattern = "*");
bool DeleteFile(std::string_view path);
// Renames or moves a file, replacing an existing target; false (errno set) when it fails.
bool RenameFile(std::string_view from, std::string_view to);
// Swaps the two names in one step, so that a crash leaves each name on one of the two; both
// must exist. False (errno set) when it fails; EINVAL or ENOSYS when the file system cannot.
bool ExchangePaths(std::string_view a, std::string_view b);
// Removes a file, or a folder with everything in it; true when nothing is left at path.
bool DeleteTree(std::string_view path);
// Gives the folder `to`, which exists, everything the folder `from` holds apart from the
// top-level names for which skip is true: sub-folders are made anew with their permission bits
// and filled likewise, every other entry becomes a hard link to the same file. Where the file
// system cannot link, a regular file is copied with its permission bits and a symbolic link is
// made anew. Raises EFCreateError naming the entry that cannot be made.
void LinkFolderContents(std::string_view from, std::string_view to,
                        const std::function<bool(const std::string& name)>& skip);
// Writes what the folder's entries are (names added, removed, renamed) through to the disk.
bool SyncFolder(std::string_view dir);
// True for a regular file without any write permission (the model's read-only attribute).
bool FileIsReadOnly(std::string_view path);
// Gives the file `to` the permission bits of the file `from`.
bool CopyFileMode(std::string_view from, std::string_view to);

// --- text files ---------------------------------------------------------------------------
enum class TTextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };
// The encoding a byte order mark announces; Ansi (Windows-1252) when there is none.
TTextEncoding DetectTextEncoding(std::string_view bytes);
// Decodes the bytes of a text file to UTF-8, dropping the byte order mark.
std::string DecodeText(std::string_view bytes);
// UTF-8 text as the bytes of a text file in the encoding, with the byte order mark of the
// UTF encodings. Ansi writes '?' for a character that Windows-1252 lacks.
std::string EncodeText(std::string_view text, TTextEncoding encoding);
// True when Windows-1252 holds every character of the UTF-8 text.
bool IsAnsiText(std::string_view text);
// Reads a whole text file as UTF-8; raises EFOpenError when it cannot be read.
std::string ReadTextFile(std::string_view path);
// Reads a text file into lines; any line end (CR LF, LF, CR) separates them.
void ReadTextLines(std::string_view path, TStrings& lines);

// --- binary files -------------------------------------------------------------------------
// Reads a whole file; raises EFOpenError when it cannot be read or is not a regular file.
std::string ReadBinaryFile(std::string_view path);
// Reads at most the first maxBytes bytes of a file; raises as ReadBinaryFile.
std::string ReadBinaryFile(std::string_view path, std::size_t maxBytes);
// Replaces the file with bytes: written to a temporary file in the same folder and renamed
// into place, so a failure never leaves a truncated file. Raises EFCreateError or EWriteError.
void WriteBinaryFile(std::string_view path, std::string_view bytes);
void WriteBinaryFile(std::string_view path, const void* data, std::size_t size);
// As WriteBinaryFile with the parts written one after the other.
void WriteBinaryFileParts(std::string_view path, const std::vector<std::string_view>& parts);
// As WriteBinaryFile, but reports failure by returning false.
bool TryWriteBinaryFile(std::string_view path, std::string_view bytes);

// Replaces a file written piece by piece: the bytes go to a temporary file in the same folder,
// which Commit syncs and renames over the file. A writer destroyed without Commit removes its
// temporary file and leaves the file as it was. Raises EFCreateError when the temporary file
// cannot be made or renamed, EWriteError when writing or syncing fails.
class TSafeFileWriter {
public:
    explicit TSafeFileWriter(std::string_view path);
    ~TSafeFileWriter();
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;
    void Write(std::string_view bytes);
    void Commit();

private:
    std::string path_;
    std::string tmpPath_;
    int fd_ = -1;
    bool committed_ = false;
};
