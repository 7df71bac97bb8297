#include "image/ImageCompiler.h"

#include "image/CanImage.h"
#include "image/CanopenImage.h"
#include "image/DmxImage.h"
#include "image/J1939Image.h"
#include "image/MBusImage.h"
#include "image/ModbusImage.h"
#include "image/NmeaImage.h"
#include "image/SettingsImages.h"

#include "platform/files/Files.h"
#include "shell/state/ProgramState.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

std::array<std::uint8_t, Image_Buffer_Size> Image_Buffer;
std::uint32_t Image_Length = 0;
std::array<std::uint8_t, Bank2_Buffer_Size> Bank2_Buffer;
std::uint32_t Bank2_Length = 0;

namespace {

enum class Layout { None, Bank, Bank1And2 };

// Which bank files a product type has.
Layout layoutOf(int type) {
    switch (type) {
    case 10:
    case 1010:
    case 25:
        return Layout::Bank1And2;
    case 1:
    case 1001:
    case 2:
    case 3:
    case 1003:
    case 4:
    case 5:
    case 6:
    case 9:
    case 12:
    case 1012:
    case 13:
    case 14:
    case 1014:
    case 11:
    case 1011:
    case 15:
        return Layout::Bank;
    default:
        return Layout::None; // 7, 8 (DeviceNet) and unknown values have no image
    }
}

struct BankFile {
    const char* name;
    const std::uint8_t* data;
    std::uint32_t size;
};

// The project and product type of the last successful compile; empty after a failed one.
struct CompiledImage {
    std::string projectDir;
    int productType = 0;
};
std::optional<CompiledImage> compiled;

std::string binFolder(const std::string& projectDir) {
    return PathJoin(projectDir, "bin");
}
std::string newBinFolder(const std::string& projectDir) {
    return PathJoin(projectDir, "bin.new");
}
std::string oldBinFolder(const std::string& projectDir) {
    return PathJoin(projectDir, "bin.old");
}

[[noreturn]] void refuseWrite(const std::string& path, const std::string& reason) {
    throw EBankFileError(Format("The bank file %s could not be written: %s", path, reason));
}

// The new pair is written into "bin.new" beside "bin", with links to whatever else "bin" holds
// (files and folders), and the two folders are swapped in one step: whenever the program stops,
// "bin" holds the old pair or the new one. Where the file system cannot swap, "bin" is renamed to
// "bin.old" first and recoverBankFolder puts it back when the program stopped between the two
// renames.
void writeBankFiles(const std::string& projectDir, const std::vector<BankFile>& files) {
    recoverBankFolder(projectDir);
    const std::string bin = binFolder(projectDir), fresh = newBinFolder(projectDir);
    const auto pathOf = [&](const BankFile& f) { return PathJoin(bin, f.name); };
    if (!DirectoryExists(bin) && !CreateDir(bin))
        refuseWrite(pathOf(files[0]),
                    Format("the folder %s cannot be created. %s", bin, std::strerror(errno)));
    for (const BankFile& f : files)
        if (FileIsReadOnly(pathOf(f))) refuseWrite(pathOf(f), "the file is read-only");

    // The bank files, and what an interrupted write of one leaves beside it (the files layer's
    // ".bank1.bin.XXXXXX", an earlier version's "bank1.bin.tmp" and "bank1.bin.old").
    const auto isBankFile = [&](const std::string& name) {
        for (const BankFile& f : files) {
            const std::string bank = f.name;
            if (name == bank || name == bank + ".tmp" || name == bank + ".old" ||
                (name.size() == bank.size() + 8 && name.rfind("." + bank + ".", 0) == 0))
                return true;
        }
        return false;
    };
    std::string current = pathOf(files[0]);
    try {
        if (!CreateDir(fresh))
            throw EFCreateError(
                Format("Cannot create the folder \"%s\". %s", fresh, std::strerror(errno)));
        LinkFolderContents(bin, fresh, isBankFile);
        for (const BankFile& f : files) {
            current = pathOf(f);
            WriteBinaryFile(PathJoin(fresh, f.name), f.data, f.size);
            if (FileExists(current)) CopyFileMode(current, PathJoin(fresh, f.name));
        }
        if (!SyncFolder(fresh))
            throw EWriteError(
                Format("Cannot sync the folder \"%s\". %s", fresh, std::strerror(errno)));
    } catch (const Exception& e) {
        DeleteTree(fresh); // best effort: a stale folder is removed by the next save
        refuseWrite(current, e.Message());
    }

    if (!ExchangePaths(fresh, bin)) {
        const int error = errno;
        const std::string old = oldBinFolder(projectDir);
        const bool renamed = (error == EINVAL || error == ENOSYS) && RenameFile(bin, old);
        if (!renamed || !RenameFile(fresh, bin)) {
            const int failure = renamed ? errno : error;
            if (renamed) RenameFile(old, bin);
            DeleteTree(fresh);
            refuseWrite(pathOf(files[0]), std::strerror(failure));
        }
        SyncFolder(projectDir);
        DeleteTree(old);
    } else {
        SyncFolder(projectDir);
        DeleteTree(fresh); // now the old folder
    }
    SyncFolder(projectDir);
}

// Without a project the paths would point at the file system's root.
void requireProject(const std::string& projectDir) {
    if (projectDir.empty()) throw EImageError("No project is open");
}

} // namespace

