#include "grid/core/base/CellGraphic.h"

#include "grid/core/base/GridSupport.h"

#include <cmath>

namespace {
int roundHalfEven(double v) {
    return int(std::nearbyint(v));
}

TSize pictureExtent(const TObject* picture) {
    if (const auto* p = dynamic_cast<const TPicture*>(picture))
        return TSize{p->Width(), p->Height()};
    if (const auto* f = dynamic_cast<const TFilePicture*>(picture))
        return TSize{f->Width(), f->Height()};
    if (const auto* g = dynamic_cast<const TGraphic*>(picture))
        return TSize{g->Width(), g->Height()};
    return TSize{0, 0};
}
} // namespace

TSize CalcPictureSize(int w, int h, int cw, int rh, int Padding, TStretchMode Mode) {
    const int cwp = cw - Padding;
    const int rhp = rh - Padding;
    const bool fits = cwp >= w && rhp >= h;
    const auto withAspect = [&](bool capped) {
        double rx = w <= 0 ? 1.0 : double(cwp) / w;
        double ry = h <= 0 ? 1.0 : double(rhp) / h;
        if (capped) {
            if (rx > 1) rx = 1;
            if (ry > 1) ry = 1;
        }
        if (rx >= ry) return TSize{roundHalfEven(w * ry), rhp};
        return TSize{cwp, roundHalfEven(h * rx)};
    };
    switch (Mode) {
    case Stretch:
        return TSize{cwp, rhp};
    case StretchWithAspectRatio:
        return withAspect(false);
    case Shrink:
        return fits ? TSize{w, h} : TSize{cwp, rhp};
    case ShrinkWithAspectRatio:
        return fits ? TSize{w, h} : withAspect(true);
    case noStretch:
        break;
    }
    return TSize{w, h};
}

TCellGraphic::~TCellGraphic() {
    releaseOwned(nullptr);
}

// Frees what the current kind owns (except keep) and clears the object places.
void TCellGraphic::releaseOwned(const TObject* keep) {
    TObject* ownedBitmap = nullptr;
    TIcon* ownedIcon = nullptr;
    switch (FCellType) {
    case ctBitmap:
    case ctRadio:
    case ctPicture:
    case ctFilePicture:
    case ctBitButton:
        if (FCellCreated) ownedBitmap = FCellBitmap;
        break;
    case ctIcon:
        if (FCellCreated) ownedIcon = FCellIcon;
        break;
    case ctImages:
    case ctBalloon:
        ownedBitmap = FCellBitmap;
        break;
    case ctCheckBox:
    case ctDataCheckBox:
    case ctRadioButton:
        if (FCellAngle == 1) ownedBitmap = FCellBitmap;
        break;
    default:
        break;
    }
    const bool keptOwned = keep && (ownedBitmap == keep || ownedIcon == keep);
    if (ownedBitmap && ownedBitmap != keep) delete ownedBitmap;
    if (ownedIcon && ownedIcon != keep) delete ownedIcon;
    FCellBitmap = nullptr;
    FCellIcon = nullptr;
    FCellCreated = keptOwned;
}

void TCellGraphic::place(TCellType type, TCellHAlign hal, TCellVAlign val, const TObject* keep) {
    releaseOwned(keep);
    FCellType = type;
    FCellHAlign = hal;
    FCellVAlign = val;
}

void TCellGraphic::SetBitmap(TObject* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val) {
    place(ctBitmap, hal, val, ABmp);
    FCellBitmap = ABmp;
    FCellTransparent = Transparent;
}

void TCellGraphic::placePicture(TCellType type, TObject* APicture, bool Transparent,
                                TStretchMode StretchMode, int padding, TCellHAlign hal,
                                TCellVAlign val) {
    place(type, hal, val, APicture);
    FCellBitmap = APicture;
    FCellTransparent = Transparent;
    FCellAngle = int(StretchMode);
    FCellIndex = padding;
}

void TCellGraphic::SetPicture(TObject* APicture, bool Transparent, TStretchMode StretchMode,
                              int padding, TCellHAlign hal, TCellVAlign val) {
    placePicture(ctPicture, APicture, Transparent, StretchMode, padding, hal, val);
}

void TCellGraphic::SetFilePicture(TObject* APicture, bool Transparent, TStretchMode stretchmode,
                                  int padding, TCellHAlign hal, TCellVAlign val) {
    placePicture(ctFilePicture, APicture, Transparent, stretchmode, padding, hal, val);
}

