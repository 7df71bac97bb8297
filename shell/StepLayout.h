#pragma once
// Where the main window puts its step labels and step buttons for a product type. The buttons
// are the steps of the type's workflow (the product profile), each on the row of its step.
#include <string>
#include <vector>

// A step button and where it sits.
struct TStep_Button_Place {
    std::string Button;
    int Left = 0;
    int Top = 0;
    bool operator==(const TStep_Button_Place&) const = default;
};

struct TStep_Layout {
    bool Known = false; // false: the type has no profile and the design places stay
    int Steps = 0;      // step labels 1 .. Steps are shown
    int Link_Step = 0;  // L_Morvik (or the OEM logo) sits level with this step's label
    bool Logo = false;  // OEM edition: I_Lorvan in place of L_Morvik
    std::vector<TStep_Button_Place> Buttons; // every step button, Btn_CreateBin among them
    int Last_At = 0;                         // top of Btn_CreateBin
};

constexpr int Step_Label_Count = 8;
constexpr int Main_Client_Width = 694;
constexpr int Morvik_Left = 565;
constexpr int Morvik_Design_Top = 392;
constexpr int Design_Last_At = 332;

// Top of the label of step k (1 .. 8): 128, 172, ... 436.
int Step_Label_Top(int k);
// Top of the buttons of step k: level with its label; step 0 is the top row.
int Step_Button_Top(int k);
// The layout of a product type; Known is false for a type without a profile.
TStep_Layout Get_Step_Layout(int Type);

// Derived places: the link label, the OEM logo, the separator and the client height.
int Link_Top(const TStep_Layout& Layout);
int Logo_Left();
int Logo_Top(const TStep_Layout& Layout);
int Shape1_Top(int Last_At);
int Main_Client_Height(int Last_At);
