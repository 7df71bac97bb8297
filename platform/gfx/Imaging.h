#pragma once
// Picture formats: icons, PNG (libpng), JPEG (libjpeg, API level 62), GIF, and TPicture,
// which holds any of them.
#include "platform/gfx/Graphics.h"

#include <memory>
#include <string>
#include <vector>

// A graphic decoded to 32-bit pixels with straight alpha.
class TAlphaGraphic : public TGraphic {
public:
    TAlphaGraphic();
    ~TAlphaGraphic() override;
    int Width() const override;
    int Height() const override;
    const TBitmap* Frame() const override;
    bool HasAlpha() const override { return true; }
    // Replaces the pixels with those of a bitmap or any graphic.
    void Assign(const TPersistent* Source) override;

protected:
    TBitmap& pixels() { return *pixels_; }
    const TBitmap& pixels() const { return *pixels_; }

private:
    std::unique_ptr<TBitmap> pixels_;
};

// Windows icon files (.ico): BMP and PNG entries. Loading picks the entry of the requested
// size (SetSize before loading; 32 x 32 by default), else the largest.
class TIcon : public TAlphaGraphic {
public:
    void SetSize(int width, int height);
    void LoadFromStream(TStream& stream) override;
    // Writes a single 32-bit entry.
    void SaveToStream(TStream& stream) const override;

private:
    int wantWidth_ = 32;
    int wantHeight_ = 32;
};

class TPngImage : public TAlphaGraphic {
public:
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    // zlib level 0..9.
    int CompressionLevel() const { return compressionLevel_; }
    void SetCompressionLevel(int v) { compressionLevel_ = v; }

private:
    int compressionLevel_ = 7;
};

class TJPEGImage : public TAlphaGraphic {
public:
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;
    bool HasAlpha() const override { return false; }
    // 1..100.
    int CompressionQuality() const { return quality_; }
    void SetCompressionQuality(int v);
    bool Grayscale() const { return grayscale_; }
    void SetGrayscale(bool v) { grayscale_ = v; }
    bool ProgressiveEncoding() const { return progressive_; }
    void SetProgressiveEncoding(bool v) { progressive_ = v; }

private:
    int quality_ = 90;
    bool grayscale_ = false;
    bool progressive_ = false;
};

// First frame of a GIF; saving writes the bytes that were loaded.
class TGIFImage : public TAlphaGraphic {
public:
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;

private:
    std::vector<std::uint8_t> bytes_;
};

// Decodes a PNG in memory; raises EInvalidGraphic.
void DecodePng(const std::uint8_t* data, std::size_t size, TBitmap& out);
std::vector<std::uint8_t> EncodePng(const TBitmap& bitmap, int compressionLevel = 7);

namespace gfx {
// While one lives, pictures decoded on its thread come from a file: MaxFilePicturePixels
// bounds them.
class FilePictureScope {
public:
    FilePictureScope();
    ~FilePictureScope();
    FilePictureScope(const FilePictureScope&) = delete;
    FilePictureScope& operator=(const FilePictureScope&) = delete;
};
} // namespace gfx

// Holds one graphic of any supported format.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    TGraphic* Graphic() const { return graphic_.get(); }
    // Copies the graphic (nullptr clears).
    void SetGraphic(const TGraphic* value);
    // The graphic as a bitmap; a graphic of another format is converted (pixels kept).
    TBitmap* Bitmap();
    int Width() const;
    int Height() const;
    bool Empty() const { return !graphic_ || graphic_->Empty(); }

    // Format by the first bytes (BMP, PNG, JPEG, GIF, ICO), else by the file extension.
    void LoadFromFile(const std::string& path);
    void LoadFromStream(TStream& stream);
    void SaveToFile(const std::string& path) const;
    void SaveToStream(TStream& stream) const;
    void Assign(const TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void take(std::unique_ptr<TGraphic> g);
    std::unique_ptr<TGraphic> graphic_;
};

// A new graphic of the format of the bytes (nullptr when none matches).
std::unique_ptr<TGraphic> CreateGraphicForData(const std::uint8_t* data, std::size_t size);
