#pragma once
// JPEG pictures and the "Pdf-Jpeg" image creator. A JPEG is never decoded:
// its file bytes go into the PDF unchanged (/DCTDecode) and the viewer
// decodes them. Only the frame header is read, with libjpeg, for the pixel
// size and the colour space: gray, RGB, or CMYK (inverted behind an Adobe
// marker).

#include "pdf/PdfImages.h"

#include <filesystem>
#include <memory>
#include <string>

namespace pdf {

class TJpegPicture final : public TGraphic {
public:
    // Keeps the bytes and reads their header. A file that is not a JPEG, or
    // is cut short, is refused with EPdfInvalidImageFormat (libjpeg's words)
    // and leaves the picture as it was.
    void LoadFromBytes(std::string ABytes);
    void LoadFromFile(const std::filesystem::path& AFileName);

    bool Empty() const { return FBytes.empty(); }
    const std::string& Bytes() const { return FBytes; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    bool Grayscale() const { return FGrayscale; }
    // Colour components of the frame: 1 gray, 3 YCbCr/RGB, 4 CMYK/YCCK.
    int Components() const { return FComponents; }
    // A CMYK frame (stored as CMYK or YCCK).
    bool Cmyk() const { return FCmyk; }
    // The file carries an Adobe (APP14) marker.
    bool AdobeMarker() const { return FAdobeMarker; }

private:
    std::string FBytes;
    int FWidth = 0;
    int FHeight = 0;
    int FComponents = 0;
    bool FGrayscale = false;
    bool FCmyk = false;
    bool FAdobeMarker = false;
};

// "Pdf-Jpeg": an image object holding the JPEG file's bytes.
class TPdfJpegImage final : public TPdfImageCreator {
public:
    std::unique_ptr<TPdfImage> CreateImage(const TGraphic& AImage) override;
};

} // namespace pdf
