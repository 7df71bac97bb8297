#include "grid/render/markup/HTMLPicture.h"

#include "platform/base/Resources.h"
#include "platform/gfx/Imaging.h"

#include <cstring>

namespace {

// A frame of an animated GIF starts with a graphic control extension (21 F9 04, four bytes,
// terminator) followed by an image separator (2C) at +8 and the frame's x and y at +9 and +11.
// A start counts only when all 13 of these bytes are in the data.
constexpr std::size_t kFrameStartBytes = 13;

std::vector<std::size_t> frameStarts(const std::vector<std::uint8_t>& d) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i + kFrameStartBytes <= d.size(); ++i)
        if (d[i] == 0x21 && d[i + 1] == 0xF9 && d[i + 2] == 4 && d[i + 8] == 0x2C)
            starts.push_back(i);
    return starts;
}

std::uint16_t le16(const std::vector<std::uint8_t>& d, std::size_t at) {
    return std::uint16_t(d[at] | (d[at + 1] << 8));
}

bool isGif(const std::vector<std::uint8_t>& d) {
    return d.size() >= 5 && std::memcmp(d.data(), "GIF8", 4) == 0;
}

// What is left of the stream from its position on.
std::vector<std::uint8_t> readRest(TStream& stream) {
    std::vector<std::uint8_t> bytes(
        std::size_t(std::max<std::int64_t>(0, stream.Size() - stream.Position())));
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), std::int64_t(bytes.size()));
    return bytes;
}

// The frame's own rectangle out of a picture decoded on the animation's whole screen.
std::unique_ptr<TGraphic> cropToFrame(const TGraphic& g, int x, int y, int w, int h) {
    const TBitmap* f = g.Frame();
    if (!f || w <= 0 || h <= 0 || x + w > f->Width() || y + h > f->Height()) return nullptr;
    if (x == 0 && y == 0 && w == f->Width() && h == f->Height()) return nullptr;
    TBitmap part(w, h);
    part.SetPixelFormat(pf32bit);
    part.SetAlphaFormat(afDefined);
    for (int row = 0; row < h; ++row)
        std::memcpy(part.ScanLine(row), f->ScanLine(y + row) + std::size_t(x) * 4,
                    std::size_t(w) * 4);
    auto out = std::make_unique<TPngImage>();
    out->Assign(&part);
    return out;
}

} // namespace

// --- THTMLPicture -----------------------------------------------------------------------------
THTMLPicture::THTMLPicture() = default;
THTMLPicture::~THTMLPicture() = default;

int THTMLPicture::Width() const {
    return gpPicture ? gpPicture->Width() : 0;
}
int THTMLPicture::Height() const {
    return gpPicture ? gpPicture->Height() : 0;
}
const TBitmap* THTMLPicture::Frame() const {
    return gpPicture ? gpPicture->Frame() : nullptr;
}
bool THTMLPicture::HasAlpha() const {
    return gpPicture && gpPicture->HasAlpha();
}

void THTMLPicture::Draw(TCanvas* canvas, const TRect& rect, std::uint8_t opacity) const {
    if (FIsEmpty || !gpPicture || !canvas) return;
    if (FStretched)
        gpPicture->Draw(canvas, rect, opacity);
    else
        gpPicture->Draw(canvas, Bounds(rect.Left, rect.Top, Width(), Height()), opacity);
}

void THTMLPicture::reset() {
    FIsEmpty = true;
    gpPicture.reset();
    FFrameCount = -1;
    FNextCount = -1;
    FTimerCount = -1;
    FFrame = 1;
}

void THTMLPicture::load(std::vector<std::uint8_t> bytes, bool notify) {
    // New bytes start a new animation: the frame and the counts of the old one do not apply.
    reset();
    FDatastream = std::move(bytes);
    FIsEmpty = false;
    try {
        decode();
    } catch (...) {
        FDatastream.clear();
        reset();
        throw;
    }
    if (notify) Changed();
}

void THTMLPicture::LoadFromStream(TStream& stream) {
    load(readRest(stream), true);
}

void THTMLPicture::ReadData(TStream& stream) {
    load(readRest(stream), false);
}

void THTMLPicture::LoadFromFile(const std::string& FileName) {
    try {
        TMemoryStream m;
        m.LoadFromFile(FileName);
        LoadFromStream(m);
    } catch (const Exception&) {
        // A file picture that cannot be read shows nothing; load() left the picture empty.
    }
}

void THTMLPicture::SaveToStream(TStream& stream) const {
    if (!FDatastream.empty())
        stream.WriteBuffer(FDatastream.data(), std::int64_t(FDatastream.size()));
}

void THTMLPicture::LoadFromResourceName(const std::string& Name) {
    if (const auto* data = FindResourceData(Name)) load(*data, true);
}

void THTMLPicture::LoadFromResourceID(int Id) {
    load(ResourceData(Id), true);
}

void THTMLPicture::LoadFromURL(const std::string& url) {
    const std::string u = UpperCase(url);
    if (u.rfind("RES://", 0) == 0) {
        FID = url;
        LoadFromResourceName(url.substr(6));
    } else if (u.rfind("FILE://", 0) == 0) {
        FID = url;
        LoadFromFile(url.substr(7));
    } else {
        // Remote pictures are not fetched, so a background load would never end: the picture
        // stays empty and reports no load in progress.
        FURL = url;
        FID = url;
    }
}

void THTMLPicture::Assign(const TPersistent* Source) {
    if (Source == this) return;
    reset();
    FDatastream.clear();
    auto* p = dynamic_cast<const THTMLPicture*>(Source);
    if (p && !p->FDatastream.empty())
        load(p->FDatastream, true);
    else
        Changed();
}

