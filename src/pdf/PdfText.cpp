#include "pdf/PdfText.h"

#include "pdf/PdfErrors.h"

#include <charconv>
#include <cmath>

namespace pdf {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsHighSurrogate(char16_t C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(char16_t C) { return C >= 0xDC00 && C <= 0xDFFF; }
bool IsSurrogate(char16_t C) { return C >= 0xD800 && C <= 0xDFFF; }

// Windows-1252 bytes 0x80..0x9F and the characters they stand for; 0 marks
// the five codes the code page leaves undefined.
constexpr char16_t kAnsiHighRow[32]
    = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018,
        0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

void AppendHex(unsigned Value, int MinDigits, std::string& Out)
{
    char Buffer[8];
    int Count = 0;
    do {
        Buffer[Count++] = kHexDigits[Value & 0xF];
        Value >>= 4;
    } while (Value != 0);
    for (int I = Count; I < MinDigits; ++I)
        Out += '0';
    while (Count > 0)
        Out += Buffer[--Count];
}

// Writes DigitText (the significant digits, first one non-zero) scaled so
// that the first digit has the weight 10^Exponent, as a plain decimal.
void AppendPlainDecimal(bool Negative, std::string_view DigitText, int Exponent, std::string& Out)
{
    while (DigitText.size() > 1 && DigitText.back() == '0')
        DigitText.remove_suffix(1);
    if (DigitText == "0") {
        Out += '0';
        return;
    }
    if (Negative)
        Out += '-';
    const int Digits = static_cast<int>(DigitText.size());
    if (Exponent < 0) {
        Out += "0.";
        Out.append(static_cast<size_t>(-Exponent - 1), '0');
        Out += DigitText;
    } else if (Exponent + 1 >= Digits) {
        Out += DigitText;
        Out.append(static_cast<size_t>(Exponent + 1 - Digits), '0');
    } else {
        Out += DigitText.substr(0, static_cast<size_t>(Exponent + 1));
        Out += '.';
        Out += DigitText.substr(static_cast<size_t>(Exponent + 1));
    }
}

void AppendGeneral(long double Value, std::string& Out)
{
    if (!std::isfinite(Value) || Value == 0) {
        Out += '0';
        return;
    }
    // Scientific form with 15 significant digits: "d.dddddddddddddde+XX".
    char Buffer[64];
    const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, std::fabs(Value), std::chars_format::scientific, 14);
    const std::string_view Text(Buffer, static_cast<size_t>(Result.ptr - Buffer));
    const size_t ExponentAt = Text.find('e');
    std::string Digits;
    for (char C : Text.substr(0, ExponentAt))
        if (C != '.')
            Digits += C;
    int Exponent = 0;
    const std::string_view ExponentText = Text.substr(ExponentAt + 1);
    const char* ExponentBegin = ExponentText.data() + (ExponentText.front() == '+' ? 1 : 0);
    std::from_chars(ExponentBegin, ExponentText.data() + ExponentText.size(), Exponent);
    AppendPlainDecimal(Value < 0, Digits, Exponent, Out);
}

int ParseDigits(std::u16string_view Piece)
{
    int Value = 0;
    for (char16_t C : Piece) {
        if (C < u'0' || C > u'9')
            throw EPdfConvertError("'" + Utf8Of(std::u16string(Piece)) + "' is not a valid integer value");
        Value = Value * 10 + (C - u'0');
    }
    return Value;
}

bool IsLeapYear(int Year) { return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0; }

int DaysInMonth(int Year, int Month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return Month == 2 && IsLeapYear(Year) ? 29 : kDays[Month - 1];
}

void AppendTwoDigits(int Value, std::u16string& Out)
{
    Out += static_cast<char16_t>(u'0' + Value / 10 % 10);
    Out += static_cast<char16_t>(u'0' + Value % 10);
}

} // namespace

char AnsiByteOf(char16_t AChar)
{
    if (AChar < 0x80 || (AChar >= 0xA0 && AChar <= 0xFF))
        return static_cast<char>(AChar);
    for (int I = 0; I < 32; ++I)
        if (kAnsiHighRow[I] == AChar && AChar != 0)
            return static_cast<char>(0x80 + I);
    return '?';
}

