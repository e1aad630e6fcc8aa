#include "pdf/PdfImages.h"

#include "pdf/PdfErrors.h"
#include "pdf/PdfPicture.h"
#include "pdf/PdfRegistry.h"
#include "pdf/PdfText.h"

#include <fstream>
#include <iterator>

namespace pdf {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHexByte(uint32_t AByte, std::string& AOut)
{
    AOut += kHexDigits[(AByte >> 4) & 0xF];
    AOut += kHexDigits[AByte & 0xF];
}

// "<RRGGBB RRGGBB ... >" for all 256 entries; missing entries are black.
std::unique_ptr<TPdfBinary> PaletteOf(const std::vector<uint32_t>& APalette)
{
    auto Palette = std::make_unique<TPdfBinary>();
    std::string& Out = Palette->Stream();
    Out.reserve(2 + 256 * 7);
    Out += '<';
    for (size_t I = 0; I < 256; ++I) {
        const uint32_t Colour = I < APalette.size() ? APalette[I] : 0;
        AppendHexByte(Colour >> 16, Out);
        AppendHexByte(Colour >> 8, Out);
        AppendHexByte(Colour, Out);
        Out += ' ';
    }
    Out += '>';
    return Palette;
}

std::string RgbOf(const TPdfBitmap& ABitmap)
{
    if (ABitmap.PixelFormat() == pf24bit)
        return ABitmap.Pixels();
    std::string Rgb;
    const std::string& Pixels = ABitmap.Pixels();
    Rgb.reserve(Pixels.size() / 4 * 3);
    for (size_t I = 0; I + 3 < Pixels.size(); I += 4)
        Rgb.append(Pixels, I, 3);
    return Rgb;
}

} // namespace

TPdfBitmap::TPdfBitmap(int AWidth, int AHeight, TPdfPixelFormat APixelFormat)
    : FWidth(AWidth), FHeight(AHeight), FPixelFormat(APixelFormat)
{
    if (AWidth <= 0 || AHeight <= 0)
        throw EPdfInvalidValue("bitmap size must be positive.");
    FPixels.assign(static_cast<size_t>(AWidth) * static_cast<size_t>(AHeight) * static_cast<size_t>(BytesPerPixel()), '\0');
}

int TPdfBitmap::BytesPerPixel() const
{
    switch (FPixelFormat) {
    case pf8bit:
        return 1;
    case pf24bit:
        return 3;
    case pf32bit:
        return 4;
    }
    return 1;
}

std::unique_ptr<TPdfImage> TPdfImageCreator::CreateImage(const TGraphic&) { return nullptr; }

std::unique_ptr<TPdfImage> TPdfBitmapImage::CreateImage(const TGraphic& AImage)
{
    const auto* Bitmap = dynamic_cast<const TPdfBitmap*>(&AImage);
    if (!Bitmap)
        throw EPdfInvalidImageFormat("only bitmap image is allowed.");
    const size_t Expected = static_cast<size_t>(Bitmap->Width()) * static_cast<size_t>(Bitmap->Height())
        * static_cast<size_t>(Bitmap->BytesPerPixel());
    if (Bitmap->Pixels().size() != Expected)
        throw EPdfInvalidImageFormat("bitmap pixels do not match its size.");

    auto Image = std::make_unique<TPdfImage>(nullptr);
    TPdfDictionary& Attributes = Image->Attributes();
    Attributes.AddNameItem(u"Type", u"XObject");
    Attributes.AddNameItem(u"Subtype", u"Image");
    if (Bitmap->PixelFormat() == pf8bit) {
        const auto& Palette = Bitmap->Palette();
        if (Palette.empty() || Palette.size() > 256)
            throw EPdfInvalidImageFormat("failed to get Palette..");
        auto ColorSpace = std::make_unique<TPdfArray>();
        ColorSpace->AddItem(std::make_unique<TPdfName>(u"Indexed"));
        ColorSpace->AddItem(std::make_unique<TPdfName>(u"DeviceRGB"));
        ColorSpace->AddItem(std::make_unique<TPdfNumber>(255));
        ColorSpace->AddItem(PaletteOf(Palette));
        Attributes.AddItem(u"ColorSpace", std::move(ColorSpace));
        Image->Stream() = Bitmap->Pixels();
    } else {
        Attributes.AddNameItem(u"ColorSpace", u"DeviceRGB");
        Image->Stream() = RgbOf(*Bitmap);
    }
    Attributes.AddNumberItem(u"Width", Bitmap->Width());
    Attributes.AddNumberItem(u"Height", Bitmap->Height());
    Attributes.AddNumberItem(u"BitsPerComponent", 8);
    return Image;
}

std::string ReadFileBytes(const std::filesystem::path& AFileName)
{
    std::ifstream File(AFileName, std::ios::binary);
    if (!File)
        throw std::runtime_error("Cannot open file \"" + AFileName.string() + "\"");
    std::string Bytes((std::istreambuf_iterator<char>(File)), std::istreambuf_iterator<char>());
    if (File.bad())
        throw std::runtime_error("Cannot read file \"" + AFileName.string() + "\"");
    return Bytes;
}

std::unique_ptr<TPdfImage> BuildPdfImage(const TGraphic& AImage, const std::u16string& ImageClassName)
{
    std::unique_ptr<TPdfImageCreator> Creator = CreateRegisteredImageCreator(ImageClassName);
    if (!Creator)
        throw std::runtime_error("AddImage --InvalidImageClassName:" + Utf8Of(ImageClassName));
    return Creator->CreateImage(AImage);
}

std::unique_ptr<TPdfImage> BuildPdfImage(const TPicture& AImage, const std::u16string& ImageClassName)
{
    if (!AImage.Graphic())
        throw EPdfInvalidValue("only jpeg image is allowed.");
    return BuildPdfImage(*AImage.Graphic(), ImageClassName);
}

} // namespace pdf
