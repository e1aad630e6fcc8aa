#pragma once
// The drawing surface of the current page. Every drawing call appends one
// line of content-stream operators ("x y m", "BT", "(text) Tj", ...), each
// ending with a line feed; numbers are written with FormatReal (two decimals
// at most). The canvas belongs to its TPdfDoc:
//
//     TPdfCanvas& C = *Doc.Canvas();
//     C.SetFont(u"Arial-Bold", 20);
//     C.TextOut(20, 657, u"Attestation de droits Régime Obligatoire");
//     C.SetLineWidth(1);
//     C.MoveTo(20, 617); C.LineTo(576, 617); C.Stroke();
//     C.SetRGBStrokeColor(0xE3E3E3);         // COLORREF: 0x00BBGGRR
//     C.DrawXObject(15, 777, 150, 50, u"logo_sante");

#include "pdf/PdfTypes.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace pdf {

class TPdfDoc;
class TPdfFont;

enum TLineCapStyle { lcButt_End, lcRound_End, lcProjectingSquareEnd };
enum TLineJoinStyle { ljMiterJoin, ljRoundJoin, ljBevelJoin };
enum TTextRenderingMode {
    trFill,
    trStroke,
    trFillThenStroke,
    trInvisible,
    trFillClipping,
    trStrokeClipping,
    trFillStrokeClipping,
    trClipping
};

// A Windows COLORREF, 0x00BBGGRR.
using TPdfColor = int32_t;

// The text state that measuring needs. Setters refuse values out of range
// with EPdfInvalidValue and keep the old value.
class TPdfCanvasAttribute {
public:
    float WordSpace() const { return FWordSpace; }
    void SetWordSpace(float Value);
    float CharSpace() const { return FCharSpace; }
    void SetCharSpace(float Value);
    uint16_t HorizontalScaling() const { return FHorizontalScaling; }
    void SetHorizontalScaling(uint16_t Value);
    float Leading() const { return FLeading; }
    void SetLeading(float Value);
    float FontSize() const { return FFontSize; }
    void SetFontSize(float Value);
    TPdfFont* Font() const { return FFont; }
    void SetFont(TPdfFont* Value) { FFont = Value; }

    static void CheckWordSpace(float Value);
    static void CheckCharSpace(float Value);
    static void CheckHorizontalScaling(uint16_t Value);
    static void CheckLeading(float Value);
    static void CheckFontSize(float Value);

    // Width of the text in points, in 32-bit float arithmetic.
    float TextWidth(const std::u16string& Text) const;
    // How many characters fit before the width first exceeds AWidth.
    int MeasureText(const std::u16string& Text, float AWidth) const;
    // Text itself when it is at most AWidth wide; otherwise its longest start
    // that fits AWidth with an ellipsis ("…", WinAnsi 0x85) after it, never
    // splitting a surrogate pair (the ellipsis alone when nothing fits).
    std::u16string FitText(const std::u16string& Text, float AWidth) const;

private:
    float Advance(const std::u16string& Text, size_t Index) const;

    float FWordSpace = 0;
    float FCharSpace = 0;
    float FFontSize = 0;
    TPdfFont* FFont = nullptr;
    float FLeading = 0;
    uint16_t FHorizontalScaling = 0;
};

class TPdfCanvas {
public:
    explicit TPdfCanvas(TPdfDoc& APdfDoc) : FPdfDoc(APdfDoc) { }
    TPdfCanvas(const TPdfCanvas&) = delete;
    TPdfCanvas& operator=(const TPdfCanvas&) = delete;

    // ---- graphics state and paths ----
    void GSave();
    void GRestore();
    void Concat(float a, float b, float c, float d, float e, float f);
    void SetFlat(uint8_t flatness);
    void SetLineCap(TLineCapStyle linecap);
    void SetDash(const std::vector<uint8_t>& aarray, uint8_t phase);
    void SetLineJoin(TLineJoinStyle linejoin);
    void SetLineWidth(float linewidth);
    void SetMiterLimit(uint8_t miterlimit);
    void MoveTo(float x, float y);
    void LineTo(float x, float y);
    void CurveToC(float x1, float y1, float x2, float y2, float x3, float y3);
    void CurveToV(float x2, float y2, float x3, float y3);
    void CurveToY(float x1, float y1, float x3, float y3);
    void Rectangle(float x, float y, float width, float height);
    void Closepath();
    void NewPath();
    void Stroke();
    void ClosePathStroke();
    void Fill();
    void Eofill();
    void FillStroke();
    void ClosepathFillStroke();
    void EofillStroke();
    void ClosepathEofillStroke();
    void Clip();
    void Eoclip();

