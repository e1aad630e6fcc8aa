#include "pdf/PdfTypes.h"

#include "pdf/PdfErrors.h"
#include "pdf/PdfText.h"

namespace pdf {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kCrLf[] = "\r\n";

bool NameCharNeedsEscape(char16_t C)
{
    if (C < 0x21 || C > 0x7E)
        return true;
    switch (C) {
    case u'#':
    case u'%':
    case u'(':
    case u')':
    case u'/':
    case u'<':
    case u'>':
    case u'[':
    case u']':
    case u'{':
    case u'}':
        return true;
    default:
        return false;
    }
}

void WriteReference(int ObjectNumber, int GenerationNumber, std::string& AStream)
{
    AppendInteger(ObjectNumber, AStream);
    AStream += ' ';
    AppendInteger(GenerationNumber, AStream);
    AStream += " R";
}

} // namespace

TPdfRect PdfRect(float ALeft, float ATop, float ARight, float ABottom) { return TPdfRect {ALeft, ATop, ARight, ABottom}; }

// ---- TPdfObject ----

void TPdfObject::SetObjectNumber(int Value)
{
    FObjectNumber = Value;
    FObjectType = Value > 0 ? otIndirectObject : otDirectObject;
}

void TPdfObject::MakeVirtual(int AObjectId)
{
    FObjectNumber = AObjectId;
    FObjectType = otVirtualObject;
}

void TPdfObject::WriteToStream(std::string& AStream) const
{
    if (FObjectType == otDirectObject)
        WriteBodyToStream(AStream);
    else
        WriteReference(FObjectNumber, FGenerationNumber, AStream);
}

void TPdfObject::WriteValueToStream(std::string& AStream) const
{
    if (FObjectType != otIndirectObject)
        throw EPdfInvalidOperation("internal error wrong object type");
    AppendInteger(FObjectNumber, AStream);
    AStream += ' ';
    AppendInteger(FGenerationNumber, AStream);
    AStream += " obj\r\n";
    WriteBodyToStream(AStream);
    AStream += "\r\nendobj\r\n";
}

void TPdfObject::WriteBodyToStream(std::string&) const { }

// ---- TPdfVirtualObject ----

TPdfVirtualObject::TPdfVirtualObject() { throw std::runtime_error("virtualObject must be create by CreateVirtual method."); }

TPdfVirtualObject::TPdfVirtualObject(int AObjectId) { MakeVirtual(AObjectId); }

std::unique_ptr<TPdfVirtualObject> TPdfVirtualObject::CreateVirtual(int AObjectId)
{
    return std::make_unique<TPdfVirtualObject>(AObjectId);
}

// ---- scalar values ----

void TPdfNull::WriteBodyToStream(std::string& AStream) const { AStream += "null"; }

void TPdfBoolean::WriteBodyToStream(std::string& AStream) const { AStream += FValue ? "true" : "false"; }

void TPdfNumber::WriteBodyToStream(std::string& AStream) const { AppendInteger(FValue, AStream); }

void TPdfReal::WriteBodyToStream(std::string& AStream) const { AStream += FormatGeneral(FValue); }

void TPdfString::WriteBodyToStream(std::string& AStream) const
{
    // Outside the Basic Multilingual Plane the text is written as the hex of
    // its bytes: one byte per character, so readers split it as written.
    if (NeedsHexForm(FValue)) {
        AStream += '<';
        AStream += HexOfAnsiBytes(FValue);
        AStream += '>';
        return;
    }
    AStream += '(';
    WriteEscapedText(FValue, AStream);
    AStream += ')';
}

void TPdfText::WriteBodyToStream(std::string& AStream) const
{
    if (NeedsHexForm(FValue)) {
        AStream += '<';
        AStream += UnicodeTextHeader();
        AStream += UnicodeTextHex(FValue);
        AStream += '>';
        return;
    }
    AStream += '(';
    WriteEscapedText(FValue, AStream);
    AStream += ')';
}

void WriteName(std::u16string_view AName, std::string& AStream)
{
    // "#00" is no escape: no byte of a name may be NUL, and readers refuse
    // the file.
    if (AName.find(u'\0') != std::u16string_view::npos)
        throw EPdfInvalidValue("a name cannot hold a NUL character");
    auto AppendEscapedByte = [&AStream](unsigned char AByte) {
        AStream += '#';
        AStream += kHexDigits[AByte >> 4];
        AStream += kHexDigits[AByte & 0xF];
    };
    AStream += '/';
    for (size_t I = 0; I < AName.size(); ++I) {
        const char16_t C = AName[I];
        if (!NameCharNeedsEscape(C)) {
            AStream += static_cast<char>(C);
        } else if (C <= 0xFF) {
            AppendEscapedByte(static_cast<unsigned char>(C));
        } else {
            // A name is bytes: "#" takes two hex digits, so a wider character
            // goes out as its UTF-8 bytes (a surrogate pair as one character).
            const bool Pair
                = C >= 0xD800 && C <= 0xDBFF && I + 1 < AName.size() && AName[I + 1] >= 0xDC00 && AName[I + 1] <= 0xDFFF;
            const size_t Length = Pair ? 2 : 1;
            for (unsigned char Byte : Utf8Of(std::u16string(AName.substr(I, Length))))
                AppendEscapedByte(Byte);
            I += Length - 1;
        }
    }
}

