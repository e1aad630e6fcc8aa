#pragma once
// Pictures and the image creators that turn them into image objects.
//
//     TPicture Logo;                         // see PdfPicture.h
//     Logo.LoadFromFile("velna.mvi");        // a JPEG under another extension
//     Doc.AddXObject(u"logo_sante", BuildPdfImage(Logo, u"Pdf-Jpeg"));
//
// "Pdf-Jpeg" embeds a JPEG file's bytes unchanged (TPdfJpegImage,
// PdfJpegImage.h); "Pdf-Bitmap" writes an in-memory bitmap uncompressed.

#include "pdf/PdfTypes.h"
#include "pdf/PdfWrappers.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pdf {

// A picture in memory.
class TGraphic : public TPersistent {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

enum TPdfPixelFormat {
    pf8bit, // one palette index per pixel
    pf24bit, // red, green, blue
    pf32bit, // red, green, blue and one unused byte
};

// A plain bitmap: rows from the top, no padding between rows.
class TPdfBitmap final : public TGraphic {
public:
    TPdfBitmap(int AWidth, int AHeight, TPdfPixelFormat APixelFormat);

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    TPdfPixelFormat PixelFormat() const { return FPixelFormat; }
    int BytesPerPixel() const;

    // Palette of an 8-bit bitmap, 0x00RRGGBB, at most 256 colours.
    std::vector<uint32_t>& Palette() { return FPalette; }
    const std::vector<uint32_t>& Palette() const { return FPalette; }
    // Width x Height x BytesPerPixel bytes.
    std::string& Pixels() { return FPixels; }
    const std::string& Pixels() const { return FPixels; }

private:
    int FWidth;
    int FHeight;
    TPdfPixelFormat FPixelFormat;
    std::vector<uint32_t> FPalette;
    std::string FPixels;
};

class TPdfImageCreator : public TPersistent {
public:
    // The image object for AImage; nothing in this class.
    virtual std::unique_ptr<TPdfImage> CreateImage(const TGraphic& AImage);
};

// "Pdf-Bitmap": an 8-bit bitmap as indexed colours with its palette, other
// bitmaps as 24-bit RGB; no compression.
class TPdfBitmapImage final : public TPdfImageCreator {
public:
    std::unique_ptr<TPdfImage> CreateImage(const TGraphic& AImage) override;
};

class TPicture;

// The whole content of a file; fails with std::runtime_error when it cannot
// be read.
std::string ReadFileBytes(const std::filesystem::path& AFileName);

// Makes the image of AImage with the creator registered as ImageClassName
// ("Pdf-Jpeg", "Pdf-Bitmap"). The image belongs to the caller until
// TPdfDoc::AddXObject takes it.
std::unique_ptr<TPdfImage> BuildPdfImage(const TGraphic& AImage, const std::u16string& ImageClassName);
std::unique_ptr<TPdfImage> BuildPdfImage(const TPicture& AImage, const std::u16string& ImageClassName);

} // namespace pdf
