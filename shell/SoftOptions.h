#pragma once
// The options dialog: the language of the user interface and the two internet flags.
#include "platform/ui/ComCtrls.h"
#include "shell/frame/DialogFrame.h"

#include <array>

class TFSoftOptions : public TFramed_Dialog {
public:
    explicit TFSoftOptions(TComponent* AOwner);

    TPageControl* PC_Options;
    TTabSheet* TS_Language;
    TTabSheet* TS_Con_Options;
    TLabel* L_Sel_Lang;
    std::array<TImage*, 6> I_L{}; // I_L1 .. I_L6, the flags of the six language tiles
    std::array<TLabel*, 6> L_L{}; // L_L1 .. L_L6, their names
    TLabel* L_Page_Lang;
    TFrame_Button* Btn_Prev;
    TFrame_Button* Btn_Next;
    TCheckBox* CB_En_Con;
    TCheckBox* CB_Update;
    TFrame_Button* Btn_Check_Update;
    TLinkLabel* LL_Check_Update;
    TFrame_Button* Btn_OK;
    TFrame_Button* Btn_Cancel;

    std::unique_ptr<TStringList> SL_Languages; // language file names
    int Show_Page = 1;                         // current page, from 1
    std::string Language_In_Use;               // the language chosen in this dialog

    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    // Closing without OK brings back the texts of the language in use.
    void FormClose(TObject* Sender, TCloseAction& Action);
    // Sets the texts from UI_Texts.
    void Set_Lang();
    // Fills SL_Languages with the language files, sorted, and shows page 1.
    void Create_Lang_List();
    // Shows the six language tiles of page Num_Page (from 1) and the page buttons.
    void Update_Lang_Page(int Num_Page);
    // Next and Previous.
    void Btn_NextClick(TObject* Sender);
    // A click on a tile's flag or name: asks, then loads that language at once.
    void LangClick(TObject* Sender);
    void Update_CheckBox(TObject* Sender);
    void Btn_Check_UpdateClick(TObject* Sender);
    void LL_Check_UpdateLinkClick(TObject* Sender, const std::string& Link, TSysLinkType LinkType);
    void Btn_OKClick(TObject* Sender);
};

// The maker's web server asked by the version check ("scheme://host[:port]"); Maker_Web_Host
// unless changed (tests use a server on 127.0.0.1).
extern std::string Version_Check_Host;
// Time-out of the version query, in ms.
constexpr unsigned Version_Check_Timeout = 10000;
// True when the maker's server reports a newer version of this product type than this one.
// Every failure of the query reads as no newer version.
bool Check_Version();
// The version text "1.205" (or a reply "VER. 1.205") as the number 1205; -1 when unreadable.
int Conv_Version(const std::string& S);

extern TFSoftOptions* FSoftOptions;
