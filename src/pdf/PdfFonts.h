#pragma once
// The standard Type 1 fonts. No font program is embedded: the file names one
// of the fonts every PDF viewer provides, and the writer keeps its character
// widths to measure text. Fonts are made by TPdfDoc::GetFont from their
// registered names ("Arial", "Arial-Bold", "Times-Roman", "FixedWidth", ...).

#include "pdf/PdfWrappers.h"
#include "pdf/PdfXref.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace pdf {

class TPdfFont : public TPdfDictionaryWrapper {
public:
    TPdfFont(TPdfXref& AXref, std::u16string AName);

    // The name the font was asked for.
    const std::u16string& Name() const { return FName; }

    // Width, in thousandths of the font size, of the character at APos
    // (counted from 1) of AText.
    virtual int32_t GetCharWidth(const std::u16string& AText, size_t APos) const;

protected:
    std::u16string FName;
};

class TPdfType1Font : public TPdfFont {
public:
    // Makes the font dictionary for ABaseFont, registers it in AXref and
    // loads the 224 widths of codes 32..255.
    TPdfType1Font(TPdfXref& AXref, std::u16string AName, std::u16string_view ABaseFont, const int32_t* AWidths);

    void SetData(TPdfDictionary* Value) override;
    int32_t GetCharWidth(const std::u16string& AText, size_t APos) const override;

    uint8_t FirstChar() const { return FFirstChar; }
    uint8_t LastChar() const { return FLastChar; }
    // Width of a Windows-1252 code.
    uint16_t WidthOfCode(uint8_t ACode) const { return FArray[ACode]; }

private:
    uint8_t FFirstChar = 0;
    uint8_t FLastChar = 0;
    std::array<uint16_t, 256> FArray {};
};

#define VELNARA_PDF_STANDARD_FONT(ClassName)                                                                                       \
    class ClassName final : public TPdfType1Font {                                                                                 \
    public:                                                                                                                        \
        ClassName(TPdfXref& AXref, std::u16string AName);                                                                          \
    };

VELNARA_PDF_STANDARD_FONT(TPdfFixedWidth)
VELNARA_PDF_STANDARD_FONT(TPdfFixedWidthBold)
VELNARA_PDF_STANDARD_FONT(TPdfFixedWidthItalic)
VELNARA_PDF_STANDARD_FONT(TPdfFixedWidthBoldItalic)
VELNARA_PDF_STANDARD_FONT(TPdfArial)
VELNARA_PDF_STANDARD_FONT(TPdfArialBold)
VELNARA_PDF_STANDARD_FONT(TPdfArialItalic)
VELNARA_PDF_STANDARD_FONT(TPdfArialBoldItalic)
VELNARA_PDF_STANDARD_FONT(TPdfTimesRoman)
VELNARA_PDF_STANDARD_FONT(TPdfTimesBold)
VELNARA_PDF_STANDARD_FONT(TPdfTimesItalic)
VELNARA_PDF_STANDARD_FONT(TPdfTimesBoldItalic)

#undef VELNARA_PDF_STANDARD_FONT

} // namespace pdf
