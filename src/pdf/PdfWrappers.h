#pragma once
// Typed views over the dictionaries of a document: the information
// dictionary, the catalog, destinations and the outline tree. The
// dictionaries themselves belong to the document's cross-reference table;
// the wrappers belong to the document (TPdfDoc) and only point at them.

#include "pdf/PdfText.h"
#include "pdf/PdfTypes.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pdf {

class TPdfDoc;

// Base of everything the document or the registry keeps by pointer to base.
class TPersistent {
public:
    TPersistent() = default;
    virtual ~TPersistent() = default;
    TPersistent(const TPersistent&) = delete;
    TPersistent& operator=(const TPersistent&) = delete;
};

class TPdfDictionaryWrapper : public TPersistent {
public:
    TPdfDictionary* Data() const { return FData; }
    bool HasData() const { return FData != nullptr; }
    virtual void SetData(TPdfDictionary* Value) { FData = Value; }

protected:
    TPdfDictionary* FData = nullptr;
};

class TPdfInfo final : public TPdfDictionaryWrapper {
public:
    std::u16string Author() const { return TextOf(u"Author"); }
    void SetAuthor(const std::u16string& Value) { SetText(u"Author", Value); }
    std::u16string Creator() const { return TextOf(u"Creator"); }
    void SetCreator(const std::u16string& Value) { SetText(u"Creator", Value); }
    std::u16string Keywords() const { return TextOf(u"Keywords"); }
    void SetKeywords(const std::u16string& Value) { SetText(u"Keywords", Value); }
    std::u16string Subject() const { return TextOf(u"Subject"); }
    void SetSubject(const std::u16string& Value) { SetText(u"Subject", Value); }
    std::u16string Title() const { return TextOf(u"Title"); }
    void SetTitle(const std::u16string& Value) { SetText(u"Title", Value); }
    TPdfDateTime CreationDate() const { return DateOfPdf(TextOf(u"CreationDate")); }
    void SetCreationDate(const TPdfDateTime& Value) { SetText(u"CreationDate", PdfDateOf(Value)); }
    TPdfDateTime ModDate() const { return DateOfPdf(TextOf(u"ModDate")); }
    void SetModDate(const TPdfDateTime& Value) { SetText(u"ModDate", PdfDateOf(Value)); }

private:
    std::u16string TextOf(std::u16string_view AKey) const;
    void SetText(std::u16string AKey, const std::u16string& Value);
};

enum TPdfPageMode { pmUseNone, pmUseOutlines, pmUseThumbs, pmFullScreen };
enum TPdfPageLayout { plSinglePage, plOneColumn, plTwoColumnLeft, plTwoColumnRight };
enum TPdfViewerPreference { vpHideToolbar, vpHideMenubar, vpHideWindowUI, vpFitWindow, vpCenterWindow };
// A set of TPdfViewerPreference: bit (1 << member).
using TPdfViewerPreferences = uint8_t;
enum TPdfDestinationType { dtXYZ, dtFit, dtFitH, dtFitV, dtFitR, dtFitB, dtFitBH, dtFitBV };

// A view of a page: the page, how to fit it, and the values the fit needs.
class TPdfDestination final : public TPersistent {
public:
    // Made for APage by TPdfDoc::CreateDestination.
    TPdfDestination(TPdfDoc& APdfDoc, TPdfDictionary& APage);

    TPdfDestinationType DestinationType() const { return FType; }
    void SetDestinationType(TPdfDestinationType Value) { FType = Value; }
    // Values below -100 are written as null ("keep the viewer's").
    int Left() const { return FValues[0]; }
    void SetLeft(int Value) { FValues[0] = Value; }
    int Top() const { return FValues[1]; }
    void SetTop(int Value) { FValues[1] = Value; }
    int Right() const { return FValues[2]; }
    void SetRight(int Value) { FValues[2] = Value; }
    int Bottom() const { return FValues[3]; }
    void SetBottom(int Value) { FValues[3] = Value; }
    double Zoom() const { return FZoom; }
    void SetZoom(double Value);
    TPdfDictionary& Page() const { return FPage; }
    TPdfDoc& PdfDoc() const { return FDoc; }

    // The array written where the destination is used.
    std::unique_ptr<TPdfArray> GetValue() const;

private:
    TPdfDoc& FDoc;
    TPdfDictionary& FPage;
    TPdfDestinationType FType = dtXYZ;
    int FValues[4] = {-101, -101, -101, -101};
    double FZoom = 1;
};

class TPdfCatalog final : public TPdfDictionaryWrapper {
public:
    TPdfDictionary& Pages() const;
    void SetPages(TPdfDictionary& Value);
    TPdfPageLayout PageLayout() const;
    void SetPageLayout(TPdfPageLayout Value);
    TPdfPageMode PageMode() const;
    void SetPageMode(TPdfPageMode Value);
    TPdfPageMode NonFullScreenPageMode() const;
    void SetNonFullScreenPageMode(TPdfPageMode Value);
    TPdfViewerPreferences ViewerPreference() const;
    void SetViewerPreference(TPdfViewerPreferences Value);
    TPdfDestination* OpenAction() const { return FOpenAction; }
    void SetOpenAction(TPdfDestination* Value) { FOpenAction = Value; }

    // Writes "OpenAction" from the destination, or removes it; called on save.
    void SaveOpenAction();

private:
    TPdfDictionary& ViewerPreferences();

    TPdfDestination* FOpenAction = nullptr;
};

class TPdfOutlineEntry : public TPdfDictionaryWrapper {
public:
    TPdfOutlineEntry(TPdfDoc& APdfDoc, TPdfOutlineEntry* AParent);

    // A new last child of this entry.
    TPdfOutlineEntry& AddChild();

    const std::u16string& Title() const { return FTitle; }
    void SetTitle(std::u16string Value) { FTitle = std::move(Value); }
    TPdfDestination* Dest() const { return FDest; }
    void SetDest(TPdfDestination* Value) { FDest = Value; }
    bool Opened() const { return FOpened; }
    void SetOpened(bool Value) { FOpened = Value; }
    TPdfOutlineEntry* Parent() const { return FParent; }
    TPdfOutlineEntry* First() const { return FFirst; }
    TPdfOutlineEntry* Last() const { return FLast; }
    TPdfOutlineEntry* Next() const { return FNext; }
    TPdfOutlineEntry* Prev() const { return FPrev; }

    // Writes the links, titles and counts of this entry and its descendants.
    virtual void Save();

protected:
    // Entries that show under this one when it is open.
    int VisibleDescendants() const;
    void SaveLinks();

private:
    TPdfDoc& FDoc;
    TPdfOutlineEntry* FParent;
    TPdfOutlineEntry* FFirst = nullptr;
    TPdfOutlineEntry* FLast = nullptr;
    TPdfOutlineEntry* FNext = nullptr;
    TPdfOutlineEntry* FPrev = nullptr;
    TPdfDestination* FDest = nullptr;
    std::u16string FTitle;
    bool FOpened = false;
};

class TPdfOutlineRoot final : public TPdfOutlineEntry {
public:
    explicit TPdfOutlineRoot(TPdfDoc& APdfDoc) : TPdfOutlineEntry(APdfDoc, nullptr) { }
    void Save() override;
};

} // namespace pdf
