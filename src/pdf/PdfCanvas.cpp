#include "pdf/PdfCanvas.h"

#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfFonts.h"
#include "pdf/PdfText.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pdf {

// ---- TPdfCanvasAttribute ----

void TPdfCanvasAttribute::CheckWordSpace(float Value)
{
    if (!(Value >= 0))
        throw EPdfInvalidValue("SetWordSpace --invalid word space");
}

void TPdfCanvasAttribute::CheckCharSpace(float Value)
{
    if (!(Value >= -30 && Value <= 300))
        throw EPdfInvalidValue("SetCharSpace --invalid char space");
}

void TPdfCanvasAttribute::CheckFontSize(float Value)
{
    if (!(Value >= 0 && Value <= 300))
        throw EPdfInvalidValue("SetCharSpace --invalid font size");
}

void TPdfCanvasAttribute::CheckHorizontalScaling(uint16_t Value)
{
    if (Value < 10 || Value > 300)
        throw EPdfInvalidValue("SetHorizontalScaling --invalid font size");
}

void TPdfCanvasAttribute::CheckLeading(float Value)
{
    if (!(Value >= 0 && Value <= 300))
        throw EPdfInvalidValue("SetLeading --invalid font size");
}

void TPdfCanvasAttribute::SetWordSpace(float Value)
{
    CheckWordSpace(Value);
    FWordSpace = Value;
}
void TPdfCanvasAttribute::SetCharSpace(float Value)
{
    CheckCharSpace(Value);
    FCharSpace = Value;
}
void TPdfCanvasAttribute::SetFontSize(float Value)
{
    CheckFontSize(Value);
    FFontSize = Value;
}
void TPdfCanvasAttribute::SetLeading(float Value)
{
    CheckLeading(Value);
    FLeading = Value;
}

void TPdfCanvasAttribute::SetHorizontalScaling(uint16_t Value)
{
    CheckHorizontalScaling(Value);
    FHorizontalScaling = Value;
}

float TPdfCanvasAttribute::Advance(const std::u16string& Text, size_t Index) const
{
    const int32_t CharWidth = FFont ? FFont->GetCharWidth(Text, Index + 1) : 0;
    float Width = static_cast<float>(CharWidth * static_cast<double>(FFontSize) / 1000.0);
    if (FHorizontalScaling != 100)
        Width = static_cast<float>(Width * static_cast<double>(FHorizontalScaling) / 100.0);
    float Result = Width > 0 ? FCharSpace + Width : 0.0f;
    if (Text[Index] == u' ' && Index + 1 < Text.size() && FWordSpace > 0)
        Result += FWordSpace;
    return Result;
}

float TPdfCanvasAttribute::TextWidth(const std::u16string& Text) const
{
    float Result = 0;
    for (size_t I = 0; I < Text.size(); ++I)
        Result += Advance(Text, I);
    return Result - FCharSpace;
}

int TPdfCanvasAttribute::MeasureText(const std::u16string& Text, float AWidth) const
{
    float Sum = 0;
    for (size_t I = 0; I < Text.size(); ++I) {
        Sum += Advance(Text, I);
        if (Sum > AWidth)
            return static_cast<int>(I);
    }
    return static_cast<int>(Text.size());
}

std::u16string TPdfCanvasAttribute::FitText(const std::u16string& Text, float AWidth) const
{
    if (TextWidth(Text) <= AWidth)
        return Text;
    const std::u16string Ellipsis = u"\u2026";
    auto Fits = [&](size_t ACount) { return TextWidth(Text.substr(0, ACount) + Ellipsis) <= AWidth; };
    // A first guess from the running sum, then settled the way the result is
    // measured, so that rounding neither lets the ellipsis pass the limit nor
    // drops a character that fits. The second half of a surrogate pair
    // measures nothing, so the first step takes it with the first half.
    size_t Count = static_cast<size_t>(std::max(0, MeasureText(Text, AWidth - TextWidth(Ellipsis))));
    while (Count < Text.size() && Fits(Count + 1))
        ++Count;
    while (Count > 0 && !Fits(Count))
        --Count;
    return Text.substr(0, Count) + Ellipsis;
}

