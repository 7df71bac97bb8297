#include "editors/frames/CanInfoForm.h"

#include "editors/comm/TableGrid.h"
#include "platform/files/Files.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

TCan_Info_Form::TCan_Info_Form(TComponent* AOwner, const std::string& Name,
                               const TInfo_Form_Kind& Kind)
    : TFramed_Dialog(AOwner, Name), kind_(Kind) {
    StaticText1 = Create_Label(this, this, "StaticText1", 8, 72);
    StaticText2 = Create_Label(this, this, "StaticText2", 184, 72);
    ListBox1 = Create_Control<TListBox>(this, this, "ListBox1");
    ListBox1->SetBounds(8, 88, 169, 377);
    ListBox1->OnClick = [this](TObject* Sender) { ListBox1Click(Sender); };
    for (int k = 1; k <= 8; ++k) {
        const std::size_t i = std::size_t(k - 1);
        const std::string n = IntToStr(k);
        TPanel* p = Create_Control<TPanel>(this, this, "Panel" + n);
        p->SetBounds(184, 88 + 48 * (k - 1), 457, 41);
        p->SetCaption("");
        Panels[i] = p;
        Shapes[i] = Create_Control<TShape>(this, p, "Shape" + n);
        Shapes[i]->SetAlign(alClient);
        Shapes[i]->Brush()->SetColor(Form_Color);
        Byte_Texts[i] = Create_Label(this, p, "StaticText" + IntToStr(k + 2), 8, 13);
        Edits[i] = Create_Control<TEdit>(this, p, "Edit" + n);
        Edits[i]->SetBounds(208, 11, 57, 19);
        Edits[i]->SetText("none");
        Edits[i]->OnExit = [this, k](TObject*) { Edit_Exit(k); };
        Of_KNX[i] = Create_Label(this, p, "StaticText" + IntToStr(k + 10), 272, 13);
        Not_In_Use[i] = Create_Label(this, p, "Label" + IntToStr(k + 18), 376, 13);
    }
    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);
    Btn_OK->OnClick = [this](TObject* Sender) { bitbtn1Click(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
}

void TCan_Info_Form::FormCreate(TObject* /*Sender*/) {
    L_SW_Code->SetCaption(SW_Code);
    SetClientSize(654, 508);
    Set_Lang();
}

void TCan_Info_Form::Set_Lang() {
    const int t = kind_.First_Text;
    Set_Dialog_Texts(this, t, {Btn_OK, Btn_Cancel});
    StaticText1->SetCaption(UI_Texts[t + 4]);
    StaticText2->SetCaption(UI_Texts[t + 5]);
    for (std::size_t i = 0; i < 8; ++i) {
        Byte_Texts[i]->SetCaption(UI_Texts[t + 6 + int(i)]);
        Of_KNX[i]->SetCaption(UI_Texts[t + 14]);
        Not_In_Use[i]->SetCaption(UI_Texts[t + 15]);
    }
}

void TCan_Info_Form::FormShow(TObject* /*Sender*/) {
    Num_Byte_Max = CAN_Info_Max_Byte;
    Data_arr.clear();
    ListBox1->Clear();
    shown_ = -1;
    load_incomplete_ = false;
    try {
        Data_arr = Load_CAN_Info_Frames(kind_.Direction, *kind_.Frames_File);
        for (const TRecInfo& frame : Data_arr) ListBox1->Items()->Add(frame.Cob_Id);
        // Also with no frames: rows of the info file that no frame takes would be dropped.
        load_incomplete_ = Load_CAN_Info(Data_arr, *kind_.Info_File);
    } catch (const Exception& e) {
        load_incomplete_ = FileExists(*kind_.Info_File);
        Application->ShowException(e);
    }
    if (Data_arr.empty()) {
        // No positions of an earlier showing stay in sight.
        for (TEdit* e : Edits) e->SetText("none");
        for (TPanel* p : Panels) p->SetEnabled(false);
        return;
    }
    ListBox1->SetItemIndex(0);
    ListBox1Click(ListBox1);
}

void TCan_Info_Form::ListBox1Click(TObject* /*Sender*/) {
    shown_ = ListBox1->ItemIndex();
    if (shown_ < 0 || shown_ >= int(Data_arr.size())) return;
    const TRecInfo& frame = Data_arr[std::size_t(shown_)];
    for (int k = 1; k <= 8; ++k) {
        const std::size_t i = std::size_t(k - 1);
        const bool used = k <= frame.Dim;
        Panels[i]->SetEnabled(used);
        Not_In_Use[i]->SetVisible(!used);
        const std::uint16_t pos = frame.PosB[i];
        Edits[i]->SetText(used && pos != CAN_Info_None ? IntToStr(int(pos)) : "none");
    }
}

bool TCan_Info_Form::Edit_Exit(int k) {
    if (shown_ < 0 || shown_ >= int(Data_arr.size())) return true;
    TEdit* edit = Edits[std::size_t(k - 1)];
    std::uint16_t pos = CAN_Info_None;
    if (CAN_Info_Position(edit->Text(), Num_Byte_Max, pos)) {
        Data_arr[std::size_t(shown_)].PosB[std::size_t(k - 1)] = pos;
        return true;
    }
    MessageDlg(CAN_Info_Position_Error(kind_.Direction, k, Num_Byte_Max), mtError, {mbOK});
    if (edit->CanFocus()) edit->SetFocus();
    return false;
}

void TCan_Info_Form::bitbtn1Click(TObject* /*Sender*/) {
    // A position still being typed counts as left.
    if (shown_ >= 0)
        for (int k = 1; k <= 8 && k <= Data_arr[std::size_t(shown_)].Dim; ++k)
            if (!Edit_Exit(k)) return;
    if (!Check_Positions()) return;
    if (load_incomplete_ && MessageDlg(UI_Texts[1746], mtConfirmation, mbYesNo) != mrYes) return;
    Save_CAN_Info(kind_.Direction, Data_arr, Product_Type(), *kind_.Info_File);
    SetModalResult(mrOk);
}
