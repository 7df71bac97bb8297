#include "mbus/net/MBusNetwork.h"

#include "platform/base/SysUtils.h"

#include <gtest/gtest.h>

namespace {

TVariabile* addVar(TNodo& n, int dimension, int length = 0) {
    n.Var_List.push_back(std::make_unique<TVariabile>());
    TVariabile* v = n.Var_List.back().get();
    v->Dimension = dimension;
    v->Length = length;
    return v;
}

TNodo* addNode(TNodi_List& list) {
    list.push_back(std::make_unique<TNodo>());
    return list.back().get();
}

} // namespace

TEST(MBusNetwork, CountsBytesOfEnabledNodesAndVariables) {
    struct Case {
        const char* name;
        int varListType, type, dimension, length;
        bool tp, int32, flt;
        int expected;
    };
    const Case cases[] = {
        {"time point by type", 0, 20, 0, 0, true, true, false, 8},
        {"eight bytes only for a time point by type", 0, 0, 0, 0, true, true, false, 4},
        {"float", 0, 0, 0, 0, false, false, true, 4},
        {"plain 8 bit", 0, 20, 0, 0, false, false, false, 1},
        {"by position any type", 1, 3, 1, 0, true, false, false, 8},
        {"variable length", 0, 0, 7, 191, false, false, false, 191},
        {"24 bit", 0, 0, 4, 0, false, false, false, 3},
        {"48 bit", 0, 0, 5, 0, false, false, false, 6},
        {"32 real", 0, 0, 6, 0, false, false, false, 4},
        {"64 bit", 0, 0, 3, 0, false, false, false, 8},
        {"dimension outside the list", 0, 0, 9, 0, false, false, false, 2},
    };
    for (const Case& c : cases) {
        TNodi_List list;
        TNodo* n = addNode(list);
        n->Var_List_Type = std::uint8_t(c.varListType);
        TVariabile* v = addVar(*n, c.dimension, c.length);
        v->Type_Of_Data = c.type;
        v->TP_Mod_Regs = c.tp;
        v->Force_Int32 = c.int32;
        v->Conv_Float = c.flt;
        EXPECT_EQ(Calcola_Byte_Usati(list), c.expected) << c.name;
        v->Enable = false;
        EXPECT_EQ(Calcola_Byte_Usati(list), 0) << c.name << " (variable disabled)";
    }

    TNodi_List list;
    TNodo* n = addNode(list);
    n->Node_State = 1;
    n->Ident_Num = 1;
    EXPECT_EQ(Calcola_Byte_Usati(list), 5);
    addVar(*n, 2);
    EXPECT_EQ(Calcola_Byte_Usati(list), 9);
    n->Enable = false;
    EXPECT_EQ(Calcola_Byte_Usati(list), 0);
}

TEST(MBusNetwork, LimitAllows1439Bytes) {
    TNodi_List list;
    TNodo* n = addNode(list);
    addVar(*n, 7, 191);
    while (Calcola_Byte_Usati(list) + 191 <= MBus_Max_Bytes) addVar(*n, 7, 191);
    addVar(*n, 7, MBus_Max_Bytes - Calcola_Byte_Usati(list));
    EXPECT_EQ(Calcola_Byte_Usati(list), MBus_Max_Bytes);
    addVar(*n, 0);
    EXPECT_EQ(Calcola_Byte_Usati(list), MBus_Max_Bytes + 1);
}