// ---- writing ----

std::string* TPdfCanvas::Output() { return FContents && !FIsVirtual ? &FContents->Stream() : nullptr; }

void TPdfCanvas::WriteOperator(const char* AOperator)
{
    if (std::string* Out = Output()) {
        *Out += AOperator;
        *Out += '\n';
    }
}

void TPdfCanvas::WriteReals(std::initializer_list<float> AValues, const char* AOperator)
{
    std::string* Out = Output();
    if (!Out)
        return;
    for (float Value : AValues) {
        AppendReal(Value, *Out);
        *Out += ' ';
    }
    *Out += AOperator;
    *Out += '\n';
}

void TPdfCanvas::WriteIntegers(std::initializer_list<long long> AValues, const char* AOperator)
{
    std::string* Out = Output();
    if (!Out)
        return;
    for (long long Value : AValues) {
        AppendInteger(Value, *Out);
        *Out += ' ';
    }
    *Out += AOperator;
    *Out += '\n';
}

namespace {
// FormatReal(Byte / 255) for every byte, computed once.
const std::array<std::string, 256>& ColorComponentTexts()
{
    static const std::array<std::string, 256> Texts = [] {
        std::array<std::string, 256> Result;
        for (size_t Byte = 0; Byte < Result.size(); ++Byte)
            Result[Byte] = FormatReal(static_cast<long double>(Byte) / 255.0L);
        return Result;
    }();
    return Texts;
}
} // namespace

void TPdfCanvas::WriteColor(TPdfColor AValue, const char* AOperator)
{
    std::string* Out = Output();
    if (!Out)
        return;
    const uint32_t Color = AValue > 0 ? static_cast<uint32_t>(AValue) : 0;
    for (int Shift : {0, 8, 16}) {
        *Out += ColorComponentTexts()[(Color >> Shift) & 0xFF];
        *Out += ' ';
    }
    *Out += AOperator;
    *Out += '\n';
}

void TPdfCanvas::WriteString(const std::u16string& AText, const char* AOperator)
{
    std::string* Out = Output();
    if (!Out)
        return;
    // Texts outside the Basic Multilingual Plane go out as the hex of their
    // Windows-1252 bytes, one byte per character like every other string.
    if (NeedsHexForm(AText)) {
        *Out += '<';
        *Out += HexOfAnsiBytes(AText);
        *Out += "> ";
    } else {
        *Out += '(';
        WriteEscapedText(AText, *Out);
        *Out += ") ";
    }
    *Out += AOperator;
    *Out += '\n';
}

// ---- graphics state and paths ----

void TPdfCanvas::GSave() { WriteOperator("q"); }
void TPdfCanvas::GRestore() { WriteOperator("Q"); }
void TPdfCanvas::Concat(float a, float b, float c, float d, float e, float f) { WriteReals({a, b, c, d, e, f}, "cm"); }
void TPdfCanvas::SetFlat(uint8_t flatness) { WriteIntegers({flatness}, "i"); }
void TPdfCanvas::SetLineCap(TLineCapStyle linecap) { WriteIntegers({linecap}, "J"); }
void TPdfCanvas::SetLineJoin(TLineJoinStyle linejoin) { WriteIntegers({linejoin}, "j"); }
void TPdfCanvas::SetLineWidth(float linewidth) { WriteReals({linewidth}, "w"); }
void TPdfCanvas::SetMiterLimit(uint8_t miterlimit) { WriteIntegers({miterlimit}, "M"); }

