#include "image/KnxTable.h"

#include "image/LittleEndian.h"
#include "image/MBusImage.h"
#include "image/NmeaImage.h"
#include "image/ProjectFile.h"
#include "image/SettingsBlock.h"

#include "shell/state/KnxText.h"

std::array<KNX_Entry, KNX_Table_Size> KNX_Table;

namespace {

std::string_view before(std::string_view s, std::size_t pos) {
    return s.substr(0, pos);
}
std::string_view after(std::string_view s, std::size_t pos) {
    return s.substr(pos + 1);
}

int part(std::string_view s, int def) {
    return ImageIntDef(Trim(s), def);
}

bool isDmxWithoutChannels(int productType) {
    return (productType == 11 || productType == 1011) &&
           Settings_Record.U16(Block_Offset::DMX_Channels) == 0;
}

bool isYes(const std::string& text) {
    return UpperCase(text) == "Y";
}

} // namespace

void Clear_KNX_Table() {
    KNX_Table.fill(KNX_Entry{});
}

std::uint16_t KNX_Address_To_Int(std::string_view text, bool group) {
    const std::string trimmed = Trim(text);
    const std::string_view t = trimmed;
    // Masks apply to the two's-complement value, so a negative part keeps its low bits.
    if (group) {
        const std::size_t s1 = t.find('/');
        if (s1 == std::string_view::npos) return std::uint16_t(part(t, 0));
        const std::uint32_t a = std::uint32_t(part(before(t, s1), 0));
        const std::string_view rest = after(t, s1);
        const std::size_t s2 = rest.find('/');
        if (s2 == std::string_view::npos)
            return std::uint16_t((a & 31) * 2048 + (std::uint32_t(part(rest, 0)) & 2047));
        const std::uint32_t b = std::uint32_t(part(before(rest, s2), 0));
        const std::uint32_t c = std::uint32_t(part(after(rest, s2), 0));
        return std::uint16_t((a & 31) * 2048 + (b & 7) * 256 + (c & 255));
    }
    const std::size_t d1 = t.find('.');
    if (d1 == std::string_view::npos) return std::uint16_t(part(t, 0));
    const std::uint32_t a = std::uint32_t(part(before(t, d1), 0));
    const std::string_view rest = after(t, d1);
    const std::size_t d2 = rest.find('.');
    // a.c (no second dot) encodes as a.0.c.
    const std::uint32_t b =
        d2 == std::string_view::npos ? 0 : std::uint32_t(part(before(rest, d2), 0));
    const std::uint32_t c =
        std::uint32_t(part(d2 == std::string_view::npos ? rest : after(rest, d2), 0));
    return std::uint16_t((a & 15) * 4096 + (b & 15) * 256 + (c & 255));
}

int KNX_ID_To_Int(std::string_view text) {
    const std::size_t d1 = text.find('.');
    if (d1 == std::string_view::npos) return ImageIntDef(text, 4372); // 1.1.20
    const std::uint32_t a = std::uint32_t(part(before(text, d1), 1));
    const std::string_view rest = after(text, d1);
    const std::size_t d2 = rest.find('.');
    const std::uint32_t b =
        d2 == std::string_view::npos ? 1 : std::uint32_t(part(before(rest, d2), 1));
    const std::uint32_t c =
        std::uint32_t(part(d2 == std::string_view::npos ? rest : after(rest, d2), 20));
    return int(a * 4096 + b * 256 + c); // no masking: the caller keeps the low 16 bits
}

