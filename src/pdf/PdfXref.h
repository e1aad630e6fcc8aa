#pragma once
// The cross-reference table, which numbers and owns every indirect value of a
// document, and the file's header and trailer.

#include "pdf/PdfTypes.h"

#include <memory>
#include <string>
#include <vector>

namespace pdf {

class TPdfXrefEntry {
public:
    // An absent value makes a free entry.
    explicit TPdfXrefEntry(std::unique_ptr<TPdfObject> AValue);

    const std::string& EntryType() const { return FEntryType; }
    int32_t ByteOffset() const { return FByteOffset; }
    void SetByteOffset(int32_t AValue) { FByteOffset = AValue; }
    int32_t GenerationNumber() const { return FGenerationNumber; }
    void SetGenerationNumber(int32_t AValue) { FGenerationNumber = AValue; }
    TPdfObject* Value() const { return FValue.get(); }

    // "oooooooooo ggggg n": the 18 characters of the entry's line.
    std::string AsString() const;

private:
    std::string FEntryType;
    int32_t FByteOffset;
    int32_t FGenerationNumber;
    std::unique_ptr<TPdfObject> FValue;
};

class TPdfXref final : public TPdfObjectMgr {
public:
    TPdfXref();

    // Numbers the value 1, 2, 3... in the order of registration and keeps it.
    TPdfObject& AddObject(std::unique_ptr<TPdfObject> AObject) override;
    TPdfObject* GetObject(int ObjectID) const override;
    TPdfXrefEntry& GetItem(int ObjectID) const;
    int ItemCount() const { return static_cast<int>(FXrefEntries.size()); }

    void WriteXref(std::string& AStream) const;

private:
    std::vector<std::unique_ptr<TPdfXrefEntry>> FXrefEntries;
};

class TPdfHeader {
public:
    void WriteHeader(std::string& AStream) const;
};

class TPdfTrailer {
public:
    explicit TPdfTrailer(TPdfObjectMgr* AObjectMgr);

    TPdfDictionary& Attributes() const { return *FAttributes; }
    int32_t XrefAddress() const { return FXrefAddress; }
    void SetXrefAddress(int32_t AValue) { FXrefAddress = AValue; }

    void WriteTrailer(std::string& AStream) const;

private:
    std::unique_ptr<TPdfDictionary> FAttributes;
    int32_t FXrefAddress = 0;
};

} // namespace pdf
