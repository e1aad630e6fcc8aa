#include "pdf/PdfRegistry.h"

#include "pdf/PdfFonts.h"
#include "pdf/PdfImages.h"
#include "pdf/PdfJpegImage.h"

#include <map>
#include <variant>

namespace pdf {
namespace {

using TFontFactory = std::unique_ptr<TPdfFont> (*)(TPdfXref&, const std::u16string&);
using TCreatorFactory = std::unique_ptr<TPdfImageCreator> (*)();
using TRegisteredClass = std::variant<TFontFactory, TCreatorFactory>;

template <class TFont> std::unique_ptr<TPdfFont> MakeFont(TPdfXref& AXref, const std::u16string& AName)
{
    return std::make_unique<TFont>(AXref, AName);
}

template <class TCreator> std::unique_ptr<TPdfImageCreator> MakeCreator() { return std::make_unique<TCreator>(); }

const std::map<std::u16string, TRegisteredClass, std::less<>>& Registry()
{
    static const std::map<std::u16string, TRegisteredClass, std::less<>> Classes = {
        {u"FixedWidth", &MakeFont<TPdfFixedWidth>},
        {u"FixedWidth-Bold", &MakeFont<TPdfFixedWidthBold>},
        {u"FixedWidth-Italic", &MakeFont<TPdfFixedWidthItalic>},
        {u"FixedWidth-BoldItalic", &MakeFont<TPdfFixedWidthBoldItalic>},
        {u"Arial", &MakeFont<TPdfArial>},
        {u"Arial-Bold", &MakeFont<TPdfArialBold>},
        {u"Arial-Italic", &MakeFont<TPdfArialItalic>},
        {u"Arial-BoldItalic", &MakeFont<TPdfArialBoldItalic>},
        {u"Times-Roman", &MakeFont<TPdfTimesRoman>},
        {u"Times-Bold", &MakeFont<TPdfTimesBold>},
        {u"Times-Italic", &MakeFont<TPdfTimesItalic>},
        {u"Times-BoldItalic", &MakeFont<TPdfTimesBoldItalic>},
        {u"Pdf-Jpeg", &MakeCreator<TPdfJpegImage>},
        {u"Pdf-Bitmap", &MakeCreator<TPdfBitmapImage>},
    };
    return Classes;
}

template <class TFactory> TFactory FindFactory(const std::u16string& AName)
{
    const auto& Classes = Registry();
    const auto Found = Classes.find(AName);
    if (Found == Classes.end())
        return nullptr;
    const TFactory* Factory = std::get_if<TFactory>(&Found->second);
    return Factory ? *Factory : nullptr;
}

} // namespace

std::unique_ptr<TPdfFont> CreateRegisteredFont(const std::u16string& AName, TPdfXref& AXref)
{
    const TFontFactory Factory = FindFactory<TFontFactory>(AName);
    return Factory ? Factory(AXref, AName) : nullptr;
}

std::unique_ptr<TPdfImageCreator> CreateRegisteredImageCreator(const std::u16string& AName)
{
    const TCreatorFactory Factory = FindFactory<TCreatorFactory>(AName);
    return Factory ? Factory() : nullptr;
}

} // namespace pdf
