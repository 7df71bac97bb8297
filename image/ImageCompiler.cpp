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
    std::string path;
    const std::uint8_t* data;
    std::uint32_t size;
};

// Writes every file to a temporary name first and renames them into place only when all were
// written, so a failure leaves each bank file as it was.
void writeBankFiles(const std::vector<BankFile>& files) {
    std::vector<std::string> temporaries;
    const auto removeTemporaries = [&] {
        for (const std::string& t : temporaries) DeleteFile(t);
    };
    try {
        for (const BankFile& f : files) {
            temporaries.push_back(f.path + ".tmp");
            WriteBinaryFile(temporaries.back(), f.data, f.size);
        }
    } catch (const Exception& e) {
        removeTemporaries();
        throw EImageError(Format("The bank file %s could not be written: %s",
                                 files[temporaries.size() - 1].path, e.Message()));
    }
    // Each old file is moved aside before its new one is put in place, so that when a later
    // file fails the files already placed can be put back as they were.
    std::vector<bool> movedAside(files.size(), false), placed(files.size(), false);
    int error = 0;
    std::size_t i = 0;
    for (; i < files.size(); ++i) {
        const std::string& target = files[i].path;
        if (FileExists(target)) {
            if (!RenameFile(target, target + ".old")) {
                error = errno;
                break;
            }
            movedAside[i] = true;
        }
        if (!RenameFile(temporaries[i], target)) {
            error = errno;
            break;
        }
        placed[i] = true;
    }
    if (i == files.size()) {
        for (std::size_t j = 0; j < files.size(); ++j)
            if (movedAside[j]) DeleteFile(files[j].path + ".old");
        return;
    }
    // Best effort: the failure below is what the caller sees.
    for (std::size_t j = 0; j <= i; ++j) {
        if (placed[j]) DeleteFile(files[j].path);
        if (movedAside[j]) RenameFile(files[j].path + ".old", files[j].path);
    }
    for (std::size_t j = i; j < temporaries.size(); ++j) DeleteFile(temporaries[j]);
    throw EImageError(
        Format("The bank file %s could not be written: %s", files[i].path, std::strerror(error)));
}

// Without a project the paths would point at the file system's root.
void requireProject(const std::string& projectDir) {
    if (projectDir.empty()) throw EImageError("No project is open");
}

} // namespace

void Compile_Bank(int product_type, const std::string& project_dir) {
    requireProject(project_dir);
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
}

void Save_Bank(int product_type, const std::string& project_dir) {
    requireProject(project_dir);
    switch (layoutOf(product_type)) {
    case Layout::Bank1And2:
        writeBankFiles({
            {NativePath(project_dir + "\\bin\\bank1.bin"), Image_Buffer.data(), Image_Length},
            {NativePath(project_dir + "\\bin\\bank2.bin"), Bank2_Buffer.data(), Bank2_Length},
        });
        break;
    case Layout::Bank:
        writeBankFiles(
            {{NativePath(project_dir + "\\bin\\bank.bin"), Image_Buffer.data(), Image_Length}});
        break;
    case Layout::None:
        break;
    }
}

void Compile_Bank() {
    Compile_Bank(Product_Type(), Project_Dir);
}

void Save_Bank() {
    Save_Bank(Product_Type(), Project_Dir);
}
