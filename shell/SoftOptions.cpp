#include "shell/SoftOptions.h"

#include "platform/files/Files.h"
#include "platform/gfx/Graphics.h"
#include "platform/net/Http.h"
#include "platform/process/Process.h"
#include "platform/ui/core/Dialogs.h"
#include "shell/VelmareFirmWare.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/ProgramState.h"
#include "shell/state/UITexts.h"

#include <algorithm>
#include <memory>

TFSoftOptions* FSoftOptions = nullptr;

namespace {

struct TilePlace {
    int imageLeft, imageTop, labelLeft, labelTop;
};
constexpr TilePlace Tiles[6] = {{24, 40, 80, 56},   {26, 94, 80, 110},   {24, 148, 80, 164},
                                {254, 40, 310, 56}, {254, 94, 310, 110}, {254, 148, 310, 164}};

TCheckBox* checkBox(TComponent* owner, TWinControl* parent, const std::string& name, int left,
                    int top) {
    auto* c = Create_Control<TCheckBox>(owner, parent, name);
    c->SetBounds(left, top, 400, 17);
    return c;
}

} // namespace

TFSoftOptions::TFSoftOptions(TComponent* AOwner) : TFramed_Dialog(AOwner, "FSoftOptions") {
    SetClientSize(509, 373);
    PC_Options = Create_Page_Control(this, this, "PC_Options", alClient);
    TS_Language = Create_Tab_Sheet(this, PC_Options, "TS_Language");
    TS_Con_Options = Create_Tab_Sheet(this, PC_Options, "TS_Con_Options");

    L_Sel_Lang = Create_Label(this, TS_Language, "L_Sel_Lang", 24, 12);
    for (int k = 0; k < 6; ++k) {
        const std::string n = std::to_string(k + 1);
        I_L[k] = new TImage(this);
        I_L[k]->SetName("I_L" + n);
        I_L[k]->SetParent(TS_Language);
        I_L[k]->SetBounds(Tiles[k].imageLeft, Tiles[k].imageTop, 48, 48);
        L_L[k] = Create_Label(this, TS_Language, "L_L" + n, Tiles[k].labelLeft, Tiles[k].labelTop);
    }
    L_Page_Lang = Create_Label(this, TS_Language, "L_Page_Lang", 220, 212);
    Btn_Prev = Create_Push_Button(this, TS_Language, "Btn_Prev", 12, 204, 110, 28);
    Btn_Next = Create_Push_Button(this, TS_Language, "Btn_Next", 379, 205, 110, 28);
    Btn_Next->SetGlyph(Create_Arrow_Glyph().get());
    Btn_Next->SetLayout(blGlyphRight);

    CB_En_Con = checkBox(this, TS_Con_Options, "CB_En_Con", 12, 16);
    CB_Update = checkBox(this, TS_Con_Options, "CB_Update", 36, 47);
    Btn_Check_Update =
        Create_Push_Button(this, TS_Con_Options, "Btn_Check_Update", 36, 78, 204, 28);
    LL_Check_Update = Create_Control<TLinkLabel>(this, TS_Con_Options, "LL_Check_Update");
    LL_Check_Update->SetLeft(40);
    LL_Check_Update->SetTop(120);

    Btn_OK = Add_Button("Btn_OK", 16);
    Btn_Cancel = Add_Button("Btn_Cancel", 134, mrCancel);

    for (int k = 0; k < 6; ++k) {
        I_L[k]->OnClick = [this](TObject* Sender) { LangClick(Sender); };
        L_L[k]->OnClick = [this](TObject* Sender) { LangClick(Sender); };
    }
    Btn_Prev->OnClick = [this](TObject* Sender) { Btn_NextClick(Sender); };
    Btn_Next->OnClick = [this](TObject* Sender) { Btn_NextClick(Sender); };
    CB_En_Con->OnClick = [this](TObject* Sender) { Update_CheckBox(Sender); };
    CB_Update->OnClick = [this](TObject* Sender) { Update_CheckBox(Sender); };
    Btn_Check_Update->OnClick = [this](TObject* Sender) { Btn_Check_UpdateClick(Sender); };
    LL_Check_Update->OnLinkClick = [this](TObject* Sender, const std::string& Link,
                                          TSysLinkType LinkType) {
        LL_Check_UpdateLinkClick(Sender, Link, LinkType);
    };
    Btn_OK->OnClick = [this](TObject* Sender) { Btn_OKClick(Sender); };
    OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
}