void TPdfCanvas::SetDash(const std::vector<uint8_t>& aarray, uint8_t phase)
{
    std::string* Out = Output();
    if (!Out)
        return;
    *Out += '[';
    // A pattern starting with 0 means a solid line.
    if (!aarray.empty() && aarray.front() != 0)
        for (uint8_t Value : aarray) {
            AppendInteger(Value, *Out);
            *Out += ' ';
        }
    *Out += "] ";
    AppendInteger(phase, *Out);
    *Out += " d\n";
}

void TPdfCanvas::MoveTo(float x, float y) { WriteReals({x, y}, "m"); }
void TPdfCanvas::LineTo(float x, float y) { WriteReals({x, y}, "l"); }
void TPdfCanvas::CurveToC(float x1, float y1, float x2, float y2, float x3, float y3) { WriteReals({x1, y1, x2, y2, x3, y3}, "c"); }
void TPdfCanvas::CurveToV(float x2, float y2, float x3, float y3) { WriteReals({x2, y2, x3, y3}, "v"); }
void TPdfCanvas::CurveToY(float x1, float y1, float x3, float y3) { WriteReals({x1, y1, x3, y3}, "y"); }
void TPdfCanvas::Rectangle(float x, float y, float width, float height) { WriteReals({x, y, width, height}, "re"); }
void TPdfCanvas::Closepath() { WriteOperator("h"); }
void TPdfCanvas::NewPath() { WriteOperator("n"); }
void TPdfCanvas::Stroke() { WriteOperator("S"); }
void TPdfCanvas::ClosePathStroke() { WriteOperator("s"); }
void TPdfCanvas::Fill() { WriteOperator("f"); }
void TPdfCanvas::Eofill() { WriteOperator("f*"); }
void TPdfCanvas::FillStroke() { WriteOperator("B"); }
void TPdfCanvas::ClosepathFillStroke() { WriteOperator("b"); }
void TPdfCanvas::EofillStroke() { WriteOperator("B*"); }
void TPdfCanvas::ClosepathEofillStroke() { WriteOperator("b*"); }
void TPdfCanvas::Clip() { WriteOperator("W"); }
void TPdfCanvas::Eoclip() { WriteOperator("W*"); }

// ---- text state and text ----

void TPdfCanvas::SetCharSpace(float charSpace)
{
    if (charSpace == FAttr.CharSpace())
        return;
    FAttr.SetCharSpace(charSpace);
    WriteReals({charSpace}, "Tc");
}

void TPdfCanvas::SetWordSpace(float wordSpace)
{
    if (wordSpace == FAttr.WordSpace())
        return;
    FAttr.SetWordSpace(wordSpace);
    WriteReals({wordSpace}, "Tw");
}

void TPdfCanvas::SetHorizontalScaling(uint16_t hScaling)
{
    if (hScaling == FAttr.HorizontalScaling())
        return;
    FAttr.SetHorizontalScaling(hScaling);
    WriteIntegers({hScaling}, "Tz");
}

void TPdfCanvas::SetLeading(float leading)
{
    if (leading == FAttr.Leading())
        return;
    FAttr.SetLeading(leading);
    WriteReals({leading}, "TL");
}

void TPdfCanvas::SetFontAndSize(const std::u16string& fontname, float size)
{
    std::string* Out = Output();
    if (!Out)
        return;
    WriteText(fontname, *Out);
    *Out += ' ';
    AppendReal(size, *Out);
    *Out += " Tf\n";
}

void TPdfCanvas::SetTextRenderingMode(TTextRenderingMode mode) { WriteIntegers({mode}, "Tr"); }
void TPdfCanvas::SetTextRise(int16_t rise) { WriteIntegers({rise}, "Ts"); }
void TPdfCanvas::BeginText() { WriteOperator("BT"); }
void TPdfCanvas::EndText() { WriteOperator("ET"); }
void TPdfCanvas::MoveTextPoint(float tx, float ty) { WriteReals({tx, ty}, "Td"); }

