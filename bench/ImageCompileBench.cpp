// Compiling a project whose tables are full: 1024 KNX rows and 512 NMEA 2000 rows each way.
#include "image/ImageCompiler.h"

#include "platform/files/Files.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

class FullProject {
public:
    FullProject() {
        dir_ = (std::filesystem::temp_directory_path() / "bench_image_full_project").string();
        std::filesystem::remove_all(dir_);
        ForceDirectories(PathJoin(dir_, "bin"));
        WriteBinaryFile(PathJoin(dir_, "ParGen.xml"),
                        "<Par_Gen><KNX_ID_DEV>1.1.200</KNX_ID_DEV>"
                        "<NMEA2000_BAUDRATE>5</NMEA2000_BAUDRATE>"
                        "<NMEA2000_TIMEOUT>10</NMEA2000_TIMEOUT></Par_Gen>");
        std::string rec = "<Receive_NMEA_2000>", send = "<Receive_NMEA_2000>";
        for (int i = 0; i < 512; ++i) {
            const std::string pgn = std::to_string(126208 + i);
            rec += "<row PGN=\"" + pgn +
                   "\" SA=\"5\" TP=\"N\" FP=\"N\" TP_Start=\"0\" "
                   "TP_NByte=\"1\" Delete=\"Y\" Mnemonic=\"r\"/>";
            send += "<row Priority=\"3\" PGN=\"" + pgn +
                    "\" SA=\"7\" FP=\"N\" TP_NByte=\"1\" "
                    "On_Request=\"N\" On_Data_Change=\"Y\" On_Timer=\"Y\" SendTimer=\"500\" "
                    "Mnemonic=\"s\"/>";
        }
        WriteBinaryFile(PathJoin(dir_, "NMEA_Rec_Frames.xml"), rec + "</Receive_NMEA_2000>");
        WriteBinaryFile(PathJoin(dir_, "NMEA_Send_Frames.xml"), send + "</Receive_NMEA_2000>");
        std::string knx = "<BACnet_to_KNX><KNX_in_Read/><KNX_in_Write>";
        for (int i = 0; i < 1024; ++i)
            knx += "<row Enable=\"Y\" Source_Address=\"1.1." + std::to_string(i % 256) +
                   "\" Destination_Address=\"1/2/" + std::to_string(i % 256) +
                   "\" APCI=\"Write\" Priority=\"Low\" Format=\"SWAP16\" Extended=\"N\" "
                   "ReTest=\"N\" On_Command=\"Y\" On_Change=\"Y\" On_Timer=\"Y\" "
                   "Poll_Time=\"1000\" Position=\"" +
                   std::to_string(i) +
                   "\" Bit_Mode=\"No\" Length=\"1\" TimeOut=\"0\" Mnemonic=\"k\"/>";
        WriteBinaryFile(PathJoin(dir_, "KNX_SetAccess.xml"),
                        knx + "</KNX_in_Write></BACnet_to_KNX>");
    }
    ~FullProject() { std::filesystem::remove_all(dir_); }
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
};

void BM_CompileFullProject(benchmark::State& state) {
    FullProject project;
    for (auto _ : state) {
        Compile_Bank(25, project.Dir());
        benchmark::DoNotOptimize(Bank2_Buffer.data());
    }
}
BENCHMARK(BM_CompileFullProject)->Unit(benchmark::kMillisecond);

void BM_CompileAndSaveFullProject(benchmark::State& state) {
    FullProject project;
    for (auto _ : state) {
        Compile_Bank(25, project.Dir());
        Save_Bank(25, project.Dir());
    }
}
BENCHMARK(BM_CompileAndSaveFullProject)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
