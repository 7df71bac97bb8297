#pragma once
// The DeviceNet master's slave list and the byte offsets of its slaves without a window: the
// network table with its load, check and save, the slaves that the offset dialog builds from the
// saved network, their offsets' load, check and save. TFDNet and TFDefOffset show them.
#include "editors/frames/tables/CanopenTables.h"

#include <cstdint>
#include <string>
#include <vector>

constexpr int DNet_Net_Rows = 64;
// Byte-image positions 0 .. DNet_Max_Byte - 1.
constexpr int DNet_Max_Byte = 1439;

// Columns 1..4 of the network table (ID, N BYTE IN, N BYTE OUT, MNEMONIC); column 0 is the row
// number, headed by entry 631. Column 1 is the key: the list ends at the first row whose ID cell
// is empty (a cell of blanks is a row, and fails the ID test).
extern const std::vector<TTable_Column> DNet_Net_Columns;

TRow_Table New_DNet_Net_Table();
// Empties the table and reads the file at path into it. False when the file does not exist. A
// file that is not well-formed or a row without one of the attributes raises an error naming
// the file; the rows read before it stay.
bool Load_DNet_Net(TRow_Table& table, const std::string& path);
// The check made on OK: empty when the list is valid, else the first error's message.
std::string Check_DNet_Net(const TRow_Table& table);
// Writes the rows up to the end that the check stops at to path.
void Save_DNet_Net(const TRow_Table& table, const std::string& path);

// A slave of the saved network with the positions and mnemonics of its bytes: one entry per
// input byte in SL_ByteIN (a position, or "None") and SL_ByteIN_M, likewise for the outputs.
struct TSlave_DN {
    std::uint8_t ID = 0;
    std::uint16_t ByteIN = 0;
    std::uint16_t ByteOUT = 0;
    std::vector<std::string> SL_ByteIN;
    std::vector<std::string> SL_ByteIN_M;
    std::vector<std::string> SL_ByteOUT;
    std::vector<std::string> SL_ByteOUT_M;
};

// One slave per row of the network file at path, in file order, each byte at "None" with an
// empty mnemonic; texts gets each row's four attribute texts. Nothing when the file does not
// exist. A file that is not well-formed, or a row whose attribute is missing or whose ID, NB_IN
// or NB_OUT is not a number in the range the network dialog accepts, raises an error naming the
// file; the slaves made before it stay.
void Read_Slaves_DN(std::vector<TSlave_DN>& slaves, std::vector<std::vector<std::string>>& texts,
                    const std::string& path);

// Reads the offset file at path into slaves. Each "Nodo_DNET" names its slave's ID and gives its
// offsets to the first slave of that ID that has none yet; a node without an ID (files written
// before the IDs were kept) goes to the slave at its own position. Bytes beyond a slave's
// counts are ignored; bytes the file lacks stay "None". A file that is not well-formed, a node
// without "ByteIN" or "ByteOUT", a byte row without "Offset" or "Mnemonic" or an ID that is no
// number raises an error naming the file; the offsets read before it stay.
void Read_Offsets_DN(std::vector<TSlave_DN>& slaves, const std::string& path);

// The check made on OK: no output position may be used twice, over all slaves (input bytes may
// share one). Empty when none is, else the message naming both bytes. An offset that is no
// number ("None") or lies outside the byte image is passed over.
std::string Check_Offsets_DN(const std::vector<TSlave_DN>& slaves);

// Writes the offsets of every slave, in list order, to path.
void Write_Offsets_DN(const std::vector<TSlave_DN>& slaves, const std::string& path);
