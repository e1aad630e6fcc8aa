#include "pdf/PdfXref.h"

#include "pdf/PdfErrors.h"
#include "pdf/PdfText.h"

#include <stdexcept>

namespace pdf {

TPdfXrefEntry::TPdfXrefEntry(std::unique_ptr<TPdfObject> AValue)
    : FEntryType(AValue ? "n" : "f"), FByteOffset(-1), FGenerationNumber(AValue ? 0 : 65535), FValue(std::move(AValue))
{
}

std::string TPdfXrefEntry::AsString() const
{
    return PadNumber(FByteOffset, 10) + ' ' + PadNumber(FGenerationNumber, 5) + ' ' + FEntryType;
}

TPdfXref::TPdfXref() { FXrefEntries.push_back(std::make_unique<TPdfXrefEntry>(nullptr)); }

TPdfObject& TPdfXref::AddObject(std::unique_ptr<TPdfObject> AObject)
{
    if (!AObject || !AObject->IsDirect())
        throw EPdfInvalidOperation("AddObject --wrong object type.");
    TPdfObject& Object = *AObject;
    FXrefEntries.push_back(std::make_unique<TPdfXrefEntry>(std::move(AObject)));
    Object.SetObjectNumber(ItemCount() - 1);
    return Object;
}

TPdfObject* TPdfXref::GetObject(int ObjectID) const
{
    if (ObjectID < 0 || ObjectID >= ItemCount())
        return nullptr;
    return FXrefEntries[static_cast<size_t>(ObjectID)]->Value();
}

TPdfXrefEntry& TPdfXref::GetItem(int ObjectID) const
{
    if (ObjectID < 0 || ObjectID >= ItemCount())
        throw EPdfInvalidOperation("GetItem --object number out of range.");
    return *FXrefEntries[static_cast<size_t>(ObjectID)];
}

void TPdfXref::WriteXref(std::string& AStream) const
{
    // Assembled in one piece: every line is exactly 20 bytes.
    std::string Table = "xref\r\n0 ";
    AppendInteger(ItemCount(), Table);
    Table += "\r\n";
    Table.reserve(Table.size() + FXrefEntries.size() * 20);
    for (const auto& Entry : FXrefEntries) {
        Table += Entry->AsString();
        Table += "\r\n";
    }
    AStream += Table;
}

void TPdfHeader::WriteHeader(std::string& AStream) const { AStream += "%PDF-1.2 \r\n"; }

TPdfTrailer::TPdfTrailer(TPdfObjectMgr* AObjectMgr) : FAttributes(std::make_unique<TPdfDictionary>(AObjectMgr))
{
    FAttributes->AddNumberItem(u"Size", 0);
}

void TPdfTrailer::WriteTrailer(std::string& AStream) const
{
    AStream += "trailer\r\n";
    FAttributes->WriteToStream(AStream);
    AStream += "\r\nstartxref\r\n";
    AppendInteger(FXrefAddress, AStream);
    AStream += "\r\n%%EOF\r\n";
}

} // namespace pdf
