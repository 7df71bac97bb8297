#pragma once
// Pictures named by markup IMG and BODY tags: THTMLPicture keeps the raw bytes of a BMP, PNG,
// JPEG, GIF or ICO image and shows one frame of an animated GIF at a time; the picture cache
// holds the pictures a grid loaded by URL, the picture container those an application names.
#include "platform/gfx/Graphics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class THTMLPicture : public TGraphic {
public:
    THTMLPicture();
    ~THTMLPicture() override;
    THTMLPicture(const THTMLPicture&) = delete;
    THTMLPicture& operator=(const THTMLPicture&) = delete;

    // The decoded frame's size; 0 x 0 without one.
    int Width() const override;
    int Height() const override;
    // The picture takes the size of its bytes.
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    bool Empty() const override { return FIsEmpty; }
    const TBitmap* Frame() const override;
    bool HasAlpha() const override;
    // Nothing when empty; stretched into rect, else at rect's top-left at the picture's size.
    void Draw(TCanvas* canvas, const TRect& rect, std::uint8_t opacity = 255) const override;

    // Takes the bytes, decodes them and fires OnChange. Bytes that do not decode leave the
    // picture empty and raise EInvalidGraphic.
    void LoadFromStream(TStream& stream) override;
    // As LoadFromStream without OnChange (form streaming).
    void ReadData(TStream& stream);
    // Never raises: a file that is missing or does not decode leaves the picture empty.
    void LoadFromFile(const std::string& FileName);
    // The raw bytes as loaded.
    void SaveToStream(TStream& stream) const override;
    void WriteData(TStream& stream) const { SaveToStream(stream); }
    // The program's data resource of that name; nothing when there is none.
    void LoadFromResourceName(const std::string& Name);
    // The program's numbered data resource; EResNotFound when there is none.
    void LoadFromResourceID(int Id);
    // "RES://name" and "FILE://path" (prefix in any case) load at once and set ID. Other URLs
    // are never fetched: URL and ID are set and the picture stays empty and not busy.
    void LoadFromURL(const std::string& url);
    // A THTMLPicture's bytes; nullptr clears; any other source leaves the picture empty.
    void Assign(const TPersistent* Source) override;

    bool Stretch() const { return FStretched; }
    void SetStretch(bool v) { FStretched = v; }
    const std::string& URL() const { return FURL; }
    const std::string& ID() const { return FID; }
    void SetID(const std::string& v) { FID = v; }
    bool IsDB() const { return FIsDB; }
    void SetIsDB(bool v) { FIsDB = v; }
    bool Asynch() const { return FAsynch; }
    void SetAsynch(bool v) { FAsynch = v; }
    // A background fetch is under way; no fetch is ever started.
    bool Busy() const { return FThreadBusy; }

    // Bytes starting with "GIF8" (at least 5 of them).
    bool IsGIF() const;
    // -1 for a picture that is no GIF, else the number of frames (counted once).
    int FrameCount() const;
    // The current frame, from 1.
    int FrameNum() const { return FFrame; }
    // Decodes frame n and fires OnFrameChange when there are bytes.
    void SetFrame(int n);
    void FrameNext();
    void FramePrev();
    // Delay of frame n in hundredths of a second; -1 when no GIF or no such frame.
    int GetFrameTime(int n) const;
    // One animation tick (100 ms); true when the frame changed.
    bool Step();
    // Position of the current frame in the animation.
    int FrameXPos() const { return FFrameXPos; }
    int FrameYPos() const { return FFrameYPos; }
    // The animation's size for a GIF, else the picture's.
    int MaxWidth() const;
    int MaxHeight() const;

    TNotifyEvent OnFrameChange;
    std::function<void(TObject* Sender, std::uint32_t Size, std::uint32_t Total)>
        OnDownLoadProgress;
    std::function<void(TObject* Sender, bool& Cancel)> OnDownLoadCancel;
    TNotifyEvent OnDownLoadComplete;
    std::function<void(TObject* Sender, const std::string& Error)> OnDownLoadError;

private:
    void load(std::vector<std::uint8_t> bytes, bool notify);
    void reset();
    void decode();
    std::vector<std::uint8_t> FDatastream;
    bool FIsEmpty = true;
    bool FStretched = false;
    std::unique_ptr<TGraphic> gpPicture;
    std::string FURL;
    std::string FID;
    bool FIsDB = false;
    bool FAsynch = true;
    bool FThreadBusy = false;
    int FFrame = 1;
    mutable int FFrameCount = -1;
    std::uint16_t FFrameXPos = 0;
    std::uint16_t FFrameYPos = 0;
    std::uint16_t FAnimMaxX = 0;
    std::uint16_t FAnimMaxY = 0;
    int FNextCount = -1;
    int FTimerCount = -1;
};

// The pictures a grid loaded by URL; owns them.
class THTMLPictureCache {
public:
    THTMLPictureCache();
    ~THTMLPictureCache();
    THTMLPicture* AddPicture();
    // The first picture whose ID equals id exactly; nullptr when none.
    THTMLPicture* FindPicture(const std::string& id) const;
    void ClearPictures();
    int Count() const { return int(FItems.size()); }
    THTMLPicture* GetPicture(int Index) const { return FItems.at(std::size_t(Index)).get(); }
    // Copies Value into the picture at Index.
    void SetPicture(int Index, const THTMLPicture* Value) { GetPicture(Index)->Assign(Value); }
    // One animation tick of every picture; true when any frame changed.
    bool Animate();

private:
    std::vector<std::unique_ptr<THTMLPicture>> FItems;
};

class TPictureItem : public TCollectionItem {
public:
    explicit TPictureItem(TCollection* Collection);
    ~TPictureItem() override;
    THTMLPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const THTMLPicture* v) { FPicture->Assign(v); }
    int Tag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    const std::string& Name() const { return FName; }
    void SetName(const std::string& v) { FName = v; }
    // Name, Tag and the picture of another item.
    void Assign(const TPersistent* Source) override;

private:
    std::unique_ptr<THTMLPicture> FPicture;
    int FTag = 0;
    std::string FName;
};

class TPictureContainer;

class TPictureCollection : public TCollection {
public:
    explicit TPictureCollection(TPictureContainer* AOwner);
    TPictureContainer* Owner() const { return FOwner; }
    TPictureItem* Items(int Index) const {
        return static_cast<TPictureItem*>(TCollection::Items(Index));
    }
    void SetItems(int Index, const TPictureItem* Value) { Items(Index)->Assign(Value); }
    TPictureItem* Add() { return static_cast<TPictureItem*>(TCollection::Add()); }
    TPictureItem* Insert(int Index) {
        return static_cast<TPictureItem*>(TCollection::Insert(Index));
    }
    bool Animate();

private:
    TPictureContainer* FOwner;
};

// Named pictures that an application sets up for markup IMG tags.
class TPictureContainer : public TComponent {
public:
    explicit TPictureContainer(TComponent* AOwner);
    ~TPictureContainer() override;
    TPictureCollection* Items() const { return FItems.get(); }
    // The picture of the first item whose name equals Name, ASCII case ignored.
    virtual THTMLPicture* FindPicture(const std::string& Name) const;

private:
    std::unique_ptr<TPictureCollection> FItems;
};
