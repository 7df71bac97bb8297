#pragma once
// The image compiler: turns the project files of a product type into the gateway's flash
// image in memory (Compile_Bank) and writes it as bank files into the project's "bin"
// folder (Save_Bank).
#include "image/ProjectFile.h"

#include <array>
#include <cstdint>
#include <string>

constexpr std::uint32_t Image_Buffer_Size = 0x20000;
constexpr std::uint32_t Bank2_Buffer_Size = 200000;

// bank.bin, or bank1.bin of the variants with two bank files; Image_Length bytes are valid.
extern std::array<std::uint8_t, Image_Buffer_Size> Image_Buffer;
extern std::uint32_t Image_Length;
// bank2.bin of the variants with two bank files (10, 1010, 25).
extern std::array<std::uint8_t, Bank2_Buffer_Size> Bank2_Buffer;
extern std::uint32_t Bank2_Length;

// A failure to write the bank files, or a write refused because the image in memory is not
// the compile of that project.
class EBankFileError : public EImageError {
public:
    using EImageError::EImageError;
};

// Builds the image of product_type from the project files in project_dir. Raises
// EImageError (or the failure of a reader) when a file cannot be compiled: its kinds are
// EImageMalformedError, EImageValueError and EImageLimitError. Types without an image (7, 8
// and unknown values) compile nothing.
void Compile_Bank(int product_type, const std::string& project_dir);
// Writes the image of the last compile as the bank files of product_type into
// project_dir/bin, which is created when missing; whatever else the folder holds stays. Refused
// with EBankFileError unless the last compile of product_type and project_dir succeeded. The
// pair is replaced as a whole, also if the program stops half-way (see writeBankFiles); a
// read-only bank file refuses the write. Raises EBankFileError when
// a file cannot be written; the old files are then as they were.
void Save_Bank(int product_type, const std::string& project_dir);
// Puts project_dir/bin back as the last whole pair after a save that was cut short, and
// removes its leftovers. Save_Bank does this first; so does whoever reads the bank files.
void recoverBankFolder(const std::string& project_dir);

// The same for the program's product type and the open project.
void Compile_Bank();
void Save_Bank();