void TFSoftOptions::FormCreate(TObject* /*Sender*/) {
    SL_Languages = std::make_unique<TStringList>();
    L_SW_Code->SetCaption(SW_Code);
    // The OEM editions have no connection page, so no version check.
    TS_Con_Options->SetTabVisible(Product_Type() <= 1000);
    Set_Lang();
}

void TFSoftOptions::Set_Lang() {
    SetCaption(UI_Texts[38]);
    L_SW_Desc->SetCaption(UI_Texts[39]);
    TS_Language->SetCaption(UI_Texts[40]);
    TS_Con_Options->SetCaption(UI_Texts[41]);
    L_Sel_Lang->SetCaption(UI_Texts[42]);
    L_Page_Lang->SetCaption(UI_Texts[43] + "1" + UI_Texts[44] + "1");
    Btn_Prev->SetCaption(UI_Texts[45]);
    Btn_Next->SetCaption(UI_Texts[46]);
    CB_En_Con->SetCaption(UI_Texts[47]);
    CB_Update->SetCaption(UI_Texts[48]);
    Btn_Check_Update->SetCaption(UI_Texts[49]);
    Btn_OK->SetCaption(UI_Texts[50]);
    Btn_Cancel->SetCaption(UI_Texts[51]);
}

void TFSoftOptions::FormShow(TObject* /*Sender*/) {
    Language_In_Use = Language_Name;
    Create_Lang_List();
    LL_Check_Update->SetVisible(false);
    PC_Options->SetActivePage(TS_Language);
    CB_En_Con->SetChecked(Internet_Enabled);
    CB_Update->SetChecked(Update_Check_Enabled);
    Update_CheckBox(this);
}

void TFSoftOptions::FormClose(TObject* /*Sender*/, TCloseAction& /*Action*/) {
    if (ModalResult() == mrOk || Language_In_Use == Language_Name) return;
    // A language only previewed here gives way to the one in use again.
    Language_In_Use = Language_Name;
    Load_Language();
    if (FVelmareFirmWare) FVelmareFirmWare->Change_Language();
}

void TFSoftOptions::Create_Lang_List() {
    SL_Languages->Clear();
    for (const std::string& name : ListFiles(Language_Dir, "*.lng")) SL_Languages->Add(name);
    SL_Languages->SetCaseSensitive(false);
    SL_Languages->Sort();
    Show_Page = 1;
    Update_Lang_Page(1);
}

namespace {

int pageCount(int languages) {
    return (languages + 5) / 6;
}

// The language of a file name: the name without its last four characters (".lng").
std::string languageOf(const std::string& fileName) {
    return fileName.size() >= 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
}

} // namespace

void TFSoftOptions::Update_Lang_Page(int Num_Page) {
    const int count = SL_Languages->Count();
    const int pages = pageCount(count);
    L_Sel_Lang->SetCaption(UI_Texts[42] + Language_In_Use);
    L_Page_Lang->SetCaption(UI_Texts[43] + std::to_string(Num_Page) + UI_Texts[44] +
                            std::to_string(pages));
    Btn_Prev->SetVisible(Num_Page != 1);
    Btn_Next->SetVisible(Num_Page != pages);
    const int shown = std::clamp(count - (Num_Page - 1) * 6, 0, 6);
    for (int k = 0; k < 6; ++k) {
        const bool visible = k < shown;
        L_L[k]->SetVisible(visible);
        I_L[k]->SetVisible(false);
        if (!visible) continue;
        const std::string language = languageOf((*SL_Languages)[(Num_Page - 1) * 6 + k]);
        L_L[k]->SetCaption(language);
        const std::string flag = Language_Flag_File(language);
        if (flag.empty()) continue;
        // A flag that cannot be read leaves the tile with its name only.
        try {
            I_L[k]->Picture()->LoadFromFile(flag);
            I_L[k]->SetVisible(true);
        } catch (const Exception&) {
        }
    }
}

