#include "pdf/PdfPicture.h"

#include "pdf/PdfErrors.h"
#include "pdf/PdfJpegImage.h"
#include "pdf/PdfText.h"

#include <map>

namespace pdf {
namespace {

struct TFileFormat {
    std::u16string Description;
    TPicture::TGraphicLoader Loader;
};

std::u16string LowerAscii(std::u16string AText)
{
    for (char16_t& C : AText)
        if (C >= u'A' && C <= u'Z')
            C = static_cast<char16_t>(C - u'A' + u'a');
    return AText;
}

std::map<std::u16string, TFileFormat>& FileFormats()
{
    static std::map<std::u16string, TFileFormat> Formats = {
        {u"jpg", {u"JPEG Image File", &TPicture::LoadAs<TJpegPicture>}},
        {u"jpeg", {u"JPEG Image File", &TPicture::LoadAs<TJpegPicture>}},
        {u"jpe", {u"JPEG Image File", &TPicture::LoadAs<TJpegPicture>}},
        {u"jfif", {u"JPEG Image File", &TPicture::LoadAs<TJpegPicture>}},
    };
    return Formats;
}

std::u16string ExtensionOf(const std::filesystem::path& AFileName)
{
    std::u16string Extension = AFileName.extension().u16string();
    if (!Extension.empty() && Extension.front() == u'.')
        Extension.erase(0, 1);
    return LowerAscii(Extension);
}

} // namespace

void TPicture::RegisterLoader(const std::u16string& AExtension, const std::u16string& ADescription, TGraphicLoader ALoader)
{
    FileFormats()[LowerAscii(AExtension)] = TFileFormat {ADescription, ALoader};
}

std::u16string TPicture::FileFormatDescription(const std::u16string& AExtension)
{
    const auto Found = FileFormats().find(LowerAscii(AExtension));
    return Found == FileFormats().end() ? std::u16string() : Found->second.Description;
}

void TPicture::LoadFromFile(const std::filesystem::path& AFileName)
{
    const std::u16string Extension = ExtensionOf(AFileName);
    const auto Found = FileFormats().find(Extension);
    if (Found == FileFormats().end())
        throw EPdfInvalidImageFormat("Unknown picture file extension (." + Utf8Of(Extension) + ")");
    FGraphic = Found->second.Loader(ReadFileBytes(AFileName));
}

} // namespace pdf