void TPdfName::WriteBodyToStream(std::string& AStream) const { WriteName(FValue, AStream); }

// ---- TPdfArray ----

std::unique_ptr<TPdfArray> TPdfArray::CreateNumArray(TPdfObjectMgr* AObjectMgr, std::initializer_list<int32_t> AArray)
{
    return CreateNumArray(AObjectMgr, AArray.begin(), AArray.size());
}

std::unique_ptr<TPdfArray> TPdfArray::CreateNumArray(TPdfObjectMgr* AObjectMgr, const int32_t* AArray, size_t ACount)
{
    auto Array = std::make_unique<TPdfArray>(AObjectMgr);
    Array->FArray.reserve(ACount);
    for (size_t I = 0; I < ACount; ++I)
        Array->FArray.push_back(std::make_unique<TPdfNumber>(AArray[I]));
    return Array;
}

void TPdfArray::AddItem(std::unique_ptr<TPdfObject> AItem)
{
    if (!AItem)
        throw EPdfInvalidValue("internal error. wrong object.");
    if (AItem->IsDirect())
        FArray.push_back(std::move(AItem));
    else
        FArray.push_back(TPdfVirtualObject::CreateVirtual(AItem->ObjectNumber()));
}

void TPdfArray::AddItem(const TPdfObject& AItem)
{
    if (!AItem.IsDirect()) {
        FArray.push_back(TPdfVirtualObject::CreateVirtual(AItem.ObjectNumber()));
        return;
    }
    for (const auto& Item : FArray)
        if (Item.get() == &AItem)
            return;
    throw EPdfInvalidValue("internal error. wrong object.");
}

TPdfName* TPdfArray::FindName(std::u16string_view AName) const
{
    for (const auto& Item : FArray) {
        auto* Name = dynamic_cast<TPdfName*>(Item.get());
        if (Name && Name->Value() == AName)
            return Name;
    }
    return nullptr;
}

bool TPdfArray::RemoveName(std::u16string_view AName)
{
    const TPdfName* Name = FindName(AName);
    if (!Name)
        return false;
    for (auto It = FArray.begin(); It != FArray.end(); ++It)
        if (It->get() == Name) {
            FArray.erase(It);
            break;
        }
    return true;
}

namespace {
TPdfObject* Resolve(TPdfObject* AObject, TPdfObjectMgr* AObjectMgr)
{
    if (AObject == nullptr || AObject->ObjectType() != otVirtualObject)
        return AObject;
    return AObjectMgr ? AObjectMgr->GetObject(AObject->ObjectNumber()) : nullptr;
}
} // namespace

TPdfObject* TPdfArray::Items(int Index) const
{
    if (Index < 0 || Index >= ItemCount())
        return nullptr;
    return Resolve(FArray[static_cast<size_t>(Index)].get(), FObjectMgr);
}

void TPdfArray::WriteBodyToStream(std::string& AStream) const
{
    AStream += '[';
    for (const auto& Item : FArray) {
        Item->WriteToStream(AStream);
        AStream += ' ';
    }
    AStream += ']';
}

// ---- TPdfDictionary ----

TPdfDictionaryElement::TPdfDictionaryElement(std::u16string AKey, std::unique_ptr<TPdfObject> AValue, bool AIsInternal)
    : FKey(std::move(AKey)), FValue(std::move(AValue)), FIsInternal(AIsInternal)
{
    if (!FValue)
        throw EPdfInvalidValue("internal error. wrong object.");
}

TPdfDictionaryElement TPdfDictionaryElement::CreateAsInternal(std::u16string AKey, std::unique_ptr<TPdfObject> AValue)
{
    return TPdfDictionaryElement(std::move(AKey), std::move(AValue), true);
}

TPdfObject* TPdfDictionary::ValueByName(std::u16string_view AKey) const
{
    for (const auto& Element : FArray)
        if (Element.Key() == AKey)
            return Resolve(Element.Value(), FObjectMgr);
    return nullptr;
}

