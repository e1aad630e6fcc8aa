#include "pdf/PdfWrappers.h"

#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"

#include <array>

namespace pdf {
namespace {

constexpr std::array<const char16_t*, 4> kPageModeNames = {u"UseNone", u"UseOutlines", u"UseThumbs", u"FullScreen"};
constexpr std::array<const char16_t*, 4> kPageLayoutNames = {u"SinglePage", u"OneColumn", u"TwoColumnLeft", u"TwoColumnRight"};
constexpr std::array<const char16_t*, 5> kViewerPreferenceNames
    = {u"HideToolbar", u"HideMenubar", u"HideWindowUI", u"FitWindow", u"CenterWindow"};
constexpr std::array<const char16_t*, 8> kDestinationTypeNames
    = {u"XYZ", u"Fit", u"FitH", u"FitV", u"FitR", u"FitB", u"FitBH", u"FitBV"};

template <size_t N> int IndexOfName(const std::array<const char16_t*, N>& ANames, const TPdfName* AName)
{
    for (size_t I = 0; AName && I < N; ++I)
        if (AName->Value() == ANames[I])
            return static_cast<int>(I);
    return 0;
}

TPdfDictionary& DataOf(TPdfDictionary* AData)
{
    if (!AData)
        throw EPdfInvalidOperation("internal error. the wrapper has no dictionary.");
    return *AData;
}

} // namespace

// ---- TPdfInfo ----

std::u16string TPdfInfo::TextOf(std::u16string_view AKey) const
{
    const TPdfText* Text = FData ? FData->PdfTextByName(AKey) : nullptr;
    return Text ? Text->Value() : std::u16string();
}

void TPdfInfo::SetText(std::u16string AKey, const std::u16string& Value)
{
    DataOf(FData).AddItem(std::move(AKey), std::make_unique<TPdfText>(Value));
}

// ---- TPdfCatalog ----

TPdfDictionary& TPdfCatalog::Pages() const
{
    TPdfDictionary* Pages = FData ? FData->PdfDictionaryByName(u"Pages") : nullptr;
    if (!Pages)
        throw EPdfInvalidOperation("GetPages --page object is null..");
    return *Pages;
}

void TPdfCatalog::SetPages(TPdfDictionary& Value) { DataOf(FData).AddItem(u"Pages", Value); }

TPdfPageLayout TPdfCatalog::PageLayout() const
{
    return static_cast<TPdfPageLayout>(IndexOfName(kPageLayoutNames, DataOf(FData).PdfNameByName(u"PageLayout")));
}

void TPdfCatalog::SetPageLayout(TPdfPageLayout Value) { DataOf(FData).AddNameItem(u"PageLayout", kPageLayoutNames[Value]); }

TPdfPageMode TPdfCatalog::PageMode() const
{
    return static_cast<TPdfPageMode>(IndexOfName(kPageModeNames, DataOf(FData).PdfNameByName(u"PageMode")));
}

void TPdfCatalog::SetPageMode(TPdfPageMode Value) { DataOf(FData).AddNameItem(u"PageMode", kPageModeNames[Value]); }

TPdfDictionary& TPdfCatalog::ViewerPreferences()
{
    TPdfDictionary& Catalog = DataOf(FData);
    if (!Catalog.PdfDictionaryByName(u"ViewerPreferences"))
        Catalog.AddItem(u"ViewerPreferences", std::make_unique<TPdfDictionary>(Catalog.ObjectMgr()));
    return *Catalog.PdfDictionaryByName(u"ViewerPreferences");
}

TPdfPageMode TPdfCatalog::NonFullScreenPageMode() const
{
    const TPdfDictionary* Preferences = DataOf(FData).PdfDictionaryByName(u"ViewerPreferences");
    return static_cast<TPdfPageMode>(
        IndexOfName(kPageModeNames, Preferences ? Preferences->PdfNameByName(u"NonFullScreenPageMode") : nullptr));
}

void TPdfCatalog::SetNonFullScreenPageMode(TPdfPageMode Value)
{
    ViewerPreferences().AddNameItem(u"NonFullScreenPageMode", kPageModeNames[Value]);
}

TPdfViewerPreferences TPdfCatalog::ViewerPreference() const
{
    const TPdfDictionary* Preferences = DataOf(FData).PdfDictionaryByName(u"ViewerPreferences");
    TPdfViewerPreferences Result = 0;
    for (size_t I = 0; Preferences && I < kViewerPreferenceNames.size(); ++I) {
        const TPdfBoolean* Flag = Preferences->PdfBooleanByName(kViewerPreferenceNames[I]);
        if (Flag && Flag->Value())
            Result |= static_cast<TPdfViewerPreferences>(1u << I);
    }
    return Result;
}

void TPdfCatalog::SetViewerPreference(TPdfViewerPreferences Value)
{
    TPdfDictionary& Preferences = ViewerPreferences();
    for (size_t I = 0; I < kViewerPreferenceNames.size(); ++I) {
        if (Value & (1u << I))
            Preferences.AddItem(kViewerPreferenceNames[I], std::make_unique<TPdfBoolean>(true));
        else
            Preferences.RemoveItem(kViewerPreferenceNames[I]);
    }
}

void TPdfCatalog::SaveOpenAction()
{
    if (FOpenAction)
        DataOf(FData).AddItem(u"OpenAction", FOpenAction->GetValue());
    else
        DataOf(FData).RemoveItem(u"OpenAction");
}

// ---- TPdfDestination ----

TPdfDestination::TPdfDestination(TPdfDoc& APdfDoc, TPdfDictionary& APage) : FDoc(APdfDoc), FPage(APage) { }

void TPdfDestination::SetZoom(double Value)
{
    if (Value < 0)
        throw EPdfInvalidValue("Zoom property cannot set to under 0.");
    if (Value > 10)
        throw EPdfInvalidValue("Zoom property cannot set to over 10.");
    FZoom = Value;
}

std::unique_ptr<TPdfArray> TPdfDestination::GetValue() const
{
    auto Value = std::make_unique<TPdfArray>(FPage.ObjectMgr());
    Value->AddItem(FPage);
    Value->AddItem(std::make_unique<TPdfName>(kDestinationTypeNames[FType]));
    auto AddCoordinate = [&Value](int ACoordinate) {
        if (ACoordinate < -100)
            Value->AddItem(std::make_unique<TPdfNull>());
        else
            Value->AddItem(std::make_unique<TPdfNumber>(ACoordinate));
    };
    switch (FType) {
    case dtXYZ:
        AddCoordinate(Left());
        AddCoordinate(Top());
        Value->AddItem(std::make_unique<TPdfReal>(FZoom));
        break;
    case dtFitH:
    case dtFitBH:
        AddCoordinate(Top());
        break;
    case dtFitV:
    case dtFitBV:
        AddCoordinate(Left());
        break;
    case dtFitR:
        AddCoordinate(Left());
        AddCoordinate(Bottom());
        AddCoordinate(Right());
        AddCoordinate(Top());
        break;
    case dtFit:
    case dtFitB:
        break;
    }
    return Value;
}

// ---- outlines ----

TPdfOutlineEntry::TPdfOutlineEntry(TPdfDoc& APdfDoc, TPdfOutlineEntry* AParent) : FDoc(APdfDoc), FParent(AParent) { }

TPdfOutlineEntry& TPdfOutlineEntry::AddChild()
{
    TPdfOutlineEntry& Child = FDoc.CreateOutlineEntry(this);
    Child.FPrev = FLast;
    if (FLast)
        FLast->FNext = &Child;
    else
        FFirst = &Child;
    FLast = &Child;
    return Child;
}

int TPdfOutlineEntry::VisibleDescendants() const
{
    int Count = 0;
    for (const TPdfOutlineEntry* Child = FFirst; Child; Child = Child->FNext)
        Count += 1 + (Child->FOpened ? Child->VisibleDescendants() : 0);
    return Count;
}

void TPdfOutlineEntry::SaveLinks()
{
    TPdfDictionary& Data = DataOf(FData);
    const std::pair<const char16_t*, TPdfOutlineEntry*> Links[]
        = {{u"First", FFirst}, {u"Last", FLast}, {u"Prev", FPrev}, {u"Next", FNext}};
    for (const auto& [Key, Entry] : Links) {
        if (Entry)
            Data.AddItem(Key, DataOf(Entry->FData));
        else
            Data.RemoveItem(Key);
    }
    for (TPdfOutlineEntry* Child = FFirst; Child; Child = Child->FNext)
        Child->Save();
}

void TPdfOutlineEntry::Save()
{
    TPdfDictionary& Data = DataOf(FData);
    // A closed entry shows, negated, how many entries opening it would show.
    if (FFirst)
        Data.AddNumberItem(u"Count", FOpened ? VisibleDescendants() : -VisibleDescendants());
    else
        Data.RemoveItem(u"Count");
    Data.AddItem(u"Title", std::make_unique<TPdfText>(FTitle));
    if (FDest)
        Data.AddItem(u"Dest", FDest->GetValue());
    else
        Data.RemoveItem(u"Dest");
    SaveLinks();
    if (FParent)
        Data.AddItem(u"Parent", DataOf(FParent->FData));
}

void TPdfOutlineRoot::Save()
{
    DataOf(FData).AddNumberItem(u"Count", VisibleDescendants());
    SaveLinks();
}

} // namespace pdf