void WriteText(std::u16string_view AText, std::string& AStream)
{
    const size_t Count = AText.size();
    for (size_t I = 0; I < Count; ++I) {
        const char16_t C = AText[I];
        if (C < 0x80) {
            AStream += static_cast<char>(C);
            continue;
        }
        // A surrogate pair is one character: one "?" for both halves.
        if (IsHighSurrogate(C) && I + 1 < Count && IsLowSurrogate(AText[I + 1]))
            ++I;
        AStream += AnsiByteOf(C);
    }
}

void WriteText(const std::u16string& AText, std::string& AStream) { WriteText(std::u16string_view(AText), AStream); }

void AppendInteger(long long Value, std::string& AStream)
{
    char Buffer[24];
    const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
    AStream.append(Buffer, Result.ptr);
}

namespace {

// Writes Hundredths / 100 (an exact two-decimal number) without trailing zeros.
void AppendHundredths(long long Hundredths, std::string& AStream)
{
    if (Hundredths < 0) {
        AStream += '-';
        Hundredths = -Hundredths;
    }
    AppendInteger(Hundredths / 100, AStream);
    const int Fraction = static_cast<int>(Hundredths % 100);
    if (Fraction != 0) {
        AStream += '.';
        AStream += static_cast<char>('0' + Fraction / 10);
        if (Fraction % 10 != 0)
            AStream += static_cast<char>('0' + Fraction % 10);
    }
}

} // namespace

void AppendReal(long double Value, std::string& AStream)
{
    const long double Rounded = std::trunc(Value * 100.0L + 0.5L);
    if (!std::isfinite(Rounded)) {
        AStream += '0';
        return;
    }
    if (std::fabs(Rounded) >= 1e15L) {
        AppendGeneral(Rounded / 100.0L, AStream);
        return;
    }
    // Rounded / 100 is exactly a number with two decimals: write it from the
    // integer, which is what 15 significant digits of the quotient give.
    AppendHundredths(static_cast<long long>(Rounded), AStream);
}

void AppendReal(float Value, std::string& AStream)
{
    // A float has 24 significant bits and 100 needs 7: below 2^40 both
    // Value x 100 and the added half are exact in a double, so the double
    // gives the very integer the extended-precision rule gives, much faster.
    constexpr double kExactBelow = 1099511627776.0; // 2^40
    const double Scaled = static_cast<double>(Value) * 100.0 + 0.5;
    if (!(std::fabs(Scaled) < kExactBelow)) {
        AppendReal(static_cast<long double>(Value), AStream);
        return;
    }
    AppendHundredths(static_cast<long long>(Scaled), AStream); // the cast truncates toward zero
}

std::string FormatReal(long double Value)
{
    std::string Text;
    AppendReal(Value, Text);
    return Text;
}

std::string FormatGeneral(long double Value)
{
    std::string Text;
    AppendGeneral(Value, Text);
    return Text;
}

std::u16string EscapeLiteral(const std::u16string& AText)
{
    std::u16string Result;
    Result.reserve(AText.size());
    for (char16_t C : AText) {
        switch (C) {
        case u'(':
            Result += u"\\(";
            break;
        case u')':
            Result += u"\\)";
            break;
        case u'\\':
            Result += u"\\\\";
            break;
        case u'\r':
            Result += u"\\r";
            break;
        case u'\n':
            Result += u"\\n";
            break;
        case u'\t':
            Result += u"\\t";
            break;
        case u'\b':
            Result += u"\\b";
            break;
        case u'\f':
            Result += u"\\f";
            break;
        default:
            Result += C;
        }
    }
    return Result;
}

void WriteEscapedText(std::u16string_view AText, std::string& AStream)
{
    size_t Start = 0;
    for (size_t I = 0; I < AText.size(); ++I) {
        char Escape = 0;
        switch (AText[I]) {
        case u'(':
            Escape = '(';
            break;
        case u')':
            Escape = ')';
            break;
        case u'\\':
            Escape = '\\';
            break;
        case u'\r':
            Escape = 'r';
            break;
        case u'\n':
            Escape = 'n';
            break;
        case u'\t':
            Escape = 't';
            break;
        case u'\b':
            Escape = 'b';
            break;
        case u'\f':
            Escape = 'f';
            break;
        default:
            continue;
        }
        WriteText(AText.substr(Start, I - Start), AStream);
        AStream += '\\';
        AStream += Escape;
        Start = I + 1;
    }
    WriteText(AText.substr(Start), AStream);
}

