#include "image/MBusNetwork.h"

#include "image/ProjectFile.h"

namespace {

std::uint8_t byteOf(const TProject_Row& row, std::string_view name, int def) {
    return std::uint8_t(row.Int_Guarded(name, def));
}

// A number of which the low 32 bits are kept; def when missing or not a number.
std::uint32_t low32(const TProject_Row& row, std::string_view name, std::uint32_t def) {
    std::int64_t v;
    return row.Try_Int64(name, v) ? std::uint32_t(v) : def;
}

TMBus_Nodo readWired(const TProject_Row& row) {
    TMBus_Nodo n;
    n.ID_Type = byteOf(row, "Node_ID_Type", 0);
    std::int64_t id;
    if (row.Try_Int64("ID", id))
        n.ID = std::uint32_t(id);
    else
        n.ID = std::uint32_t(row.Int_Guarded(n.ID_Type == 0 ? "ID_Primary" : "ID_Secondary", 1));
    n.SND_NKE = byteOf(row, "Send_SND_NKE", 0);
    n.Reset_App = byteOf(row, "Reset_App", 0);
    n.Node_State = byteOf(row, "Node_State", 0);
    n.Ident_Num = byteOf(row, "Ident_Num", 0);
    n.BCDtoINT_IN = byteOf(row, "BCDtoINT_IN", 0);
    n.Swap_IN = byteOf(row, "Swap_IN", 0);
    n.Var_Type = byteOf(row, "Var_List_Type", 0);
    int cut;
    n.Cut_After = row.Try_Int("Cut_After", cut) ? std::uint8_t(cut + 1) : 250;
    return n;
}

TMBus_Nodo readWireless(const TProject_Row& row) {
    TMBus_Nodo n;
    TwMBus_Meter& m = n.Meter;
    m.Man_ID = std::uint16_t(row.Int_Guarded("wMBus_ManID", 0));
    m.Address = low32(row, "wMBus_Add", 0);
    m.Version = byteOf(row, "wMBus_Ver", 0);
    m.Device_Type = byteOf(row, "wMBus_DevType", 0);
    m.Key_Enable = byteOf(row, "wMBus_En_Key", 0);
    if (m.Key_Enable == 1)
        for (int k = 0; k < 16; ++k)
            m.Key[k] = byteOf(row, "wMBus_Key_" + std::to_string(k + 1), 0);
    n.ID = m.Address;
    n.Node_State = byteOf(row, "Node_State", 0);
    n.Ident_Num = byteOf(row, "Ident_Num", 0);
    n.BCDtoINT_IN = byteOf(row, "BCDtoINT_IN", 0);
    n.Swap_IN = byteOf(row, "Swap_IN", 0);
    n.Var_Type = byteOf(row, "Var_List_Type", 0);
    return n;
}

TMBus_Variabile readVariable(const TProject_Row& row) {
    TMBus_Variabile v;
    v.Type_Of_Data = std::uint8_t(row.Strict_Int("Type"));
    // The function-field codes 1 and 2 are exchanged for the gateway.
    const std::uint8_t function = std::uint8_t(row.Strict_Int("Fun_Field"));
    v.Function_Field = function == 1 ? 2 : function == 2 ? 1 : function;
    v.Dimension = std::uint8_t(row.Strict_Int("Dim"));
    v.Unita = byteOf(row, "Unit", 0);
    v.Storage_Num = low32(row, "StoNumber", 0);
    v.Tarif = low32(row, "Tariff", 0);
    v.VIFE = byteOf(row, "VIFE", 0);
    v.BCDtoINT = byteOf(row, "BCDtoINT", 0);
    std::string text;
    row.Try_Text("VIF_ASCII", text);
    if (v.Type_Of_Data == MBus_Type_VIF_ASCII) {
        v.VIF_ASCII = Utf8ToUtf32(text);
        if (v.VIF_ASCII.size() > MBus_Max_VIF_ASCII)
            row.Refuse(Format("the text \"VIF_ASCII\" has %d characters; its length byte counts "
                              "at most %d",
                              v.VIF_ASCII.size(), MBus_Max_VIF_ASCII));
        v.Len_VIF_ASCII = std::uint8_t(v.VIF_ASCII.size());
    }
    v.Length = byteOf(row, "Length", 0);
    if (row.Is("Conv_Float", "1")) v.Conv_Float |= MBus_Flag_Conv_Float;
    if (row.Is("Force_Int32", "1")) v.Conv_Float |= MBus_Flag_Force_Int32;
    if (row.Is("TP_Mod_Regs", "1")) v.Conv_Float |= MBus_Flag_TP_Mod_Regs;
    if (v.Dimension != MBus_Dimension_Variable) v.Length = 0;
    v.Position = byteOf(row, "Position", 1);
    v.Post_Ope = byteOf(row, "Post_Operation", 0);
    return v;
}

} // namespace

void Read_MBus_Network(const std::string& path, bool wired_present, bool wireless_present,
                       std::vector<TMBus_Nodo>& wired, std::vector<TMBus_Nodo>& wireless) {
    wired.clear();
    wireless.clear();
    TXMLDocument doc;
    TXmlNode root;
    if (!Load_Project_File(doc, path, root)) return;
    const std::vector<TXmlNode> nodes = Element_Children(root);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const TProject_Row row(nodes[i], path, int(i));
        if (row.Int_Guarded("Enable_Node", 1) != 1) continue;
        const bool isWired = row.Int_Guarded("MBus_Type", 1) == 1;
        if (!(isWired ? wired_present : wireless_present)) continue;
        TMBus_Nodo node = isWired ? readWired(row) : readWireless(row);
        const std::vector<TXmlNode> variables = Element_Children(nodes[i]);
        for (std::size_t j = 0; j < variables.size(); ++j) {
            // Rows of variables are named by their node's row.
            const TProject_Row variable(variables[j], path + ": node " + std::to_string(i + 1),
                                        int(j));
            if (variable.Is("Enable", "1")) node.Vars.push_back(readVariable(variable));
        }
        // A node without a compiled variable is not compiled at all.
        if (!node.Vars.empty()) (isWired ? wired : wireless).push_back(std::move(node));
    }
}