void TFSoftOptions::Btn_NextClick(TObject* Sender) {
    const int pages = pageCount(SL_Languages->Count());
    if (Sender == Btn_Next && Show_Page + 1 <= pages) ++Show_Page;
    if (Sender == Btn_Prev && Show_Page - 1 >= 1) --Show_Page;
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::LangClick(TObject* Sender) {
    int tile = -1;
    for (int k = 0; k < 6; ++k)
        if (Sender == I_L[k] || Sender == L_L[k]) tile = k;
    const int index = (Show_Page - 1) * 6 + tile;
    if (tile < 0 || index >= SL_Languages->Count()) return;
    const std::string name = languageOf((*SL_Languages)[index]);
    if (MessageDlg(UI_Texts[54] + Language_In_Use + UI_Texts[55] + name + UI_Texts[56],
                   mtConfirmation, mbYesNo) != mrYes)
        return;
    Language_In_Use = name;
    {
        // Language_Name changes only on OK; it names the new file just for the load.
        struct Restore {
            std::string saved = Language_Name;
            ~Restore() { Language_Name = saved; }
        } restore;
        Language_Name = name;
        Load_Language();
    }
    if (FVelmareFirmWare) FVelmareFirmWare->Change_Language();
    // Set_Lang has reset the page line to page 1 of 1; show the page as it is.
    Update_Lang_Page(Show_Page);
}

void TFSoftOptions::Update_CheckBox(TObject* /*Sender*/) {
    CB_Update->SetEnabled(CB_En_Con->Checked());
    Btn_Check_Update->SetEnabled(CB_Update->Enabled() && CB_Update->Checked());
}

void TFSoftOptions::Btn_Check_UpdateClick(TObject* /*Sender*/) {
    if (Check_Version())
        LL_Check_Update->SetCaption("<a href=\"" + Download_Page_URL(Product_Type()) + "\">" +
                                    UI_Texts[52] + "</a>");
    else
        LL_Check_Update->SetCaption(UI_Texts[53]);
    LL_Check_Update->SetVisible(true);
}

void TFSoftOptions::LL_Check_UpdateLinkClick(TObject* /*Sender*/, const std::string& Link,
                                             TSysLinkType /*LinkType*/) {
    ShellOpen(Link);
}

void TFSoftOptions::Btn_OKClick(TObject* /*Sender*/) {
    Language_Name = Language_In_Use;
    Internet_Enabled = CB_En_Con->Checked();
    // Taken also while the box is disabled.
    Update_Check_Enabled = CB_Update->Checked();
    if (FVelmareFirmWare)
        FVelmareFirmWare->Timer_Update->SetEnabled(Internet_Enabled && Update_Check_Enabled);
    SetModalResult(mrOk);
}

std::string Version_Check_Host = Maker_Web_Host;

int Conv_Version(const std::string& S) {
    const std::size_t blank = S.find(' ');
    const std::string t = Trim(blank == std::string::npos ? S : S.substr(blank + 1));
    if (t.size() < 5) return -1;
    // "1.205": the digits around the point.
    return StrToIntDef(std::string{t[0], t[2], t[3], t[4]}, -1);
}

bool Check_Version() {
    const TProduct_Profile profile = Product_Profile();
    if (profile.Version_Check_Code.empty()) return false;
    std::string body;
    try {
        THttpRequest request;
        request.Url = Version_Check_Host +
                      "/home/download/GetversionSW.asp?nomesw=" + profile.Version_Check_Code;
        request.Version = THttpVersion::Http10;
        request.Headers = {
            "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8",
            "User-Agent: Mozilla/3.0 (compatible; Indy Library)"};
        request.TimeoutMs = Version_Check_Timeout;
        // The windows go on painting while the answer is awaited, as during the updater's run.
        request.OnWait = [] { Application->KeepPainting(); };
        const THttpResponse response = HttpGet(request);
        if (response.StatusCode >= 200 && response.StatusCode < 300) body = response.Body;
    } catch (const Exception&) {
        // No answer reads as no newer version; the check is never reported as failing.
        body.clear();
    }
    const std::string reply = Trim(body);
    const std::string upper = UpperCase(reply);
    if (upper.empty() || upper == "VER. 0.000") return false;
    const int local = Conv_Version(profile.Version);
    const int remote = Conv_Version(reply);
    return local != -1 && remote != -1 && local < remote;
}