void TPdfCanvas::SetTextMatrix(uint16_t a, uint16_t b, uint16_t c, uint16_t d, uint16_t x, uint16_t y)
{
    WriteIntegers({a, b, c, d, x, y}, "Tm");
}

void TPdfCanvas::MoveToNextLine() { WriteOperator("T*"); }
void TPdfCanvas::ShowText(const std::u16string& s) { WriteString(s, "Tj"); }
void TPdfCanvas::ShowTextNextLine(const std::u16string& s) { WriteString(s, "'"); }

void TPdfCanvas::ExecuteXObject(const std::u16string& xObject)
{
    std::string* Out = Output();
    if (!Out)
        return;
    // Escaped as the resource dictionary's key is, or readers look up
    // another name, or split it into unknown operators.
    WriteName(xObject, *Out);
    *Out += " Do\n";
}

void TPdfCanvas::SetRGBFillColor(TPdfColor Value) { WriteColor(Value, "rg"); }
void TPdfCanvas::SetRGBStrokeColor(TPdfColor Value) { WriteColor(Value, "RG"); }

// ---- pages ----

void TPdfCanvas::SaveTextState()
{
    if (FAttr.Font())
        FPage->AddInternalItem(u"_Font", std::make_unique<TPdfText>(FAttr.Font()->Name()));
    FPage->AddInternalItem(u"_Font_Size", std::make_unique<TPdfReal>(FAttr.FontSize()));
    FPage->AddInternalItem(u"_Word_Space", std::make_unique<TPdfReal>(FAttr.WordSpace()));
    FPage->AddInternalItem(u"_Char_Space", std::make_unique<TPdfReal>(FAttr.CharSpace()));
    FPage->AddInternalItem(u"_HScalling", std::make_unique<TPdfNumber>(FAttr.HorizontalScaling()));
    FPage->AddInternalItem(u"_Leading", std::make_unique<TPdfReal>(FAttr.Leading()));
}

void TPdfCanvas::LoadPageAttributes()
{
    if (const TPdfText* FontName = FPage->PdfTextByName(u"_Font")) {
        auto RealOf = [this](std::u16string_view AKey) {
            const TPdfReal* Real = FPage->PdfRealByName(AKey);
            return Real ? static_cast<float>(Real->Value()) : 0.0f;
        };
        const TPdfNumber* Scaling = FPage->PdfNumberByName(u"_HScalling");
        FAttr = TPdfCanvasAttribute();
        FAttr.SetFont(&FPdfDoc.GetFont(FontName->Value()));
        FAttr.SetFontSize(RealOf(u"_Font_Size"));
        FAttr.SetWordSpace(RealOf(u"_Word_Space"));
        FAttr.SetCharSpace(RealOf(u"_Char_Space"));
        FAttr.SetHorizontalScaling(static_cast<uint16_t>(Scaling ? Scaling->Value() : 100));
        FAttr.SetLeading(RealOf(u"_Leading"));
        return;
    }
    // A fresh page selects its font even when the previous page ended with
    // the same one: the selection does not carry over between pages.
    FAttr.SetFont(nullptr);
    SetFont(u"Arial", 10);
    FAttr.SetCharSpace(0);
    FAttr.SetWordSpace(0);
    FAttr.SetHorizontalScaling(100);
    FAttr.SetLeading(0);
}

void TPdfCanvas::SetPage(TPdfDictionary* APage)
{
    if (FPage)
        SaveTextState();
    FPage = APage;
    FContents = APage ? dynamic_cast<TPdfStream*>(APage->ValueByName(u"Contents")) : nullptr;
    if (FPage)
        LoadPageAttributes();
}

void TPdfCanvas::Reset()
{
    FContents = nullptr;
    FPage = nullptr;
    FAttr = TPdfCanvasAttribute();
    FIsVirtual = false;
}

