#pragma once
// Text helpers shared by the object model and the page canvas: the
// conversion of UTF-16 text to the single bytes a PDF file holds
// (Windows-1252, the WinAnsiEncoding of the standard fonts), the number form
// used in content streams, string and name escaping, and PDF dates.
//
// Everything here is locale-independent: a French system writes "0.5",
// never "0,5".

#include <cstdint>
#include <string>

namespace pdf {

// A calendar date and wall-clock time, as PDF dates carry them (no zone).
struct TPdfDateTime {
    int Year = 0;
    int Month = 0; // 1..12
    int Day = 0; // 1..31
    int Hour = 0; // 0..23
    int Minute = 0;
    int Second = 0;
    friend bool operator==(const TPdfDateTime&, const TPdfDateTime&) = default;
};

// The Windows-1252 byte of one UTF-16 code unit, or '?' when the code page
// has none (surrogates included).
char AnsiByteOf(char16_t AChar);

// Appends AText to AStream as Windows-1252 bytes, one per character; a
// character the code page lacks becomes "?" (a surrogate pair, one
// character, gives one "?").
void WriteText(const std::u16string& AText, std::string& AStream);
void WriteText(std::u16string_view AText, std::string& AStream);

// Number text for content streams: the value rounded to two decimals
// (Trunc(Value x 100 + 0.5) / 100 in extended precision), written without
// exponent and without trailing zeros.
std::string FormatReal(long double Value);
void AppendReal(long double Value, std::string& AStream);
// The same for a 32-bit float (the canvas's numbers), with the same result.
void AppendReal(float Value, std::string& AStream);

// A value in general decimal form with up to 15 significant digits, never
// with an exponent (PDF has none). Used for real values in dictionaries.
std::string FormatGeneral(long double Value);

// Decimal integer text, appended without a temporary string.
void AppendInteger(long long Value, std::string& AStream);

// The body of a literal string: ( ) \ CR LF TAB BS FF escaped.
std::u16string EscapeLiteral(const std::u16string& AText);

// WriteText of EscapeLiteral(AText), in one pass.
void WriteEscapedText(std::u16string_view AText, std::string& AStream);

// True when the text holds a UTF-16 surrogate code unit, that is a character
// outside the Basic Multilingual Plane.
bool NeedsHexForm(const std::u16string& AText);

// Each code unit as upper-case hexadecimal of at least two digits.
std::string HexOfCodeUnits(const std::u16string& AText);

// Each byte of AText's Windows-1252 form as two upper-case hexadecimal
// digits: the hexadecimal string form the writer uses for texts that need it.
std::string HexOfAnsiBytes(const std::u16string& AText);

// "FEFF": the byte-order mark that opens a UTF-16BE text string. No language
// escape follows: PDF 1.2 has none, and readers would show it as a character.
std::string UnicodeTextHeader();

// Each code unit as four upper-case hexadecimal digits, high byte first.
std::string UnicodeTextHex(const std::u16string& AText);

// "D:yyyymmddhhnnss".
std::u16string PdfDateOf(const TPdfDateTime& ADate);

// The reverse of PdfDateOf; throws EPdfConvertError for anything else.
TPdfDateTime DateOfPdf(const std::u16string& AText);

// Decimal text of AValue, left-padded with "0" to AWidth; a negative value
// is written as 0.
std::string PadNumber(long long AValue, int AWidth);

// UTF-8 form of a text, for error messages.
std::string Utf8Of(const std::u16string& AText);

} // namespace pdf