TEST(MBusNetwork, NodeFieldChecksReportTheFirstError) {
    auto wired = [](bool secondary, const char* pri, const char* sec) {
        TNode_Fields f;
        f.Secondary = secondary;
        f.ID_Pri = pri;
        f.ID_Sec = sec;
        return f;
    };
    auto wireless = [](const char* man, const char* ver, const char* dev, bool key, int badKey) {
        TNode_Fields f;
        f.MBus_Type = 0;
        f.wMBus_ManID = man;
        f.wMBus_Ver = ver;
        f.wMBus_DevType = dev;
        f.wMBus_Add = "not checked";
        f.wMBus_En_Key = key;
        for (auto& k : f.wMBus_Key) k = "255";
        if (badKey >= 0) f.wMBus_Key[badKey] = "256";
        return f;
    };
    struct Case {
        const char* name;
        TNode_Fields fields;
        int expected;
    };
    const Case cases[] = {
        {"primary 0", wired(false, "0", "x"), 0},
        {"primary 255", wired(false, "255", ""), 0},
        {"primary 256", wired(false, "256", "1"), 787},
        {"primary empty", wired(false, "", "1"), 787},
        {"primary not a number", wired(false, "1a", "1"), 787},
        {"secondary 99999999", wired(true, "x", "99999999"), 0},
        {"secondary 100000000", wired(true, "1", "100000000"), 788},
        {"secondary -1", wired(true, "1", "-1"), 788},
        {"wireless valid", wireless("65535", "255", "255", true, -1), 0},
        {"manufacturer", wireless("65536", "0", "0", false, -1), 829},
        {"version", wireless("0", "256", "0", false, -1), 831},
        {"device type", wireless("0", "0", "", false, -1), 832},
        {"key byte 1", wireless("0", "0", "0", true, 0), 833},
        {"key byte 16", wireless("0", "0", "0", true, 15), 848},
        {"keys unchecked without Key Enable", wireless("0", "0", "0", false, 3), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Check_Node_Fields(c.fields), c.expected) << c.name;
}

TEST(MBusNetwork, VariableFieldChecksReportTheFirstError) {
    auto var = [](const char* sto, const char* tariff, int dim, const char* len, const char* pos) {
        TVar_Fields f;
        f.Storage_Number = sto;
        f.Tariff = tariff;
        f.Dimension = dim;
        f.Length = len;
        f.Position = pos;
        return f;
    };
    struct Case {
        const char* name;
        TVar_Fields fields;
        int expected;
    };
    const Case cases[] = {
        {"all valid", var("4294967295", "1048575", 7, "191", "100"), 0},
        {"storage past 32 bits", var("4294967296", "0", 0, "0", "1"), 783},
        {"storage -1", var("-1", "0", 0, "0", "1"), 783},
        {"storage empty", var("", "0", 0, "0", "1"), 783},
        {"tariff", var("0", "1048576", 0, "0", "1"), 784},
        {"length for variable length", var("0", "0", 7, "192", "1"), 785},
        {"length unchecked otherwise", var("0", "0", 6, "x", "1"), 0},
        {"position 0", var("0", "0", 0, "0", "0"), 786},
        {"position 101", var("0", "0", 0, "0", "101"), 786},
        {"storage before tariff", var("x", "x", 0, "0", "0"), 783},
    };
    for (const Case& c : cases) EXPECT_EQ(Check_Var_Fields(c.fields), c.expected) << c.name;
}

TEST(MBusNetwork, AddressesClashOnlyBetweenWiredNodesOfTheSameAddressType) {
    TNodi_List list;
    TNodo* primary5 = addNode(list);
    primary5->Node_ID_Primary = 5;
    TNodo* wireless7 = addNode(list);
    wireless7->MBus_Type = 0;
    wireless7->Node_ID_Primary = 7;
    TNodo* secondary9 = addNode(list);
    secondary9->Node_ID_Type = 1;
    secondary9->Node_ID_Secondary = 9;
    secondary9->Node_ID_Primary = 5;

    struct Case {
        const char* name;
        int address, type;
        const TNodo* skip;
        bool free;
    };
    const Case cases[] = {
        {"same primary", 5, 0, nullptr, false},
        {"primary of the node being changed", 5, 0, primary5, true},
        {"secondary 5 next to primary 5", 5, 1, nullptr, true},
        {"wireless node's hidden primary", 7, 0, nullptr, true},
        {"same secondary", 9, 1, nullptr, false},
        {"primary 9 next to secondary 9", 9, 0, nullptr, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Node_ID_Free(list, c.address, c.type, c.skip), c.free) << c.name;
}

TEST(MBusNetwork, StoringNodeFieldsConvertsEverythingFirst) {
    TNodo n;
    n.Description = "old";
    n.Node_ID_Primary = 3;
    n.Var_List.push_back(std::make_unique<TVariabile>());
    TNode_Fields f = Fields_From_Node(n);
    f.Description = "new";
    f.ID_Pri = "4";
    f.ID_Sec = "abc"; // the address type not chosen must still be a number
    EXPECT_THROW(Store_Node_Fields(f, n), EConvertError);
    EXPECT_EQ(n.Description, "old");
    EXPECT_EQ(n.Node_ID_Primary, 3);

    f.ID_Sec = "12";
    Store_Node_Fields(f, n);
    EXPECT_EQ(n.Description, "new");
    EXPECT_EQ(n.Node_ID_Primary, 4);
    EXPECT_EQ(n.Node_ID_Secondary, 12);
    EXPECT_EQ(n.Var_List.size(), 1u) << "a change keeps the node's variables";
}

TEST(MBusNetwork, WirelessNodeTakesItsIdentificationSettingsFromTheWirelessPanel) {
    TNode_Fields f;
    f.MBus_Type = 0;
    f.Node_State = true;
    f.Var_List_Type = 1;
    f.W_Ident_Num = true;
    f.W_Swap = 1;
    f.W_Var_List_Type = 0;
    TNodo n;
    Store_Node_Fields(f, n);
    EXPECT_EQ(n.Node_State, 0);
    EXPECT_EQ(n.Ident_Num, 1);
    EXPECT_EQ(n.Swap_Ident, 1);
    EXPECT_EQ(n.Var_List_Type, 0);
    EXPECT_EQ(Node_Caption(n), "wM-Bus Node - Address  - ");
}

TEST(MBusNetwork, VariableFieldsRoundTripIncludingUnlistedDecoderCodes) {
    for (const int vife : {200, -1}) { // beyond the list; the decoder's reserved code
        TVariabile v;
        v.Type_Of_Data = -1; // a decoder code the type list has no entry for
        v.VIFE = vife;
        v.Storage_Number = 4294967295u;
        v.Dimension = 7;
        v.Length = 12;
        v.Position = 100;
        TVariabile back;
        Store_Var_Fields(Fields_From_Var(v), back);
        EXPECT_EQ(back.Type_Of_Data, -1);
        EXPECT_EQ(back.VIFE, vife);
        EXPECT_EQ(back.Storage_Number, 4294967295u);
        EXPECT_EQ(back.Length, 12);
        EXPECT_EQ(back.Position, 100);
    }
}

TEST(MBusNetwork, CopiesOfANodeOwnTheirVariables) {
    TNodo n;
    n.Var_List.push_back(std::make_unique<TVariabile>());
    n.Var_List[0]->Description = "a";
    TNodo copy(n);
    copy.Var_List[0]->Description = "b";
    EXPECT_EQ(n.Var_List[0]->Description, "a");
    EXPECT_EQ(Node_Caption(n), "ID 1 - ");
    n.Node_ID_Type = 1;
    n.Node_ID_Secondary = 12345678;
    n.Description = "meter";
    EXPECT_EQ(Node_Caption(n), "ID 12345678 - meter");
}

TEST(MBusNetwork, CodeTablesHaveTheirSizes) {
    EXPECT_EQ(Type_Of_Data_Items.size(), 26u);
    EXPECT_EQ(VIFE_Items.size(), 126u);
    EXPECT_EQ(Post_Operation_Items.size(), 13u);
    EXPECT_EQ(Cut_After_Items().back(), "250");
}