void TCellGraphic::SetImageIdx(int idx, TCellHAlign hal, TCellVAlign val) {
    place(ctImageList, hal, val, nullptr);
    FCellIndex = idx;
}

void TCellGraphic::SetDataImage(int idx, TCellHAlign hal, TCellVAlign val) {
    place(ctDataImage, hal, val, nullptr);
    FCellIndex = idx;
}

void TCellGraphic::SetMultiImage(int Col, int Row, int dir, TCellHAlign hal, TCellVAlign val,
                                 TImageChangeEvent Notifier) {
    place(ctImages, hal, val, nullptr);
    FCellBoolean = dir == 0;
    auto* list = new TIntList(Col, Row);
    list->OnChange = std::move(Notifier);
    FCellBitmap = list;
    FCellCreated = true;
}

void TCellGraphic::SetIcon(TIcon* aicon, TCellHAlign hal, TCellVAlign val) {
    place(ctIcon, hal, val, aicon);
    FCellIcon = aicon;
}

void TCellGraphic::SetCheckBox(bool Value, bool Data, bool Flat, TCellHAlign hal, TCellVAlign val) {
    place(Data ? ctDataCheckBox : ctCheckBox, hal, val, nullptr);
    FCellAngle = 0;
    FCellBoolean = Value;
    FCellTransparent = Flat;
}

void TCellGraphic::SetCheckBox(TCheckBoxState Value, bool Flat, TCellHAlign hal, TCellVAlign val) {
    place(ctTriStateCheckBox, hal, val, nullptr);
    FCellCheckBoxState = Value;
    FCellBoolean = false;
    FCellTransparent = Flat;
}

void TCellGraphic::SetRadioButton(bool Value, bool Flat, TCellHAlign hal, TCellVAlign val) {
    place(ctRadioButton, hal, val, nullptr);
    FCellAngle = 0;
    FCellBoolean = Value;
    FCellTransparent = Flat;
}

void TCellGraphic::SetAngle(int AAngle) {
    releaseOwned(nullptr);
    FCellType = ctRotated;
    if (AAngle < 0) {
        AAngle %= 360;
        if (AAngle < 0) AAngle += 360;
    } else if (AAngle > 360) {
        AAngle = (AAngle - 1) % 360 + 1;
    }
    FCellAngle = AAngle;
}

void TCellGraphic::SetButton(int bw, int bh, const std::string& caption, TCellHAlign hal,
                             TCellVAlign val) {
    place(ctButton, hal, val, nullptr);
    FCellIndex = int((unsigned(bh) << 16) + (unsigned(bw) & 0xFFFFu));
    FCellBoolean = false;
    FCellText = caption;
}

void TCellGraphic::SetBitButton(int bw, int bh, const std::string& caption, TObject* Glyph,
                                TCellHAlign hal, TCellVAlign val) {
    place(ctBitButton, hal, val, Glyph);
    FCellIndex = int((unsigned(bh) << 16) + (unsigned(bw) & 0xFFFFu));
    FCellBoolean = false;
    FCellText = caption;
    FCellBitmap = Glyph;
}

void TCellGraphic::SetInterfacedCell(TObject* AObject) {
    releaseOwned(AObject);
    FCellType = ctInterface;
    FCellBitmap = AObject;
}

void TCellGraphic::SetBalloonList(TObject* AList) {
    if (FCellAngle == 1 && FCellBitmap != AList) delete FCellBitmap;
    FCellBitmap = AList;
    FCellAngle = AList ? 1 : 0;
}

void TCellGraphic::Assign(const TPersistent* Source) {
    const auto* src = dynamic_cast<const TCellGraphic*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    if (src == this) return;
    releaseOwned(nullptr);
    FCellType = src->FCellType;
    FCellHAlign = src->FCellHAlign;
    FCellVAlign = src->FCellVAlign;
    FCellIndex = src->FCellIndex;
    FCellTransparent = src->FCellTransparent;
    FCellValue = src->FCellValue;
    FCellAngle = src->FCellAngle;
    FCellBoolean = src->FCellBoolean;
    FCellErrFrom = src->FCellErrFrom;
    FCellErrLen = src->FCellErrLen;
    FCellText = src->FCellText;
    FCellCreated = src->FCellCreated;
}

TSize TCellGraphic::GetPictureSize(int cw, int rh, bool /*hastext*/) const {
    const TSize picture = pictureExtent(FCellBitmap);
    return CalcPictureSize(picture.cx, picture.cy, cw, rh, FCellIndex, TStretchMode(FCellAngle));
}