bool NeedsHexForm(const std::u16string& AText)
{
    for (char16_t C : AText)
        if (IsSurrogate(C))
            return true;
    return false;
}

std::string HexOfCodeUnits(const std::u16string& AText)
{
    std::string Result;
    for (char16_t C : AText)
        AppendHex(C, 2, Result);
    return Result;
}

std::string HexOfAnsiBytes(const std::u16string& AText)
{
    std::string Bytes;
    WriteText(AText, Bytes);
    std::string Result;
    for (unsigned char B : Bytes)
        AppendHex(B, 2, Result);
    return Result;
}

std::string UnicodeTextHeader() { return "FEFF"; }

std::string UnicodeTextHex(const std::u16string& AText)
{
    std::string Result;
    for (char16_t C : AText)
        AppendHex(C, 4, Result);
    return Result;
}

std::u16string PdfDateOf(const TPdfDateTime& ADate)
{
    std::u16string Text = u"D:";
    AppendTwoDigits(ADate.Year / 100, Text);
    AppendTwoDigits(ADate.Year % 100, Text);
    AppendTwoDigits(ADate.Month, Text);
    AppendTwoDigits(ADate.Day, Text);
    AppendTwoDigits(ADate.Hour, Text);
    AppendTwoDigits(ADate.Minute, Text);
    AppendTwoDigits(ADate.Second, Text);
    return Text;
}

TPdfDateTime DateOfPdf(const std::u16string& AText)
{
    if (AText.size() != 16)
        throw EPdfConvertError("'" + Utf8Of(AText) + "' is not a valid PDF date");
    const std::u16string_view Text(AText);
    TPdfDateTime Date;
    Date.Year = ParseDigits(Text.substr(2, 4));
    Date.Month = ParseDigits(Text.substr(6, 2));
    Date.Day = ParseDigits(Text.substr(8, 2));
    Date.Hour = ParseDigits(Text.substr(10, 2));
    Date.Minute = ParseDigits(Text.substr(12, 2));
    Date.Second = ParseDigits(Text.substr(14, 2));
    const bool ValidDate
        = Date.Year >= 1 && Date.Month >= 1 && Date.Month <= 12 && Date.Day >= 1 && Date.Day <= DaysInMonth(Date.Year, Date.Month);
    const bool ValidTime = Date.Hour < 24 && Date.Minute < 60 && Date.Second < 60;
    if (!ValidDate || !ValidTime)
        throw EPdfConvertError("'" + Utf8Of(AText) + "' is not a valid PDF date");
    return Date;
}

std::string PadNumber(long long AValue, int AWidth)
{
    std::string Digits;
    AppendInteger(AValue < 0 ? 0 : AValue, Digits);
    if (static_cast<int>(Digits.size()) >= AWidth)
        return Digits;
    return std::string(static_cast<size_t>(AWidth) - Digits.size(), '0') + Digits;
}

std::string Utf8Of(const std::u16string& AText)
{
    std::string Result;
    for (size_t I = 0; I < AText.size(); ++I) {
        char32_t Code = AText[I];
        if (IsHighSurrogate(AText[I]) && I + 1 < AText.size() && IsLowSurrogate(AText[I + 1])) {
            Code = 0x10000 + ((Code - 0xD800) << 10) + (AText[I + 1] - 0xDC00);
            ++I;
        } else if (IsSurrogate(AText[I])) {
            Code = 0xFFFD;
        }
        if (Code < 0x80) {
            Result += static_cast<char>(Code);
        } else if (Code < 0x800) {
            Result += static_cast<char>(0xC0 | (Code >> 6));
            Result += static_cast<char>(0x80 | (Code & 0x3F));
        } else if (Code < 0x10000) {
            Result += static_cast<char>(0xE0 | (Code >> 12));
            Result += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
            Result += static_cast<char>(0x80 | (Code & 0x3F));
        } else {
            Result += static_cast<char>(0xF0 | (Code >> 18));
            Result += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
            Result += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
            Result += static_cast<char>(0x80 | (Code & 0x3F));
        }
    }
    return Result;
}

} // namespace pdf