void Read_KNX_SetAccess(const std::string& path, int product_type) {
    using namespace Block_Offset;
    Settings_Record.Set_U32(KNX_Read_Count, 0);
    Settings_Record.Set_U32(KNX_Entry_Count, 0);
    MBus_Settings_Record.Set_U32(MBus_Offset::KNX_Read_Count, 0);
    MBus_Settings_Record.Set_U32(MBus_Offset::KNX_Entry_Count, 0);
    std::uint32_t count = 0;

    TXMLDocument doc;
    TXmlNode root;
    if (Load_Project_File(doc, path, root)) {
        const TXmlNode section = Find_Section(root, "KNX_in_Write", path);
        const bool dmx = isDmxWithoutChannels(product_type);
        const TXmlNodeList rows = section.ChildNodes();
        for (int i = 0; i < rows.Count(); ++i) {
            const TXmlNode node = rows[i];
            if (node.NodeType() != ntElement) continue; // comments hold no row
            const TProject_Row row(node, path, i);
            std::string enable;
            if (row.Try_Text("Enable", enable) && UpperCase(Trim(enable)) != "Y") continue;
            if (count == KNX_Table_Size)
                throw EImageLimitError(Format("%s: more than %d rows are enabled; the KNX table "
                                              "holds %d entries",
                                              path, KNX_Table_Size, KNX_Table_Size));

            KNX_Entry& e = KNX_Table[count];
            e.APCI = dmx ? 0 : std::uint16_t(Str_To_Access_Flag(row.Text("APCI")));
            e.Priority = std::uint8_t(Str_To_KNX_Priority(row.Text("Priority")));
            std::uint16_t flags = 0;
            if (isYes(row.Text("Extended"))) flags |= KNX_Flag_Extended;
            const std::string destination = row.Text("Destination_Address");
            const bool group = Has_No_Dot(destination);
            if (group) flags |= KNX_Flag_Group;
            if (isYes(row.Text("ReTest"))) flags |= KNX_Flag_ReTest;
            e.Source_Address = KNX_Address_To_Int(row.Text("Source_Address"), false);
            e.Destination_Address = KNX_Address_To_Int(destination, group);
            if (!dmx) {
                if (row.Is_Upper("On_Command", "Y")) flags |= KNX_Flag_On_Command;
                if (isYes(row.Text("On_Change"))) flags |= KNX_Flag_On_Change;
            }
            std::string pollTime;
            e.Poll_Time = row.Is_Upper("On_Timer", "Y") && row.Try_Text("Poll_Time", pollTime)
                              ? std::uint32_t(ImageIntDef(pollTime, 1000))
                              : 0;
            std::string format;
            if (row.Try_Text("Format", format)) flags |= std::uint16_t(Str_To_Conversion(format));
            const std::string bitMode = row.Text("Bit_Mode");
            if (UpperCase(bitMode) == "NO") {
                e.Position = std::uint16_t(row.Int("Position", 0));
            } else {
                flags |= KNX_Flag_Bit_Mode;
                e.Position = std::uint16_t(std::uint32_t(row.Int("Position", 0)) * 8 +
                                           std::uint32_t(ImageIntDef(bitMode, 0)));
            }
            e.Length = std::uint8_t(row.Int("Length", 1));
            e.TimeOut = std::uint32_t(row.Int_Guarded("TimeOut", 0));
            e.Flags = flags;
            ++count;
        }
    }
    // Only the record of the compiled variant is written; the copies serve whichever it is.
    Settings_Record.Set_U32(KNX_Entry_Count, count);
    MBus_Settings_Record.Set_U32(MBus_Offset::KNX_Read_Count, 0);
    MBus_Settings_Record.Set_U32(MBus_Offset::KNX_Entry_Count, count);
    NMEA_Settings_Record.Set_U32(KNX_Read_Count, 0);
    NMEA_Settings_Record.Set_U32(KNX_Entry_Count, count);
}

std::uint32_t Write_KNX_Table(std::uint32_t position, std::span<std::uint8_t> buffer) {
    const std::uint32_t size = KNX_Table_Size * KNX_Entry_Bytes;
    if (std::size_t(position) + size > buffer.size())
        throw ERangeError("The KNX table does not fit into the image buffer");
    std::uint8_t* p = buffer.data() + position;
    for (const KNX_Entry& e : KNX_Table) {
        Put_U32(p + 0, e.Poll_Time);
        Put_U32(p + 4, e.TimeOut);
        p[8] = e.Priority;
        p[9] = e.Length;
        Put_U16(p + 10, e.Flags);
        Put_U16(p + 12, e.APCI);
        Put_U16(p + 14, e.Source_Address);
        Put_U16(p + 16, e.Destination_Address);
        Put_U16(p + 18, e.Position);
        p += KNX_Entry_Bytes;
    }
    return position + size;
}
