#pragma once
// The picture holder through which the certificate loads its logo: a
// picture whose kind (JPEG, ...) is chosen by the file's extension, and the
// image item that owns it.
//
//     TPicture::RegisterFileFormat<TJpegPicture>(u"mvi", u"Fichier image JPEG");
//     TPRJpegImage Holder;
//     Holder.Picture().LoadFromFile(ExeFolder / "velna.mvi");
//     auto Image = BuildPdfImage(Holder.Picture(), u"Pdf-Jpeg");

#include "pdf/PdfImages.h"

#include <filesystem>
#include <memory>
#include <string>

namespace pdf {

class TPicture {
public:
    using TGraphicLoader = std::unique_ptr<TGraphic> (*)(std::string ABytes);

    // Declares files with AExtension (without the dot, any case) as
    // pictures of class TKind, which must offer LoadFromBytes.
    template <class TKind> static void RegisterFileFormat(const std::u16string& AExtension, const std::u16string& ADescription)
    {
        RegisterLoader(AExtension, ADescription, &LoadAs<TKind>);
    }
    template <class TKind> static std::unique_ptr<TGraphic> LoadAs(std::string ABytes)
    {
        auto Graphic = std::make_unique<TKind>();
        Graphic->LoadFromBytes(std::move(ABytes));
        return Graphic;
    }
    // The description registered for AExtension, empty when none is.
    static std::u16string FileFormatDescription(const std::u16string& AExtension);

    // Reads the whole file as the picture kind of its extension. An unknown
    // extension or an unreadable picture fails and keeps the old picture.
    void LoadFromFile(const std::filesystem::path& AFileName);

    const TGraphic* Graphic() const { return FGraphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> AGraphic) { FGraphic = std::move(AGraphic); }
    int Width() const { return FGraphic ? FGraphic->Width() : 0; }
    int Height() const { return FGraphic ? FGraphic->Height() : 0; }

private:
    static void RegisterLoader(const std::u16string& AExtension, const std::u16string& ADescription, TGraphicLoader ALoader);

    std::unique_ptr<TGraphic> FGraphic;
};

class TPRItem {
public:
    virtual ~TPRItem() = default;
    bool Printable() const { return FPrintable; }
    void SetPrintable(bool Value) { FPrintable = Value; }

private:
    bool FPrintable = true;
};

class TPRImage : public TPRItem {
public:
    TPRImage() : FPicture(std::make_unique<TPicture>()) { }
    TPicture& Picture() const { return *FPicture; }
    bool SharedImage() const { return FSharedImage; }
    void SetSharedImage(bool Value) { FSharedImage = Value; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value) { FStretch = Value; }

private:
    std::unique_ptr<TPicture> FPicture;
    bool FSharedImage = true;
    bool FStretch = true;
};

// The holder of a JPEG picture.
class TPRJpegImage final : public TPRImage { };

} // namespace pdf
