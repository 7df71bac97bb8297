#pragma once
// The M-Bus network editor: the network as a tree beside a page control whose two pages show
// and take the selected node or variable.
#include "mbus/QorPageControl.h"
#include "mbus/net/MBusNetwork.h"
#include "shell/frame/DialogFrame.h"

#include <array>
#include <map>
#include <memory>
#include <string>

class TLazyStringTree;
struct TLazyNode;
class TPopupMenu;
class TMenuItem;
class TOpenDialog;

class TFMeter_Bus : public TFramed_Dialog {
public:
    explicit TFMeter_Bus(TComponent* AOwner);
    ~TFMeter_Bus() override;

    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TFrame_Button* Btn_ImportNet;
    TLabel* L_MBus_NumByte;
    TLazyStringTree* TW;
    TQorPageControl* QorPageControl1;
    TQorTabSheet* QorTabSheet1; // Nodes
    TQorTabSheet* QorTabSheet2; // Variables

    // Nodes page.
    TCheckBox* CB_Enable_Node;
    TEdit* E_New_Node_Desc;
    TComboBox* CB_MBus_Type;
    TRadioButton* RB_ID_Primary;
    TRadioButton* RB_ID_Secondary;
    TEdit* E_New_Node_ID_Pri;
    TEdit* E_New_Node_ID_Sec;
    TCheckBox* CB_Node_State;
    TCheckBox* CB_Ident_Num;
    TComboBox* CB_Swap_IN;
    TCheckBox* CB_BCDtoINT_IN;
    TCheckBox* CB_SND_NKE;
    TCheckBox* CB_Reset_App;
    TComboBox* CB_Var_Type;
    TComboBox* CB_Cut_After;
    TPanel* P_wMBus_Node;
    TEdit* E_wMBus_ManID;
    TEdit* E_wMBus_Add;
    TEdit* E_wMBus_Ver;
    TEdit* E_wMBus_DevType;
    TCheckBox* CB_wMBus_EnKey;
    std::array<TEdit*, 16> E_wMBus_K;
    TCheckBox* CB_wMBus_Node_State;
    TCheckBox* CB_wMBus_Ident_Num;
    TCheckBox* CB_wMBus_Conv_BCD;
    TComboBox* CB_wMBus_Swap_Ident;
    TComboBox* CB_wMBus_VarList;
    TFrame_Button* btn_Add_Node;

    // Variables page.
    TCheckBox* CB_Var_En;
    TEdit* E_New_Var_Desc;
    TComboBox* CB_Var_ToD;
    TEdit* E_VIF_ASCII;
    TComboBox* CB_Var_FF;
    TComboBox* CB_Var_Dim;
    TEdit* E_Length;
    TComboBox* CB_Var_Unit;
    TEdit* E_Sto_Num;
    TEdit* E_Tariff;
    TComboBox* CB_VIFE;
    TCheckBox* CB_BCDtoINT;
    TCheckBox* CB_Float;
    TCheckBox* CB_Force_Int32;
    TCheckBox* CB_TP_MR;
    TComboBox* CB_PostOpe;
    TEdit* E_Position;
    TFrame_Button* btn_Add_Var;

    TPopupMenu* PM_CopyPaste;
    TMenuItem* CopyVariable1;
    TMenuItem* PasteVariable1;
    TMenuItem* CopyNode1;
    TMenuItem* PasteNode1;
    TMenuItem* DeleteItems1;
    TOpenDialog* OD_Import_Net;

    // The network, in tree order; child i of the root item is node i.
    TNodi_List Nodi_List;
    TLazyNode* NODE_ORIG = nullptr;
    TLazyNode* NODE_ID = nullptr;
    TLazyNode* SELECT_NODE = nullptr;
    int IND_NODO = -1;
    int IND_VAR = -1;
    // Copy buffers, kept between showings.
    std::unique_ptr<TVariabile> Copy_Var;
    std::unique_ptr<TNodo> Copy_Node;
    bool Is_Change = false;
    // The window procedures the type and VIFE drop-downs had before the editor hooked them.
    TWndMethod CB_VAR_TOD_WindowProcORIGINAL;
    TWndMethod CB_VIFE_WindowProcORIGINAL;
    // The last read stopped at a bad entry: the list holds only part of the file.
    bool Partial_Read = false;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void Set_Lang();
    void TWChange();
    void Aggiorna_Label();
    void btn_Add_NodeClick(TObject* Sender);
    void btn_Add_VarClick(TObject* Sender);
    void btn_Delete_ItemClick(TObject* Sender);
    void CopyVariable1Click(TObject* Sender);
    void PasteVariable1Click(TObject* Sender);
    void CopyNode1Click(TObject* Sender);
    void PasteNode1Click(TObject* Sender);
    void CB_Var_ToDChange();
    void CB_Var_DimChange();
    void CB_MBus_TypeChange();
    void Sposta_Oggetti_Var(int List_Type);
    void Nodes_Move_Elements();
    void Aggiorna_Label_Num_Byte();
    // Widens the drop-down list of a combo whose items do not fit it.
    void Select_Width_ComboBox(TComboBox* Combo);
    void Btn_ImportNetClick(TObject* Sender);
    void PbButton2Click(TObject* Sender);
    void PbButton4Click(TObject* Sender);

    // The checks of the pages' fields (the first error is shown).
    bool Controllo_Dati_New_Nodo();
    bool Controllo_Dati_New_Var();
    // True when no wired node other than the one being changed has Address of that type.
    bool Check_Node_ID(int Address, int Address_Type);
    // The same for a pasted node: nothing is skipped.
    bool Check_Node_ID2(int Address, int Address_Type);

    // The tree item text of an item (for tests and the tree's text event).
    std::string Item_Text(TLazyNode* Item) const;
    // Selects an item as a click would.
    void Select_Item(TLazyNode* Item);

private:
    enum class TEditMode { Add, Change };
    TEditMode Node_Mode = TEditMode::Add;
    TEditMode Var_Mode = TEditMode::Add;
    bool Cancel_Asked = false;
    std::map<TLazyNode*, std::string> Captions;

    TLazyNode* Add_Item(TLazyNode* Parent, const std::string& Text);
    void Delete_Item(TLazyNode* Item);
    void Clear_Tree();
    TNode_Fields Node_Fields() const;
    void Show_Node_Fields(const TNode_Fields& F);
    TVar_Fields Var_Fields() const;
    void Show_Var_Fields(const TVar_Fields& F);
    void Reset_Var_Fields();
    void Show_Network();
    void Show_Error(int Text);
};

extern TFMeter_Bus* FMeter_Bus;