bool THTMLPicture::IsGIF() const {
    return isGif(FDatastream);
}

int THTMLPicture::FrameCount() const {
    if (FFrameCount != -1) return FFrameCount;
    if (!IsGIF()) return -1;
    FFrameCount = int(frameStarts(FDatastream).size());
    return FFrameCount;
}

int THTMLPicture::GetFrameTime(int n) const {
    if (!IsGIF()) return -1;
    const auto starts = frameStarts(FDatastream);
    if (n < 1 || n > int(starts.size())) return -1;
    return le16(FDatastream, starts[std::size_t(n - 1)] + 4);
}

void THTMLPicture::SetFrame(int n) {
    FFrame = n;
    if (FDatastream.empty()) return;
    decode();
    if (OnFrameChange) OnFrameChange(this);
}

void THTMLPicture::FrameNext() {
    SetFrame(FFrame < FrameCount() ? FFrame + 1 : 1);
}

void THTMLPicture::FramePrev() {
    SetFrame(FFrame > 1 ? FFrame - 1 : FrameCount());
}

bool THTMLPicture::Step() {
    if (FFrameCount < 2 || FIsEmpty) return false;
    bool changed = false;
    if (FNextCount == -1) FNextCount = GetFrameTime(FFrame);
    // One tick stands for 100 ms; the frame times count hundredths of a second.
    if (FTimerCount * 10 >= FNextCount) {
        FrameNext();
        FNextCount += GetFrameTime(FFrame);
        changed = true;
    }
    ++FTimerCount;
    return changed;
}

int THTMLPicture::MaxWidth() const {
    if (!gpPicture) return 0;
    return FAnimMaxX ? FAnimMaxX : Width();
}

int THTMLPicture::MaxHeight() const {
    if (!gpPicture) return 0;
    return FAnimMaxY ? FAnimMaxY : Height();
}

void THTMLPicture::decode() {
    gpPicture.reset();
    FFrameXPos = FFrameYPos = 0;
    FAnimMaxX = FAnimMaxY = 0;
    const auto starts = IsGIF() ? frameStarts(FDatastream) : std::vector<std::size_t>();
    std::vector<std::uint8_t> data;
    int frameW = 0, frameH = 0;
    if (!starts.empty()) {
        // The header and what precedes the first frame, then the current frame onwards.
        FAnimMaxX = le16(FDatastream, 6);
        FAnimMaxY = le16(FDatastream, 8);
        data.assign(FDatastream.begin(), FDatastream.begin() + std::ptrdiff_t(starts[0]));
        if (FFrame >= 1 && FFrame <= int(starts.size())) {
            const std::size_t at = starts[std::size_t(FFrame - 1)];
            FFrameXPos = le16(FDatastream, at + 9);
            FFrameYPos = le16(FDatastream, at + 11);
            if (at + 17 <= FDatastream.size()) {
                frameW = le16(FDatastream, at + 13);
                frameH = le16(FDatastream, at + 15);
            }
            data.insert(data.end(), FDatastream.begin() + std::ptrdiff_t(at), FDatastream.end());
        }
    } else {
        data = FDatastream;
    }
    auto g = CreateGraphicForData(data.data(), data.size());
    if (!g) throw EInvalidGraphic("Could not load image. Invalid format");
    TMemoryStream m;
    if (!data.empty()) m.WriteBuffer(data.data(), std::int64_t(data.size()));
    m.SetPosition(0);
    g->LoadFromStream(m);
    if (g->Empty()) throw EInvalidGraphic("Could not load image");
    if (!starts.empty())
        if (auto part = cropToFrame(*g, FFrameXPos, FFrameYPos, frameW, frameH))
            g = std::move(part);
    gpPicture = std::move(g);
}

// --- THTMLPictureCache ------------------------------------------------------------------------
THTMLPictureCache::THTMLPictureCache() = default;
THTMLPictureCache::~THTMLPictureCache() = default;

THTMLPicture* THTMLPictureCache::AddPicture() {
    FItems.push_back(std::make_unique<THTMLPicture>());
    return FItems.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const std::string& id) const {
    for (const auto& p : FItems)
        if (p->ID() == id) return p.get();
    return nullptr;
}

void THTMLPictureCache::ClearPictures() {
    FItems.clear();
}

bool THTMLPictureCache::Animate() {
    bool changed = false;
    for (const auto& p : FItems)
        if (p->Step()) changed = true;
    return changed;
}

// --- container --------------------------------------------------------------------------------
TPictureItem::TPictureItem(TCollection* Collection)
    : TCollectionItem(Collection), FPicture(std::make_unique<THTMLPicture>()) {}
TPictureItem::~TPictureItem() = default;

void TPictureItem::Assign(const TPersistent* Source) {
    if (auto* item = dynamic_cast<const TPictureItem*>(Source)) {
        FName = item->FName;
        FTag = item->FTag;
        FPicture->Assign(item->FPicture.get());
        return;
    }
    TCollectionItem::Assign(Source);
}

TPictureCollection::TPictureCollection(TPictureContainer* AOwner)
    : TCollection([](TCollection* c) { return new TPictureItem(c); }), FOwner(AOwner) {}

bool TPictureCollection::Animate() {
    bool changed = false;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Picture()->Step()) changed = true;
    return changed;
}

TPictureContainer::TPictureContainer(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TPictureCollection>(this)) {}
TPictureContainer::~TPictureContainer() = default;

THTMLPicture* TPictureContainer::FindPicture(const std::string& Name) const {
    const std::string wanted = UpperCase(Name);
    for (int i = 0; i < FItems->Count(); ++i)
        if (UpperCase(FItems->Items(i)->Name()) == wanted) return FItems->Items(i)->Picture();
    return nullptr;
}
