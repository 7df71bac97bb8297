#include "shell/About.h"

#include "platform/process/Process.h"
#include "shell/state/ProductProfiles.h"
#include "shell/state/ProgramState.h"

#include <cstring>

TFAbout* FAbout = nullptr;

namespace {

// A plain logo: a letter on a rounded square of the brand colour (the real pictures are not
// part of the program).
TImage* logo(TFAbout* form, const std::string& name, const std::string& letter, TColor colour) {
    auto* i = Create_Control<TImage>(form, form, name);
    i->SetBounds(32, 24, 80, 80);
    TBitmap bmp(64, 64);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(Form_Color);
    c->FillRect(Rect(0, 0, 64, 64));
    c->Brush()->SetColor(colour);
    c->Pen()->SetColor(colour);
    c->RoundRect(0, 0, 64, 64, 16, 16);
    c->Font()->SetName("Verdana");
    c->Font()->SetHeight(-40);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetColor(clWhite);
    SetBkMode(c, TRANSPARENT);
    TRect r = Rect(0, 0, 64, 64);
    DrawText(c, letter, -1, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    i->Picture()->SetGraphic(&bmp);
    return i;
}

} // namespace

TFAbout::TFAbout(TComponent* AOwner) : TForm(AOwner) {
    SetName("FAbout");
    Set_Form_Look(this);
    SetCaption("About...");
    SetClientSize(406, 148);
    Image2 = logo(this, "Image2", "M", 0x905020);
    I_Lorvan = logo(this, "I_Lorvan", "L", 0x2060B0);
    I_Lorvan->SetVisible(false);
    Label1 = Create_Label(this, this, "Label1", 128, 24, "Software Velmar ");
    Label2 = Create_Label(this, this, "Label2", 128, 39);
    Label6 = Create_Label(this, this, "Label6", 128, 62, "Software Code : ");
    Label3 = Create_Label(this, this, "Label3", 128, 77, "Version :");
    Label8 = Create_Label(this, this, "Label8", 128, 93, "Document Code :");
    Label9 = Create_Label(this, this, "Label9", 240, 62);
    Label10 = Create_Label(this, this, "Label10", 240, 77);
    Label12 = Create_Label(this, this, "Label12", 240, 93);
    // The host alone, to fit beside the OK button.
    std::string host = Maker_Web_Host;
    for (const char* prefix : {"https://", "http://", "www."})
        if (host.rfind(prefix, 0) == 0) host.erase(0, std::strlen(prefix));
    Label4 = Create_Label(this, this, "Label4", 297, 131, host);
    Label4->SetCursor(crHandPoint);
    Label4->Font()->SetColor(clBlue);
    Label4->Font()->SetStyle({fsUnderline});
    PbButton1 = Create_Push_Button(this, this, "PbButton1", 32, 115, 75, 25);
    PbButton1->SetCaption("OK");
    PbButton1->SetModalResult(mrOk);

    OnShow = [this](TObject* Sender) { FormShow(Sender); };
    auto link = [this](TObject* Sender) { Label4Click(Sender); };
    Label4->OnClick = link;
    Image2->OnClick = link;
    I_Lorvan->OnClick = link;
}

void TFAbout::FormShow(TObject* /*Sender*/) {
    I_Lorvan->SetVisible(false);
    Image2->SetVisible(true);
    Label4->SetVisible(true);
    const TProduct_Profile profile = Product_Profile();
    Label2->SetCaption(profile.Description);
    Label9->SetCaption(profile.SW_Code);
    Label10->SetCaption(profile.Version);
    Label12->SetCaption(profile.Manual_Code);
    if (profile.OEM) {
        I_Lorvan->SetVisible(true);
        Image2->SetVisible(false);
        Label4->SetVisible(false);
    }
    SetClientSize(406, 148);
}

void TFAbout::Label4Click(TObject* /*Sender*/) {
    if (Product_Profile().OEM) return;
    const std::string url = Product_Page_URL(Product_Type());
    if (!url.empty()) ShellOpen(url);
}
