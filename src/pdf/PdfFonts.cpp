#include "pdf/PdfFonts.h"

#include "pdf/PdfFontWidths.h"
#include "pdf/PdfText.h"

namespace pdf {
namespace {
bool IsLowSurrogateAfterHigh(const std::u16string& AText, size_t AIndex)
{
    return AIndex > 0 && AText[AIndex] >= 0xDC00 && AText[AIndex] <= 0xDFFF && AText[AIndex - 1] >= 0xD800
        && AText[AIndex - 1] <= 0xDBFF;
}
} // namespace

TPdfFont::TPdfFont(TPdfXref&, std::u16string AName) : FName(std::move(AName)) { }

int32_t TPdfFont::GetCharWidth(const std::u16string&, size_t) const { return 0; }

TPdfType1Font::TPdfType1Font(TPdfXref& AXref, std::u16string AName, std::u16string_view ABaseFont, const int32_t* AWidths)
    : TPdfFont(AXref, std::move(AName))
{
    auto& Font = AXref.Register(std::make_unique<TPdfDictionary>(&AXref));
    Font.AddNameItem(u"Type", u"Font");
    Font.AddNameItem(u"Subtype", u"Type1");
    Font.AddNameItem(u"Encoding", u"WinAnsiEncoding");
    Font.AddNumberItem(u"FirstChar", kFirstWidthCode);
    Font.AddNumberItem(u"LastChar", kFirstWidthCode + kWidthCount - 1);
    Font.AddNameItem(u"BaseFont", std::u16string(ABaseFont));
    // Kept for measuring; viewers know the standard fonts' widths.
    Font.AddInternalItem(u"Widths", TPdfArray::CreateNumArray(&AXref, AWidths, kWidthCount));
    SetData(&Font);
}

void TPdfType1Font::SetData(TPdfDictionary* Value)
{
    TPdfFont::SetData(Value);
    const TPdfNumber* Missing = Value->PdfNumberByName(u"MissingWidth");
    FArray.fill(static_cast<uint16_t>(Missing ? Missing->Value() : 0));
    const TPdfNumber* First = Value->PdfNumberByName(u"FirstChar");
    const TPdfNumber* Last = Value->PdfNumberByName(u"LastChar");
    FFirstChar = static_cast<uint8_t>(First ? First->Value() : 0);
    FLastChar = static_cast<uint8_t>(Last ? Last->Value() : 0);
    const TPdfArray* Widths = Value->PdfArrayByName(u"Widths");
    if (!Widths)
        return;
    for (int I = 0; I < Widths->ItemCount() && FFirstChar + I < 256; ++I)
        if (const auto* Width = dynamic_cast<const TPdfNumber*>(Widths->Items(I)))
            FArray[static_cast<size_t>(FFirstChar + I)] = static_cast<uint16_t>(Width->Value());
}

int32_t TPdfType1Font::GetCharWidth(const std::u16string& AText, size_t APos) const
{
    if (APos < 1 || APos > AText.size())
        return 0;
    const size_t Index = APos - 1;
    // The text is written in Windows-1252, so a character is as wide as the
    // byte it becomes ("?" when the code page lacks it; a surrogate pair is
    // one "?", measured on its first half).
    if (IsLowSurrogateAfterHigh(AText, Index))
        return 0;
    return FArray[static_cast<unsigned char>(AnsiByteOf(AText[Index]))];
}

#define VELNARA_PDF_DEFINE_FONT(ClassName, BaseFont, Widths)                                                                       \
    ClassName::ClassName(TPdfXref& AXref, std::u16string AName) : TPdfType1Font(AXref, std::move(AName), BaseFont, Widths) { }

VELNARA_PDF_DEFINE_FONT(TPdfFixedWidth, u"Courier", kCourierWidths)
VELNARA_PDF_DEFINE_FONT(TPdfFixedWidthBold, u"Courier-Bold", kCourierWidths)
VELNARA_PDF_DEFINE_FONT(TPdfFixedWidthItalic, u"Courier-Oblique", kCourierWidths)
VELNARA_PDF_DEFINE_FONT(TPdfFixedWidthBoldItalic, u"Courier-BoldOblique", kCourierWidths)
VELNARA_PDF_DEFINE_FONT(TPdfArial, u"Helvetica", kHelveticaWidths)
VELNARA_PDF_DEFINE_FONT(TPdfArialBold, u"Helvetica-Bold", kHelveticaBoldWidths)
// The oblique faces have the upright faces' widths.
VELNARA_PDF_DEFINE_FONT(TPdfArialItalic, u"Helvetica-Oblique", kHelveticaWidths)
VELNARA_PDF_DEFINE_FONT(TPdfArialBoldItalic, u"Helvetica-BoldOblique", kHelveticaBoldWidths)
VELNARA_PDF_DEFINE_FONT(TPdfTimesRoman, u"Times-Roman", kTimesRomanWidths)
VELNARA_PDF_DEFINE_FONT(TPdfTimesBold, u"Times-Bold", kTimesBoldWidths)
VELNARA_PDF_DEFINE_FONT(TPdfTimesItalic, u"Times-Italic", kTimesItalicWidths)
VELNARA_PDF_DEFINE_FONT(TPdfTimesBoldItalic, u"Times-BoldItalic", kTimesBoldItalicWidths)

#undef VELNARA_PDF_DEFINE_FONT

} // namespace pdf
