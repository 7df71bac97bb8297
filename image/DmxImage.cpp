#include "image/DmxImage.h"

#include "image/ImageCompiler.h"
#include "image/KnxTable.h"
#include "image/ParGenKeys.h"
#include "image/ProjectFile.h"
#include "image/SettingsBlock.h"

#include "shell/state/ProgramState.h"

#include <algorithm>

std::array<std::uint8_t, DMX_Channel_Count> DMX_Default_Block;

namespace {

constexpr std::uint32_t KNX_Table_Flash = 0x63000;

} // namespace

void Read_ParGen_DMX(const std::string& path) {
    using namespace Block_Offset;
    TSettings_Block& r = Settings_Record;
    r.Set_U32(KNX_Table_Address, KNX_Table_Flash);
    r.Set_U32(KNX_Table_Address_2, KNX_Table_Flash);
    r.Set_U32(DMX_Table_Address, DMX_Table_Flash);
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    // KNX_TYPE is read by other variants; its value is not used here.
    r.Set_U16(KNX_Address, KNX_Address_Key(root, "KNX_ID_DEV", 4552));
    const bool input = Key_Int(root, "DMX_DMX", 1) == 0;
    const std::uint32_t channels = std::uint32_t(Key_Int(root, "DMX_Num_Channels", 512));
    // Exactly one direction holds the channel count.
    r.Set_U16(DMX_Channels, input ? channels : 0);
    r.Set_U16(DMX_Channels_2, input ? 0 : channels);
    Read_Network_Keys(root, r, "Modbus_TCP_Slave_");
}

void Read_DMX_Default_Values(const std::string& path) {
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    const std::vector<TXmlNode> rows = Element_Children(root);
    const std::size_t count = std::min(rows.size(), std::size_t(DMX_Channel_Count));
    for (std::size_t i = 0; i < count; ++i) {
        const TProject_Row row(rows[i], path, int(i));
        DMX_Default_Block[i] = std::uint8_t(row.Int_Guarded("Default_Value", 0));
    }
}

void Write_DMX_Default_Block() {
    if (Image_Length + DMX_Channel_Count > Image_Buffer.size())
        throw EImageLimitError("The DMX default values do not fit into the image");
    std::copy(DMX_Default_Block.begin(), DMX_Default_Block.end(),
              Image_Buffer.begin() + Image_Length);
    Image_Length += DMX_Channel_Count;
}

void Compile_DMX(int product_type, const std::string& project_dir) {
    Init_Settings();
    Clear_KNX_Table();
    DMX_Default_Block.fill(0);
    Read_ParGen_DMX(Project_File_Path(project_dir, "ParGen.xml"));
    Read_KNX_SetAccess(Project_File_Path(project_dir, "KNX_SetAccess.xml"), product_type);
    Read_DMX_Default_Values(Project_File_Path(project_dir, "DMX_Default_Values.xml"));
    Image_Length = 0;
    Image_Length = Write_KNX_Table(Image_Length, Image_Buffer);
    Write_Settings(Image_Length);
    Image_Length += Settings_Block_Size;
    Write_DMX_Default_Block();
}