void TPdfCanvas::SetFont(const std::u16string& AName, float ASize)
{
    TPdfFont& Font = FPdfDoc.GetFont(AName);
    if (&Font == FAttr.Font() && ASize == FAttr.FontSize())
        return;
    TPdfCanvasAttribute::CheckFontSize(ASize);
    const std::u16string ResourceName = Font.Data()->PdfNameByName(u"Name")->Value();
    if (FPage) {
        TPdfDictionary& Fonts = PageResource(*FPage, u"Font");
        if (!Fonts.ValueByName(ResourceName))
            Fonts.AddItem(ResourceName, *Font.Data());
    }
    SetFontAndSize(u"/" + ResourceName, ASize);
    FAttr.SetFont(&Font);
    FAttr.SetFontSize(ASize);
}

void TPdfCanvas::TextOut(float X, float Y, const std::u16string& Text)
{
    BeginText();
    MoveTextPoint(X, Y);
    ShowText(Text);
    EndText();
}

std::u16string TPdfCanvas::XObjectResourceName(const std::u16string& AXObjectName, const char* ACaller)
{
    if (AXObjectName.find(u'\0') != std::u16string::npos)
        throw EPdfInvalidValue(std::string(ACaller) + " --a name cannot hold a NUL character");
    TPdfXObject* XObject = FPdfDoc.GetXObject(AXObjectName);
    if (!XObject)
        throw EPdfInvalidValue(std::string(ACaller) + " --XObject not found: " + Utf8Of(AXObjectName));
    if (FPage) {
        TPdfDictionary& XObjects = PageResource(*FPage, u"XObject");
        if (!XObjects.ValueByName(AXObjectName))
            XObjects.AddItem(AXObjectName, *XObject);
    }
    return XObject->Attributes().PdfNameByName(u"Name")->Value();
}

void TPdfCanvas::DrawXObject(float X, float Y, float AWidth, float AHeight, const std::u16string& AXObjectName)
{
    const std::u16string Name = XObjectResourceName(AXObjectName, "DrawXObject");
    GSave();
    Concat(AWidth, 0, 0, AHeight, X, Y);
    ExecuteXObject(Name);
    GRestore();
}

void TPdfCanvas::DrawXObjectEx(float X, float Y, float AWidth, float AHeight, float ClipX, float ClipY, float ClipWidth,
    float ClipHeight, const std::u16string& AXObjectName)
{
    const std::u16string Name = XObjectResourceName(AXObjectName, "DrawXObjectEx");
    GSave();
    Rectangle(ClipX, ClipY, ClipWidth, ClipHeight);
    Clip();
    NewPath();
    Concat(AWidth, 0, 0, AHeight, X, Y);
    ExecuteXObject(Name);
    GRestore();
}

// ---- text boxes and shapes ----

void TPdfCanvas::TextRect(const TPdfRect& ARect, const std::u16string& Text, TPdfAlignment Alignment, bool Clipping)
{
    const float BoxWidth = ARect.Right - ARect.Left;
    const float Width = TextWidth(Text);
    float Offset = 0;
    if (Alignment == paRightJustify)
        Offset = BoxWidth - std::nearbyint(Width);
    else if (Alignment == paCenter)
        Offset = std::nearbyint((BoxWidth - Width) / 2);
    if (Clipping) {
        GSave();
        MoveTo(ARect.Left, ARect.Top);
        LineTo(ARect.Right, ARect.Top);
        LineTo(ARect.Right, ARect.Bottom);
        LineTo(ARect.Left, ARect.Bottom);
        Closepath();
        Clip();
        NewPath();
    }
    BeginText();
    MoveTextPoint(ARect.Left + Offset, ARect.Top - 0.85f * FAttr.FontSize());
    ShowText(Text);
    EndText();
    if (Clipping)
        GRestore();
}

