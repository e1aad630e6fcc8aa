#include "pdf/PdfJpegImage.h"

#include "pdf/PdfErrors.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace pdf {
namespace {

struct TJpegHeader {
    int Width = 0;
    int Height = 0;
    int Components = 0;
    bool Grayscale = false;
    bool Cmyk = false;
    bool AdobeMarker = false;
};

// libjpeg reports errors through a callback that must not return; it jumps
// back to ReadHeader instead of ending the process.
struct TJpegErrorManager {
    jpeg_error_mgr Public;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr AInfo)
{
    auto* Errors = reinterpret_cast<TJpegErrorManager*>(AInfo->err);
    (*AInfo->err->format_message)(AInfo, Errors->Message);
    std::longjmp(Errors->Jump, 1);
}

void OnJpegMessage(j_common_ptr AInfo, int ALevel)
{
    // Running out of data is only a warning to libjpeg, which then invents
    // an end-of-image marker; a cut file must be refused, not guessed at.
    if (ALevel < 0 && AInfo->err->msg_code == JWRN_JPEG_EOF)
        OnJpegError(AInfo);
}

// No C++ object with a destructor lives in this function: longjmp skips them.
bool ReadHeader(const unsigned char* AData, size_t ASize, TJpegHeader* AHeader, size_t* AHeaderEnd, char* AMessage)
{
    jpeg_decompress_struct Info;
    TJpegErrorManager Errors;
    Info.err = jpeg_std_error(&Errors.Public);
    Errors.Public.error_exit = OnJpegError;
    Errors.Public.emit_message = OnJpegMessage;
    Errors.Message[0] = '\0';
    if (setjmp(Errors.Jump)) {
        std::strncpy(AMessage, Errors.Message, JMSG_LENGTH_MAX);
        jpeg_destroy_decompress(&Info);
        return false;
    }
    jpeg_create_decompress(&Info);
    jpeg_mem_src(&Info, AData, static_cast<unsigned long>(ASize));
    jpeg_read_header(&Info, TRUE);
    AHeader->Width = static_cast<int>(Info.image_width);
    AHeader->Height = static_cast<int>(Info.image_height);
    AHeader->Components = Info.num_components;
    AHeader->Grayscale = Info.jpeg_color_space == JCS_GRAYSCALE;
    AHeader->Cmyk = Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK;
    AHeader->AdobeMarker = Info.saw_Adobe_marker != FALSE;
    *AHeaderEnd = ASize - Info.src->bytes_in_buffer;
    jpeg_destroy_decompress(&Info);
    return true;
}

// The compressed data after the header must end with an end-of-image marker
// (0xFF 0xD9). Inside entropy-coded data a 0xFF is always followed by 0x00
// or a restart marker, so the pair only appears as a marker.
bool HasEndOfImage(const std::string& ABytes, size_t AFrom)
{
    for (size_t I = ABytes.size(); I >= AFrom + 2; --I)
        if (static_cast<unsigned char>(ABytes[I - 2]) == 0xFF && static_cast<unsigned char>(ABytes[I - 1]) == 0xD9)
            return true;
    return false;
}

} // namespace

void TJpegPicture::LoadFromBytes(std::string ABytes)
{
    if (ABytes.empty())
        throw EPdfInvalidImageFormat("Empty input file");
    TJpegHeader Header;
    size_t HeaderEnd = 0;
    char Message[JMSG_LENGTH_MAX] = {};
    if (!ReadHeader(reinterpret_cast<const unsigned char*>(ABytes.data()), ABytes.size(), &Header, &HeaderEnd, Message))
        throw EPdfInvalidImageFormat(Message);
    if (!HasEndOfImage(ABytes, HeaderEnd))
        throw EPdfInvalidImageFormat("Premature end of JPEG file");
    FBytes = std::move(ABytes);
    FWidth = Header.Width;
    FHeight = Header.Height;
    FComponents = Header.Components;
    FGrayscale = Header.Grayscale;
    FCmyk = Header.Cmyk;
    FAdobeMarker = Header.AdobeMarker;
}

void TJpegPicture::LoadFromFile(const std::filesystem::path& AFileName) { LoadFromBytes(ReadFileBytes(AFileName)); }

std::unique_ptr<TPdfImage> TPdfJpegImage::CreateImage(const TGraphic& AImage)
{
    const auto* Jpeg = dynamic_cast<const TJpegPicture*>(&AImage);
    if (!Jpeg || Jpeg->Empty())
        throw EPdfInvalidValue("only jpeg image is allowed.");
    auto Image = std::make_unique<TPdfImage>(nullptr);
    Image->Stream() = Jpeg->Bytes();
    TPdfDictionary& Attributes = Image->Attributes();
    Attributes.AddNameItem(u"Type", u"XObject");
    Attributes.AddNameItem(u"Subtype", u"Image");
    if (Jpeg->Cmyk()) {
        Attributes.AddNameItem(u"ColorSpace", u"DeviceCMYK");
        // Behind that marker the samples are stored inverted, as Adobe's
        // programs write them (0 is full ink): the decode array turns them
        // back, since viewers take the decoded samples as they come.
        if (Jpeg->AdobeMarker())
            Attributes.AddItem(u"Decode", TPdfArray::CreateNumArray(nullptr, {1, 0, 1, 0, 1, 0, 1, 0}));
    } else {
        Attributes.AddNameItem(u"ColorSpace", Jpeg->Grayscale() ? u"DeviceGray" : u"DeviceRGB");
    }
    Attributes.AddNumberItem(u"Width", Jpeg->Width());
    Attributes.AddNumberItem(u"Height", Jpeg->Height());
    Attributes.AddNumberItem(u"BitsPerComponent", 8);
    Attributes.PdfArrayByName(u"Filter")->AddItem(std::make_unique<TPdfName>(u"DCTDecode"));
    return Image;
}

} // namespace pdf
