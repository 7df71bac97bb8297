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

// Builds the image of product_type from the project files in project_dir. Raises
// EImageError (or the failure of a reader) when a file cannot be compiled. Types without an
// image (7, 8 and unknown values) compile nothing.
void Compile_Bank(int product_type, const std::string& project_dir);
// Writes the image of the last compile as the bank files of product_type into
// project_dir + "\bin". Every file is written to a temporary file first and renamed into
// place only when all of them were written, so a failure leaves the old files as they were.
// Raises EImageError when a file cannot be written.
void Save_Bank(int product_type, const std::string& project_dir);

// The same for the program's product type and the open project.
void Compile_Bank();
void Save_Bank();