std::u16string TPdfCanvas::GetNextWord(const std::u16string& S, size_t& Index)
{
    const size_t Start = Index;
    while (Index < S.size()) {
        const char16_t C = S[Index++];
        if (C == u' ')
            break;
        if (C == u'\r' && Index < S.size() && S[Index] == u'\n') {
            ++Index;
            break;
        }
    }
    return S.substr(Start, Index - Start);
}

void TPdfCanvas::MultilineTextRect(const TPdfRect& ARect, const std::u16string& Text, bool WordWrap)
{
    const float FontSize = FAttr.FontSize();
    const float BoxWidth = ARect.Right - ARect.Left;
    BeginText();
    MoveTextPoint(ARect.Left, ARect.Top - 0.85f * FontSize);
    float LineTop = ARect.Top;
    size_t Index = 0;
    while (Index < Text.size()) {
        std::u16string Line;
        while (Index < Text.size()) {
            const size_t WordStart = Index;
            std::u16string Word = GetNextWord(Text, Index);
            const bool LineBreak = Word.size() >= 2 && Word.compare(Word.size() - 2, 2, u"\r\n") == 0;
            if (LineBreak)
                Word.resize(Word.size() - 2);
            if (WordWrap && !Line.empty() && TextWidth(Line + Word) > BoxWidth) {
                Index = WordStart; // the word opens the next line
                break;
            }
            Line += Word;
            if (LineBreak)
                break;
        }
        ShowText(Line.substr(0, static_cast<size_t>(MeasureText(Line, BoxWidth))));
        MoveToNextLine();
        LineTop -= FAttr.Leading();
        if (LineTop - ARect.Bottom < FontSize)
            break;
    }
    EndText();
}

void TPdfCanvas::Ellipse(float x, float y, float width, float height)
{
    const float RadiusX = width / 2;
    const float RadiusY = height / 2;
    const float CenterX = x + RadiusX;
    const float CenterY = y + RadiusY;
    // Control points 0.55 of the half-axis from the arc ends approximate a
    // quarter ellipse closely.
    const float HandleX = RadiusX * 11 / 20;
    const float HandleY = RadiusY * 11 / 20;
    MoveTo(x, CenterY);
    CurveToC(x, CenterY + HandleY, CenterX - HandleX, y + height, CenterX, y + height);
    CurveToC(CenterX + HandleX, y + height, x + width, CenterY + HandleY, x + width, CenterY);
    CurveToC(x + width, CenterY - HandleY, CenterX + HandleX, y, CenterX, y);
    CurveToC(CenterX - HandleX, y, x, CenterY - HandleY, x, CenterY);
}

// ---- page size ----

TPdfArray* TPdfCanvas::MediaBox() const { return FPage ? FPage->PdfArrayByName(u"MediaBox") : nullptr; }

namespace {
int NumberAt(const TPdfArray* AArray, int AIndex, int ADefault)
{
    const TPdfObject* Item = AArray ? AArray->Items(AIndex) : nullptr;
    if (const auto* Number = dynamic_cast<const TPdfNumber*>(Item))
        return Number->Value();
    if (const auto* Real = dynamic_cast<const TPdfReal*>(Item))
        return static_cast<int>(Real->Value());
    return ADefault;
}

void SetNumberAt(TPdfArray* AArray, int AIndex, int AValue)
{
    if (auto* Number = dynamic_cast<TPdfNumber*>(AArray ? AArray->Items(AIndex) : nullptr))
        Number->SetValue(AValue);
}
} // namespace

int TPdfCanvas::PageWidth() const { return NumberAt(MediaBox(), 2, FPdfDoc.DefaultPageWidth()); }
int TPdfCanvas::PageHeight() const { return NumberAt(MediaBox(), 3, FPdfDoc.DefaultPageHeight()); }
void TPdfCanvas::SetPageWidth(int AValue) { SetNumberAt(MediaBox(), 2, AValue); }
void TPdfCanvas::SetPageHeight(int AValue) { SetNumberAt(MediaBox(), 3, AValue); }

} // namespace pdf