    // ---- text state and text ----
    void SetCharSpace(float charSpace);
    void SetWordSpace(float wordSpace);
    void SetHorizontalScaling(uint16_t hScaling);
    void SetLeading(float leading);
    void SetFontAndSize(const std::u16string& fontname, float size);
    void SetTextRenderingMode(TTextRenderingMode mode);
    void SetTextRise(int16_t rise);
    void BeginText();
    void EndText();
    void MoveTextPoint(float tx, float ty);
    void SetTextMatrix(uint16_t a, uint16_t b, uint16_t c, uint16_t d, uint16_t x, uint16_t y);
    void MoveToNextLine();
    void ShowText(const std::u16string& s);
    void ShowTextNextLine(const std::u16string& s);

    // ---- external objects and colours ----
    void ExecuteXObject(const std::u16string& xObject);
    void SetRGBFillColor(TPdfColor Value);
    void SetRGBStrokeColor(TPdfColor Value);

    // ---- higher-level operations ----
    void SetPage(TPdfDictionary* APage);
    // Selects a registered font ("Arial", "Arial-Bold", ...); writes nothing
    // when that font and size are already current.
    void SetFont(const std::u16string& AName, float ASize);
    void TextOut(float X, float Y, const std::u16string& Text);
    void DrawXObject(float X, float Y, float AWidth, float AHeight, const std::u16string& AXObjectName);
    void DrawXObjectEx(float X, float Y, float AWidth, float AHeight, float ClipX, float ClipY, float ClipWidth, float ClipHeight,
        const std::u16string& AXObjectName);
    float TextWidth(const std::u16string& Text) const { return FAttr.TextWidth(Text); }
    int MeasureText(const std::u16string& Text, float AWidth) const { return FAttr.MeasureText(Text, AWidth); }
    std::u16string FitText(const std::u16string& Text, float AWidth) const { return FAttr.FitText(Text, AWidth); }
    void TextRect(const TPdfRect& ARect, const std::u16string& Text, TPdfAlignment Alignment, bool Clipping);
    void MultilineTextRect(const TPdfRect& ARect, const std::u16string& Text, bool WordWrap);
    void Ellipse(float x, float y, float width, float height);
    // The word starting at Index (counted from 0), up to and including its
    // ending space or CR LF; Index moves past it.
    static std::u16string GetNextWord(const std::u16string& S, size_t& Index);

    int PageWidth() const;
    void SetPageWidth(int AValue);
    int PageHeight() const;
    void SetPageHeight(int AValue);

    TPdfCanvasAttribute& Attribute() { return FAttr; }
    const TPdfCanvasAttribute& Attribute() const { return FAttr; }
    TPdfStream* Contents() const { return FContents; }
    TPdfDictionary* Page() const { return FPage; }
    TPdfDoc& PdfDoc() const { return FPdfDoc; }
    bool IsVirtual() const { return FIsVirtual; }

    // Used by the document: measuring-only mode, and forgetting a freed page.
    void SetVirtual(bool AValue) { FIsVirtual = AValue; }
    void Reset();

private:
    // The content stream to write to, or nullptr when nothing is written.
    std::string* Output();
    void WriteOperator(const char* AOperator);
    void WriteReals(std::initializer_list<float> AValues, const char* AOperator);
    void WriteIntegers(std::initializer_list<long long> AValues, const char* AOperator);
    void WriteColor(TPdfColor AValue, const char* AOperator);
    void WriteString(const std::u16string& AText, const char* AOperator);
    void SaveTextState();
    void LoadPageAttributes();
    TPdfArray* MediaBox() const;
    std::u16string XObjectResourceName(const std::u16string& AXObjectName, const char* ACaller);

    TPdfStream* FContents = nullptr;
    TPdfDictionary* FPage = nullptr;
    TPdfDoc& FPdfDoc;
    TPdfCanvasAttribute FAttr;
    bool FIsVirtual = false;
};

} // namespace pdf