void Compile_Bank(int product_type, const std::string& project_dir) {
    requireProject(project_dir);
    compiled.reset();
    switch (product_type) {
    case 1:
    case 1001:
        Compile_ModbusM(project_dir);
        break;
    case 3:
    case 1003:
        Compile_ModbusTCPM(project_dir);
        break;
    case 2:
    case 4:
    case 12:
    case 1012:
    case 13:
    case 14:
    case 1014:
    case 15:
        Compile_Settings_Image(product_type, project_dir);
        break;
    case 5:
        Compile_CAN(project_dir);
        break;
    case 6:
        Compile_CANopen(project_dir);
        break;
    case 9:
        Compile_J1939(project_dir);
        break;
    case 11:
    case 1011:
        Compile_DMX(product_type, project_dir);
        break;
    case 10:
    case 1010:
        Compile_MBus(product_type, project_dir);
        break;
    case 25:
        Compile_NMEA(project_dir);
        break;
    default:
        break; // no image
    }
    compiled = CompiledImage{project_dir, product_type};
}

void Save_Bank(int product_type, const std::string& project_dir) {
    requireProject(project_dir);
    if (!compiled || compiled->projectDir != project_dir || compiled->productType != product_type)
        throw EBankFileError("The image in memory was not compiled from the project " +
                             project_dir + "; the bank files are not written");
    switch (layoutOf(product_type)) {
    case Layout::Bank1And2:
        writeBankFiles(project_dir, {
                                        {"bank1.bin", Image_Buffer.data(), Image_Length},
                                        {"bank2.bin", Bank2_Buffer.data(), Bank2_Length},
                                    });
        break;
    case Layout::Bank:
        writeBankFiles(project_dir, {{"bank.bin", Image_Buffer.data(), Image_Length}});
        break;
    case Layout::None:
        break;
    }
}

void recoverBankFolder(const std::string& project_dir) {
    if (project_dir.empty()) return;
    const std::string bin = binFolder(project_dir), old = oldBinFolder(project_dir);
    // Stopped between the two renames of a save: the old pair goes back in place.
    if (!DirectoryExists(bin) && DirectoryExists(old)) RenameFile(old, bin);
    if (DirectoryExists(bin)) {
        DeleteTree(old);
        DeleteTree(newBinFolder(project_dir));
    }
}

void Compile_Bank() {
    Compile_Bank(Product_Type(), Project_Dir);
}

void Save_Bank() {
    Save_Bank(Product_Type(), Project_Dir);
}
