#pragma once
// The product profiles: per product type the branding texts, the codes and version, the
// workflow steps with what they open, the update method and the maker's web links.
#include <string>
#include <vector>

// How "Update Device" hands over to the external updater.
enum TUpdate_Method {
    umNone,        // no profile
    umNewBootFile, // parameter file for the newer boot loader
    umOldBootFile, // parameter file for the older boot loader
    umCommandLine  // command line of a TCP updater
};

// One main-window button of a workflow step and what it opens: a form class, or a main-window
// action (Update_Device, Build_EDS_File, PROFINET_XML).
struct TProduct_Step {
    int Step;           // step number; 0 for a button outside the numbered steps
    std::string Button; // e.g. "Btn_KNX_Access"
    std::string Opens;  // e.g. "TFKNXAccess"
    bool operator==(const TProduct_Step&) const = default;
};

struct TProduct_Profile {
    int Type = 0;
    int Base_Type = 0; // the own-brand type an OEM edition is based on; Type for the others
    bool OEM = false;
    std::string Caption;
    std::string SW_Code;
    std::string Description;
    std::string Device_Code; // as shown in the device-update dialog
    std::string Version;
    std::string Manual_Code;
    std::string Version_Check_Code;   // empty: no version check
    std::vector<TProduct_Step> Steps; // in step order; a top-row button (step 0) last
    TUpdate_Method Update_Method = umNone;
};

// The profile of a product type. A type without a row gives empty texts, the steps every type
// has (New and Open, Set Communication, Update Device) and umNone.
TProduct_Profile Get_Product_Profile(int Type);
// The profile of Product_Type().
TProduct_Profile Product_Profile();
// Product types that have a profile, in ascending order.
std::vector<int> Product_Types_With_Profile();
// Number of numbered steps (the step of Update Device).
int Step_Count(const TProduct_Profile& Profile);

// The maker's web server.
extern const char* const Maker_Web_Host;
// The product page; "" for OEM types and types without a profile.
std::string Product_Page_URL(int Type);
// The download page, with the device code as fragment (that of type 1 for non-own-brand types).
std::string Download_Page_URL(int Type);
// The version query; "" when the type has no version-check code.
std::string Version_Query_URL(int Type);
