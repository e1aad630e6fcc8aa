#include "pdf/PdfDoc.h"

#include "pdf/PdfErrors.h"
#include "pdf/PdfRegistry.h"
#include "pdf/PdfText.h"

#include <ctime>
#include <exception>

namespace pdf {
namespace {

constexpr char16_t kProducer[] = u"VelnaPdf version 0.9";

TPdfDateTime LocalNow()
{
    const std::time_t Now = std::time(nullptr);
    std::tm Parts {};
    localtime_r(&Now, &Parts);
    return TPdfDateTime {Parts.tm_year + 1900, Parts.tm_mon + 1, Parts.tm_mday, Parts.tm_hour, Parts.tm_min, Parts.tm_sec};
}

std::u16string DecimalText(size_t AValue)
{
    std::string Digits;
    AppendInteger(static_cast<long long>(AValue), Digits);
    return std::u16string(Digits.begin(), Digits.end());
}

} // namespace

TPdfDoc::TPdfDoc() : FCanvas(std::make_unique<TPdfCanvas>(*this)) { }

TPdfDoc::~TPdfDoc() { FreeDoc(); }

template <class TWrapper> TWrapper& TPdfDoc::AddWrapper(std::unique_ptr<TWrapper> AWrapper)
{
    TWrapper& Wrapper = *AWrapper;
    FObjectList.push_back(std::move(AWrapper));
    return Wrapper;
}

// ---- document lifecycle ----

void TPdfDoc::NewDoc()
{
    FreeDoc();
    FXref = std::make_unique<TPdfXref>();
    FHeader = std::make_unique<TPdfHeader>();
    FTrailer = std::make_unique<TPdfTrailer>(FXref.get());
    FXObjectList = std::make_unique<TPdfArray>(FXref.get());
    MakeCatalog();
    if (FUseOutlines)
        MakeOutlineRoot();
    MakeInfo();
    MakePages();
    FHasDoc = true;
}

void TPdfDoc::MakeCatalog()
{
    auto& Catalog = FXref->Register(std::make_unique<TPdfDictionary>(FXref.get()));
    Catalog.AddNameItem(u"Type", u"Catalog");
    FTrailer->Attributes().AddItem(u"Root", Catalog);
    FRoot = &AddWrapper(std::make_unique<TPdfCatalog>());
    FRoot->SetData(&Catalog);
}

void TPdfDoc::MakeOutlineRoot()
{
    auto& Outlines = FXref->Register(std::make_unique<TPdfDictionary>(FXref.get()));
    Outlines.AddNameItem(u"Type", u"Outlines");
    FOutlineRoot = &AddWrapper(std::make_unique<TPdfOutlineRoot>(*this));
    FOutlineRoot->SetData(&Outlines);
    FRoot->Data()->AddItem(u"Outlines", Outlines);
}

void TPdfDoc::MakeInfo()
{
    auto& Info = FXref->Register(std::make_unique<TPdfDictionary>(FXref.get()));
    Info.AddItem(u"Producer", std::make_unique<TPdfText>(kProducer));
    FTrailer->Attributes().AddItem(u"Info", Info);
    FInfo = &AddWrapper(std::make_unique<TPdfInfo>());
    FInfo->SetData(&Info);
    FInfo->SetCreationDate(FClock ? FClock() : LocalNow());
}

void TPdfDoc::MakePages()
{
    auto& Pages = FXref->Register(std::make_unique<TPdfDictionary>(FXref.get()));
    Pages.AddNameItem(u"Type", u"Pages");
    Pages.AddItem(u"Kids", std::make_unique<TPdfArray>(FXref.get()));
    Pages.AddNumberItem(u"Count", 0);
    FRoot->SetPages(Pages);
    FCurrentPages = &Pages;
}

void TPdfDoc::FreeDoc()
{
    // The canvas outlives the document: it must forget the page first.
    FCanvas->Reset();
    FXObjectList.reset();
    while (!FFontList.empty())
        FFontList.pop_back();
    while (!FObjectList.empty())
        FObjectList.pop_back();
    FXref.reset();
    FHeader.reset();
    FTrailer.reset();
    FRoot = nullptr;
    FInfo = nullptr;
    FOutlineRoot = nullptr;
    FCurrentPages = nullptr;
    FHasDoc = false;
}

void TPdfDoc::SetVirtualMode()
{
    NewDoc();
    AddPage();
    FCanvas->SetVirtual(true);
}

void TPdfDoc::AddPage()
{
    if (!FCurrentPages)
        throw EPdfInvalidOperation("AddPage --current pages null.");
    TPdfObjectMgr* Mgr = FXref.get();
    auto& Page = FXref->Register(std::make_unique<TPdfDictionary>(Mgr));
    AddPageToKids(*FCurrentPages, Page);
    Page.AddNameItem(u"Type", u"Page");
    Page.AddItem(u"Parent", *FCurrentPages);
    Page.AddItem(u"MediaBox", TPdfArray::CreateNumArray(Mgr, {0, 0, FDefaultPageWidth, FDefaultPageHeight}));
    auto Resources = std::make_unique<TPdfDictionary>(Mgr);
    Resources->AddItem(u"Font", std::make_unique<TPdfDictionary>(Mgr));
    Resources->AddItem(u"XObject", std::make_unique<TPdfDictionary>(Mgr));
    auto ProcSet = std::make_unique<TPdfArray>(Mgr);
    for (const char16_t* Name : {u"PDF", u"Text", u"ImageC"})
        ProcSet->AddItem(std::make_unique<TPdfName>(Name));
    Resources->AddItem(u"ProcSet", std::move(ProcSet));
    Page.AddItem(u"Resources", std::move(Resources));
    auto& Contents = FXref->Register(std::make_unique<TPdfStream>(Mgr));
    Page.AddItem(u"Contents", Contents);
    FCanvas->SetPage(&Page);
}

// ---- fonts ----

TPdfFont& TPdfDoc::GetFont(const std::u16string& FontName)
{
    if (!FHasDoc)
        throw EPdfInvalidOperation("GetFont --document is null.");
    for (const auto& Font : FFontList)
        if (Font->Name() == FontName)
            return *Font;
    return CreateFont(FontName);
}

TPdfFont& TPdfDoc::CreateFont(const std::u16string& FontName)
{
    if (!FHasDoc)
        throw EPdfInvalidOperation("CreateFont --document is null.");
    std::unique_ptr<TPdfFont> Font = CreateRegisteredFont(FontName, *FXref);
    if (!Font)
        throw std::runtime_error("CreateFont --InvalidFontName:" + Utf8Of(FontName));
    Font->Data()->AddNameItem(u"Name", u"F" + DecimalText(FFontList.size()));
    FFontList.push_back(std::move(Font));
    return *FFontList.back();
}

// ---- external objects ----

void TPdfDoc::AddXObject(const std::u16string& AName, std::unique_ptr<TPdfXObject> AXObject)
{
    if (!FHasDoc)
        throw EPdfInvalidOperation("AddXObject --document is null.");
    if (GetXObject(AName))
        throw std::runtime_error("AddImage --the image named " + Utf8Of(AName) + " is already exists..");
    if (!AXObject || TypeNameOf(AXObject->Attributes()) != u"XObject" || !AXObject->Attributes().PdfNameByName(u"Subtype")
        || AXObject->Attributes().PdfNameByName(u"Subtype")->Value() != u"Image")
        throw std::runtime_error("AddImage --the image is not valid TPdfImage..");
    RegisterXObject(std::unique_ptr<TPdfObject>(std::move(AXObject)), AName);
}

void TPdfDoc::RegisterXObject(std::unique_ptr<TPdfObject> AObject, const std::u16string& AName)
{
    if (!AObject)
        throw EPdfInvalidValue("RegisterXObject --AObject is null");
    const auto* XObject = dynamic_cast<TPdfXObject*>(AObject.get());
    if (!XObject)
        throw EPdfInvalidValue("RegisterXObject --not XObject");
    if (!FHasDoc)
        throw EPdfInvalidOperation("RegisterXObject --document is null.");
    // Refuse a taken name before the table takes the object.
    if (!XObject->Attributes().ValueByName(u"Name") && GetXObject(AName))
        throw EPdfInvalidValue("RegisterXObject --dupulicate name: " + Utf8Of(AName));
    RegisterXObject(&FXref->AddObject(std::move(AObject)), AName);
}

void TPdfDoc::RegisterXObject(TPdfObject* AObject, const std::u16string& AName)
{
    if (!AObject)
        throw EPdfInvalidValue("RegisterXObject --AObject is null");
    auto* XObject = dynamic_cast<TPdfXObject*>(AObject);
    if (!XObject)
        throw EPdfInvalidValue("RegisterXObject --not XObject");
    if (!FHasDoc || FXref->GetObject(AObject->ObjectNumber()) != AObject)
        throw EPdfInvalidValue("RegisterXObject --AObject is not in the document");
    TPdfDictionary& Attributes = XObject->Attributes();
    if (Attributes.ValueByName(u"Name"))
        return;
    if (GetXObject(AName))
        throw EPdfInvalidValue("RegisterXObject --dupulicate name: " + Utf8Of(AName));
    FXObjectList->AddItem(*XObject);
    Attributes.AddNameItem(u"Name", AName);
}

TPdfXObject* TPdfDoc::GetXObject(std::u16string_view AName) const
{
    if (!FXObjectList)
        return nullptr;
    for (int I = 0; I < FXObjectList->ItemCount(); ++I) {
        auto* XObject = dynamic_cast<TPdfXObject*>(FXObjectList->Items(I));
        const TPdfName* Name = XObject ? XObject->Attributes().PdfNameByName(u"Name") : nullptr;
        if (Name && Name->Value() == AName)
            return XObject;
    }
    return nullptr;
}

// ---- annotations, destinations, outlines ----

TPdfDictionary& TPdfDoc::CreateAnnotation(TPdfAnnotationSubType AType, const TPdfRect& ARect)
{
    if (!FHasDoc)
        throw EPdfInvalidOperation("AddAnotation --document is null.");
    TPdfDictionary* Page = FCanvas->Page();
    if (!Page)
        throw EPdfInvalidOperation("GetPage --the Page is nil");
    auto& Annotation = FXref->Register(std::make_unique<TPdfDictionary>(FXref.get()));
    Annotation.AddNameItem(u"Type", u"Annot");
    Annotation.AddNameItem(u"Subtype", AType == asLink ? u"Link" : u"Text");
    auto Rect = std::make_unique<TPdfArray>(FXref.get());
    for (float Value : {ARect.Left, ARect.Top, ARect.Right, ARect.Bottom})
        Rect->AddItem(std::make_unique<TPdfReal>(Value));
    Annotation.AddItem(u"Rect", std::move(Rect));
    if (!Page->PdfArrayByName(u"Annots"))
        Page->AddItem(u"Annots", std::make_unique<TPdfArray>(FXref.get()));
    Page->PdfArrayByName(u"Annots")->AddItem(Annotation);
    return Annotation;
}

TPdfDestination& TPdfDoc::CreateDestination()
{
    if (!FHasDoc || !FCanvas->Page())
        throw EPdfInvalidOperation("TPdfDestination --cannot destination object.");
    return AddWrapper(std::make_unique<TPdfDestination>(*this, *FCanvas->Page()));
}

TPdfOutlineEntry& TPdfDoc::CreateOutlineEntry(TPdfOutlineEntry* AParent)
{
    if (!AParent)
        throw EPdfInvalidOperation("CreateEntry --invalid parent.");
    if (!FHasDoc)
        throw EPdfInvalidOperation("CreateEntry --document is null.");
    auto& Entry = AddWrapper(std::make_unique<TPdfOutlineEntry>(*this, AParent));
    Entry.SetData(&FXref->Register(std::make_unique<TPdfDictionary>(FXref.get())));
    return Entry;
}

// ---- saving ----

void TPdfDoc::SaveToStream(std::ostream& AStream)
{
    if (!FHasDoc)
        throw EPdfInvalidOperation("SaveToStream --there is no document to save.");
    if (!FCanvas->Page())
        throw EPdfInvalidOperation("GetPage --the Page is nil");
    FInfo->SetModDate(FClock ? FClock() : LocalNow());
    FRoot->SaveOpenAction();
    if (FUseOutlines && FOutlineRoot)
        FOutlineRoot->Save();

    std::string File;
    std::exception_ptr Failure;
    try {
        File = BuildFile();
    } catch (...) {
        Failure = std::current_exception();
    }
    // Offsets count from the stream's start. Whatever was built before a
    // failure still reaches the stream.
    if (AStream.tellp() > 0)
        AStream.seekp(0);
    AStream.write(File.data(), static_cast<std::streamsize>(File.size()));
    AStream.flush();
    if (Failure)
        std::rethrow_exception(Failure);
    if (!AStream)
        throw std::runtime_error("SaveToStream --the document could not be written.");
}

std::string TPdfDoc::BuildFile()
{
    size_t Estimate = 4096;
    for (int I = 1; I < FXref->ItemCount(); ++I)
        if (const auto* Stream = dynamic_cast<const TPdfStream*>(FXref->GetObject(I)))
            Estimate += Stream->Stream().size() + 128;
    std::string File;
    File.reserve(Estimate);
    FHeader->WriteHeader(File);
    for (int I = 1; I < FXref->ItemCount(); ++I) {
        TPdfXrefEntry& Entry = FXref->GetItem(I);
        Entry.SetByteOffset(static_cast<int32_t>(File.size()));
        Entry.Value()->WriteValueToStream(File);
    }
    FTrailer->SetXrefAddress(static_cast<int32_t>(File.size()));
    FXref->WriteXref(File);
    FTrailer->Attributes().PdfNumberByName(u"Size")->SetValue(FXref->ItemCount());
    FTrailer->WriteTrailer(File);
    return File;
}

// ---- accessors ----

TPdfCanvas* TPdfDoc::Canvas() const
{
    if (!FHasDoc)
        throw EPdfInvalidOperation("GetCanvas --Document is null");
    return FCanvas.get();
}

TPdfInfo* TPdfDoc::Info() const
{
    if (!FHasDoc)
        throw EPdfInvalidOperation("GetInfo --this method can not use this state..");
    return FInfo;
}

TPdfCatalog* TPdfDoc::Root() const
{
    if (!FHasDoc)
        throw EPdfInvalidOperation("GetRoot --this method can not use this state..");
    return FRoot;
}

TPdfOutlineRoot* TPdfDoc::OutlineRoot() const
{
    if (!FHasDoc)
        throw EPdfInvalidOperation("GetOutlineRoot --document is null..");
    if (!FUseOutlines || !FOutlineRoot)
        throw EPdfInvalidOperation("GetOutlineRoot --not use outline mode..");
    return FOutlineRoot;
}

TPdfXref& TPdfDoc::Xref() const
{
    if (!FXref)
        throw EPdfInvalidOperation("GetXref --document is null.");
    return *FXref;
}

// ---- page tree helpers ----

void AddPageToKids(TPdfDictionary& APages, const TPdfDictionary& APage)
{
    TPdfArray* Kids = APages.PdfArrayByName(u"Kids");
    if (!Kids) {
        APages.AddItem(u"Kids", std::make_unique<TPdfArray>(APages.ObjectMgr()));
        Kids = APages.PdfArrayByName(u"Kids");
    }
    Kids->AddItem(APage);
    if (TPdfNumber* Count = APages.PdfNumberByName(u"Count"))
        Count->SetValue(Kids->ItemCount());
    else
        APages.AddNumberItem(u"Count", Kids->ItemCount());
}

TPdfDictionary& PageResource(TPdfDictionary& APage, const std::u16string& AName)
{
    TPdfDictionary* Resources = APage.PdfDictionaryByName(u"Resources");
    if (!Resources) {
        APage.AddItem(u"Resources", std::make_unique<TPdfDictionary>(APage.ObjectMgr()));
        Resources = APage.PdfDictionaryByName(u"Resources");
    }
    TPdfDictionary* Resource = Resources->PdfDictionaryByName(AName);
    if (!Resource) {
        Resources->AddItem(AName, std::make_unique<TPdfDictionary>(APage.ObjectMgr()));
        Resource = Resources->PdfDictionaryByName(AName);
    }
    return *Resource;
}

} // namespace pdf
