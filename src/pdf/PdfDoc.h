#pragma once
// The PDF writer's entry point. A TPdfDoc holds one document at a time
// (catalog, information, page tree, pages, fonts, images), numbers its
// objects and writes the whole file in one pass, uncompressed, as PDF 1.2.
//
//     TPdfDoc Doc;
//     Doc.NewDoc();
//     Doc.AddPage();                                     // 596 x 842 points
//     Doc.AddXObject(u"logo_sante", BuildPdfImage(Picture, u"Pdf-Jpeg"));
//     TPdfCanvas& C = *Doc.Canvas();                     // see PdfCanvas.h
//     C.SetFont(u"Arial-Bold", 20);
//     C.TextOut(20, 657, u"Attestation de droits Régime Obligatoire");
//     C.DrawXObject(15, 777, 150, 50, u"logo_sante");
//     std::ofstream File(Path, std::ios::binary);
//     Doc.SaveToStream(File);
//     Doc.FreeDoc();                                     // or let Doc go
//
// Every failure is an exception (PdfErrors.h); the document keeps what was
// added before it.

#include "pdf/PdfCanvas.h"
#include "pdf/PdfFonts.h"
#include "pdf/PdfImages.h"
#include "pdf/PdfTypes.h"
#include "pdf/PdfWrappers.h"
#include "pdf/PdfXref.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace pdf {

enum TPdfCompressionMethod { cmNone };
enum TPdfAnnotationSubType { asTextNotes, asLink };

class TPdfDoc {
public:
    using TClock = std::function<TPdfDateTime()>;

    TPdfDoc();
    ~TPdfDoc();
    TPdfDoc(const TPdfDoc&) = delete;
    TPdfDoc& operator=(const TPdfDoc&) = delete;

    // Starts a new document, releasing any previous one.
    void NewDoc();
    // Appends a page and makes it the canvas's current page.
    void AddPage();
    // Releases the document; the TPdfDoc can make another one.
    void FreeDoc();
    // A new document with one page on which the canvas only measures.
    void SetVirtualMode();

    // The document's font of that registered name, made on first use.
    TPdfFont& GetFont(const std::u16string& FontName);
    TPdfFont& CreateFont(const std::u16string& FontName);

    // Takes the image into the document under AName.
    void AddXObject(const std::u16string& AName, std::unique_ptr<TPdfXObject> AXObject);
    // Registers an external object under AName: one not yet in the
    // document's table, or (pointer form) one already in it.
    void RegisterXObject(std::unique_ptr<TPdfObject> AObject, const std::u16string& AName);
    void RegisterXObject(TPdfObject* AObject, const std::u16string& AName);
    TPdfXObject* GetXObject(std::u16string_view AName) const;

    TPdfDictionary& CreateAnnotation(TPdfAnnotationSubType AType, const TPdfRect& ARect);
    TPdfDestination& CreateDestination();
    // A new outline entry under AParent (used by TPdfOutlineEntry::AddChild).
    TPdfOutlineEntry& CreateOutlineEntry(TPdfOutlineEntry* AParent);

    // Writes the file from the stream's start. Fails when there is no
    // document or page, or when the stream refuses the bytes.
    void SaveToStream(std::ostream& AStream);

    bool HasDoc() const { return FHasDoc; }
    TPdfCanvas* Canvas() const;
    TPdfInfo* Info() const;
    TPdfCatalog* Root() const;
    TPdfOutlineRoot* OutlineRoot() const;
    TPdfXref& Xref() const;
    uint16_t DefaultPageWidth() const { return FDefaultPageWidth; }
    void SetDefaultPageWidth(uint16_t Value) { FDefaultPageWidth = Value; }
    uint16_t DefaultPageHeight() const { return FDefaultPageHeight; }
    void SetDefaultPageHeight(uint16_t Value) { FDefaultPageHeight = Value; }
    TPdfCompressionMethod CompressionMethod() const { return FCompressionMethod; }
    void SetCompressionMethod(TPdfCompressionMethod Value) { FCompressionMethod = Value; }
    bool UseOutlines() const { return FUseOutlines; }
    void SetUseOutlines(bool Value) { FUseOutlines = Value; }

    // The clock of "CreationDate" and "ModDate": local time unless set.
    void SetClock(TClock AClock) { FClock = std::move(AClock); }

private:
    void MakeCatalog();
    void MakeOutlineRoot();
    void MakeInfo();
    void MakePages();
    template <class TWrapper> TWrapper& AddWrapper(std::unique_ptr<TWrapper> AWrapper);
    std::string BuildFile();

    TPdfCatalog* FRoot = nullptr;
    TPdfDictionary* FCurrentPages = nullptr;
    std::unique_ptr<TPdfCanvas> FCanvas;
    std::unique_ptr<TPdfHeader> FHeader;
    std::unique_ptr<TPdfTrailer> FTrailer;
    std::unique_ptr<TPdfXref> FXref;
    TPdfInfo* FInfo = nullptr;
    bool FHasDoc = false;
    std::vector<std::unique_ptr<TPdfFont>> FFontList;
    std::vector<std::unique_ptr<TPersistent>> FObjectList;
    TPdfOutlineRoot* FOutlineRoot = nullptr;
    std::unique_ptr<TPdfArray> FXObjectList;
    uint16_t FDefaultPageWidth = 596;
    uint16_t FDefaultPageHeight = 842;
    TPdfCompressionMethod FCompressionMethod = cmNone;
    bool FUseOutlines = false;
    TClock FClock;
};

// Appends APage to the "Kids" of APages and updates its "Count".
void AddPageToKids(TPdfDictionary& APages, const TPdfDictionary& APage);
// The page's resource dictionary AName ("Font", "XObject"), made when missing.
TPdfDictionary& PageResource(TPdfDictionary& APage, const std::u16string& AName);

} // namespace pdf
