#include "shell/StepLayout.h"

#include "shell/state/ProductProfiles.h"

#include <algorithm>
#include <map>

namespace {

// The first button of a step sits in the left column, the next one beside it; the top-row
// buttons sit at the right.
constexpr int Button_Left = 80;
constexpr int Button_Column_Width = 178;
constexpr int Top_Row_Left = 516;
constexpr int Top_Row_Top = 70;

} // namespace

int Step_Label_Top(int k) {
    return 128 + 44 * (k - 1);
}

int Step_Button_Top(int k) {
    return k == 0 ? Top_Row_Top : Step_Label_Top(k) - 16;
}

TStep_Layout Get_Step_Layout(int Type) {
    const std::vector<int> known = Product_Types_With_Profile();
    if (std::find(known.begin(), known.end(), Type) == known.end()) return {};
    const TProduct_Profile profile = Get_Product_Profile(Type);
    TStep_Layout l;
    l.Known = true;
    l.Steps = Step_Count(profile);
    l.Link_Step = l.Steps;
    l.Logo = profile.OEM;
    std::map<int, int> placed; // buttons placed so far, by step
    for (const TProduct_Step& s : profile.Steps) {
        const int column = placed[s.Step]++;
        const int left = s.Step == 0 ? Top_Row_Left : Button_Left + Button_Column_Width * column;
        l.Buttons.push_back({s.Button, left, Step_Button_Top(s.Step)});
    }
    l.Last_At = Step_Button_Top(l.Steps);
    return l;
}

int Link_Top(const TStep_Layout& Layout) {
    return Layout.Known ? Step_Label_Top(Layout.Link_Step) : Morvik_Design_Top;
}

int Logo_Left() {
    return Morvik_Left - 121;
}

int Logo_Top(const TStep_Layout& Layout) {
    return Link_Top(Layout) - 38;
}

int Shape1_Top(int Last_At) {
    return Last_At + 51;
}

int Main_Client_Height(int Last_At) {
    return Last_At + 152;
}
