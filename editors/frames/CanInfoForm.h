#pragma once
// What the byte maps of the older CAN frame lists share: the frames of a list by their Cob_Id,
// and per frame eight panels placing its data bytes 1..8 in the gateway byte image, kept in
// the direction's info file.
#include "editors/frames/tables/CanLegacyTables.h"
#include "shell/frame/DialogFrame.h"

#include <array>
#include <string>
#include <vector>

class TCan_Info_Form : public TFramed_Dialog {
public:
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;
    TListBox* ListBox1;
    TLabel* StaticText1;
    TLabel* StaticText2;
    // Panel1..Panel8, one per data byte, with its shape, its text, the position edit, "of
    // KNX" and "Not in use".
    std::array<TPanel*, 8> Panels;
    std::array<TShape*, 8> Shapes;
    std::array<TLabel*, 8> Byte_Texts;
    std::array<TEdit*, 8> Edits;
    std::array<TLabel*, 8> Of_KNX;
    std::array<TLabel*, 8> Not_In_Use;

    // Positions of the byte image, set when shown.
    int Num_Byte_Max = CAN_Info_Max_Byte;
    // The listed frames, in list order.
    std::vector<TRecInfo> Data_arr;

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // Shows the positions of the selected frame.
    void ListBox1Click(TObject* Sender);
    // Takes the position typed into edit k (1..8) for the frame shown; a text that is no
    // position is refused with a message and the focus goes back to the edit.
    bool Edit_Exit(int k);
    void bitbtn1Click(TObject* Sender);
    // Sets the texts from UI_Texts.
    void Set_Lang();

protected:
    // What sets the two maps apart: the direction, the frame list and info file paths and
    // the first of the UI_Texts entries (caption; subtitle, OK, Cancel, "COB ID", "Bytes", the
    // eight byte texts, "of KNX" and "Not in use" follow in this order).
    struct TInfo_Form_Kind {
        TCan_Direction Direction;
        const std::string* Frames_File;
        const std::string* Info_File;
        int First_Text;
    };
    TCan_Info_Form(TComponent* AOwner, const std::string& Name, const TInfo_Form_Kind& Kind);
    // The check before saving: true when the positions may be saved.
    virtual bool Check_Positions() { return true; }

private:
    TInfo_Form_Kind kind_;
    // The frame whose positions the edits show; -1 for none.
    int shown_ = -1;
    // What the info file holds was not all read: saving would lose it.
    bool load_incomplete_ = false;
};