TPdfBoolean* TPdfDictionary::PdfBooleanByName(std::u16string_view AKey) const { return ValueAs<TPdfBoolean>(AKey); }
TPdfNumber* TPdfDictionary::PdfNumberByName(std::u16string_view AKey) const { return ValueAs<TPdfNumber>(AKey); }
TPdfText* TPdfDictionary::PdfTextByName(std::u16string_view AKey) const { return ValueAs<TPdfText>(AKey); }
TPdfReal* TPdfDictionary::PdfRealByName(std::u16string_view AKey) const { return ValueAs<TPdfReal>(AKey); }
TPdfString* TPdfDictionary::PdfStringByName(std::u16string_view AKey) const { return ValueAs<TPdfString>(AKey); }
TPdfName* TPdfDictionary::PdfNameByName(std::u16string_view AKey) const { return ValueAs<TPdfName>(AKey); }
TPdfDictionary* TPdfDictionary::PdfDictionaryByName(std::u16string_view AKey) const { return ValueAs<TPdfDictionary>(AKey); }
TPdfArray* TPdfDictionary::PdfArrayByName(std::u16string_view AKey) const { return ValueAs<TPdfArray>(AKey); }

void TPdfDictionary::AppendElement(std::u16string AKey, std::unique_ptr<TPdfObject> AValue, bool AIsInternal)
{
    if (!AValue)
        throw EPdfInvalidValue("internal error. wrong object.");
    if (!AValue->IsDirect())
        AValue = TPdfVirtualObject::CreateVirtual(AValue->ObjectNumber());
    RemoveItem(AKey);
    FArray.emplace_back(std::move(AKey), std::move(AValue), AIsInternal);
}

void TPdfDictionary::AddItem(std::u16string AKey, std::unique_ptr<TPdfObject> AValue)
{
    AppendElement(std::move(AKey), std::move(AValue), false);
}

void TPdfDictionary::AddItem(std::u16string AKey, const TPdfObject& AValue)
{
    if (AValue.IsDirect())
        throw EPdfInvalidValue("internal error. wrong object.");
    AppendElement(std::move(AKey), TPdfVirtualObject::CreateVirtual(AValue.ObjectNumber()), false);
}

void TPdfDictionary::AddNumberItem(std::u16string AKey, int32_t AValue)
{
    AppendElement(std::move(AKey), std::make_unique<TPdfNumber>(AValue), false);
}

void TPdfDictionary::AddNameItem(std::u16string AKey, std::u16string AValue)
{
    AppendElement(std::move(AKey), std::make_unique<TPdfName>(std::move(AValue)), false);
}

void TPdfDictionary::AddInternalItem(std::u16string AKey, std::unique_ptr<TPdfObject> AValue)
{
    AppendElement(std::move(AKey), std::move(AValue), true);
}

void TPdfDictionary::RemoveItem(std::u16string_view AKey)
{
    for (auto It = FArray.begin(); It != FArray.end(); ++It)
        if (It->Key() == AKey) {
            FArray.erase(It);
            return;
        }
}

void TPdfDictionary::WriteBodyToStream(std::string& AStream) const
{
    AStream += "<<";
    AStream += kCrLf;
    for (const auto& Element : FArray) {
        if (Element.IsInternal())
            continue;
        WriteName(Element.Key(), AStream);
        AStream += ' ';
        Element.Value()->WriteToStream(AStream);
        AStream += kCrLf;
    }
    AStream += ">>";
}

std::u16string TypeNameOf(const TPdfDictionary& ADictionary)
{
    const TPdfName* Type = ADictionary.PdfNameByName(u"Type");
    return Type ? Type->Value() : std::u16string();
}

// ---- TPdfStream ----

TPdfStream::TPdfStream(TPdfObjectMgr* AObjectMgr) : FAttributes(std::make_unique<TPdfDictionary>(AObjectMgr))
{
    FAttributes->AddNumberItem(u"Length", 0);
    FAttributes->AddItem(u"Filter", std::make_unique<TPdfArray>(AObjectMgr));
}

void TPdfStream::WriteBodyToStream(std::string& AStream) const
{
    // The data goes out as collected, so a compression filter would lie.
    if (TPdfArray* Filter = FAttributes->PdfArrayByName(u"Filter"))
        Filter->RemoveName(u"FlateDecode");
    const auto Size = static_cast<int32_t>(FStream.size());
    if (TPdfNumber* Length = FAttributes->PdfNumberByName(u"Length"))
        Length->SetValue(Size);
    else
        FAttributes->AddNumberItem(u"Length", Size);
    FAttributes->WriteToStream(AStream);
    AStream += "\r\nstream\r\n";
    AStream += FStream;
    AStream += "\nendstream";
}

// ---- TPdfBinary ----

void TPdfBinary::WriteBodyToStream(std::string& AStream) const { AStream += FStream; }

} // namespace pdf
