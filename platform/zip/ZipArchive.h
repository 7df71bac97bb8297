#pragma once
// Zip archives held in memory: read whole from a file, written whole through a replacing write.
#include "platform/base/SysUtils.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A file that is no readable zip archive, or one of its entries that cannot be read. The
// message names the file.
class EZipError : public Exception {
public:
    using Exception::Exception;
};

// Larger entries are refused before they are unpacked.
constexpr std::size_t MaxZipEntryBytes = std::size_t(256) << 20;

struct TZipEntry {
    std::string Name; // "/"-separated, as stored
    std::string Data; // the unpacked bytes
};

// The file entries of the archive in their stored order (folder entries are left out).
// Raises EFOpenError when the file cannot be read, EZipError when it is no zip archive.
std::vector<TZipEntry> ReadZipFile(const std::string& FileName);
// The same from the bytes of an archive; Name is used in messages.
std::vector<TZipEntry> ReadZipBytes(std::string_view Bytes, const std::string& Name);
// The entries packed (deflated) in their order.
std::string ZipBytes(const std::vector<TZipEntry>& Entries);
// Replaces the file with the packed entries, written to a temporary file that is renamed into
// place. Raises EFCreateError or EWriteError when writing fails.
void WriteZipFile(const std::string& FileName, const std::vector<TZipEntry>& Entries);
