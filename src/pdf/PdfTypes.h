#pragma once
// The PDF object model: the values a document is built of (null, booleans,
// numbers, strings, names, arrays, dictionaries, streams) and how each one is
// written into the file.
//
// Ownership: a container owns what it holds (std::unique_ptr in, nothing
// shared). A value registered in the cross-reference table (TPdfXref, see
// PdfXref.h) becomes indirect and belongs to the table; containers then hold
// a small TPdfVirtualObject reference to it, written "n 0 R". So:
//
//     auto& Page = Xref.Register(std::make_unique<TPdfDictionary>(&Xref));
//     Page.AddNameItem(u"Type", u"Page");                   // direct value, owned by Page
//     Kids.AddItem(Page);                                   // reference to an indirect value
//     Page.AddItem(u"MediaBox", TPdfArray::CreateNumArray(nullptr, {0, 0, 596, 842}));
//
// Output goes into a std::string used as a byte buffer.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pdf {

enum TPdfObjectType { otDirectObject, otIndirectObject, otVirtualObject };

enum TPdfAlignment { paLeftJustify, paRightJustify, paCenter };

struct TPdfRect {
    float Left = 0;
    float Top = 0;
    float Right = 0;
    float Bottom = 0;
};

TPdfRect PdfRect(float ALeft, float ATop, float ARight, float ABottom);

class TPdfObjectMgr;

class TPdfObject {
public:
    TPdfObject() = default;
    virtual ~TPdfObject() = default;
    TPdfObject(const TPdfObject&) = delete;
    TPdfObject& operator=(const TPdfObject&) = delete;

    // Numbers above 0 make the value indirect; the cross-reference table is
    // the only caller.
    void SetObjectNumber(int Value);

    // The value where it is used: "n g R" when indirect or virtual, the body
    // otherwise.
    void WriteToStream(std::string& AStream) const;

    // The definition of an indirect value: "n g obj" CR LF body CR LF "endobj" CR LF.
    void WriteValueToStream(std::string& AStream) const;

    int ObjectNumber() const { return FObjectNumber; }
    int GenerationNumber() const { return FGenerationNumber; }
    TPdfObjectType ObjectType() const { return FObjectType; }
    bool IsDirect() const { return FObjectType == otDirectObject; }

protected:
    virtual void WriteBodyToStream(std::string& AStream) const;
    void MakeVirtual(int AObjectId);

private:
    TPdfObjectType FObjectType = otDirectObject;
    int FObjectNumber = -1;
    int FGenerationNumber = 0;
};

// A reference to an indirect value by its number, and nothing else.
class TPdfVirtualObject final : public TPdfObject {
public:
    // Always fails: a reference needs the number it refers to.
    TPdfVirtualObject();
    explicit TPdfVirtualObject(int AObjectId);
    static std::unique_ptr<TPdfVirtualObject> CreateVirtual(int AObjectId);
};

class TPdfNull final : public TPdfObject {
protected:
    void WriteBodyToStream(std::string& AStream) const override;
};

class TPdfBoolean final : public TPdfObject {
public:
    explicit TPdfBoolean(bool AValue = false) : FValue(AValue) { }
    bool Value() const { return FValue; }
    void SetValue(bool AValue) { FValue = AValue; }

protected:
    void WriteBodyToStream(std::string& AStream) const override;

private:
    bool FValue;
};

class TPdfNumber final : public TPdfObject {
public:
    explicit TPdfNumber(int32_t AValue = 0) : FValue(AValue) { }
    int32_t Value() const { return FValue; }
    void SetValue(int32_t AValue) { FValue = AValue; }

protected:
    void WriteBodyToStream(std::string& AStream) const override;

private:
    int32_t FValue;
};

class TPdfReal final : public TPdfObject {
public:
    explicit TPdfReal(double AValue = 0) : FValue(AValue) { }
    double Value() const { return FValue; }
    void SetValue(double AValue) { FValue = AValue; }

protected:
    void WriteBodyToStream(std::string& AStream) const override;

private:
    double FValue;
};

// A byte string: written as a literal "(...)" of Windows-1252 bytes.
class TPdfString final : public TPdfObject {
public:
    explicit TPdfString(std::u16string AValue = {}) : FValue(std::move(AValue)) { }
    const std::u16string& Value() const { return FValue; }
    void SetValue(std::u16string AValue) { FValue = std::move(AValue); }

protected:
    void WriteBodyToStream(std::string& AStream) const override;

private:
    std::u16string FValue;
};

// A text string (titles, document information): a literal string, or a
// UTF-16BE hexadecimal string with its byte-order mark when the text leaves
// the Basic Multilingual Plane.
class TPdfText final : public TPdfObject {
public:
    explicit TPdfText(std::u16string AValue = {}) : FValue(std::move(AValue)) { }
    const std::u16string& Value() const { return FValue; }
    void SetValue(std::u16string AValue) { FValue = std::move(AValue); }

protected:
    void WriteBodyToStream(std::string& AStream) const override;

private:
    std::u16string FValue;
};

// A name, held without its leading "/".
class TPdfName final : public TPdfObject {
public:
    explicit TPdfName(std::u16string AValue = {}) : FValue(std::move(AValue)) { }
    const std::u16string& Value() const { return FValue; }
    void SetValue(std::u16string AValue) { FValue = std::move(AValue); }

protected:
    void WriteBodyToStream(std::string& AStream) const override;

private:
    std::u16string FValue;
};

// Writes "/" and the name with the characters PDF reserves escaped as "#XX".
// A character up to 0xFF is one byte; one above is the bytes of its UTF-8
// form, each escaped ("€" is "#E2#82#AC"). Throws EPdfInvalidValue for a NUL.
void WriteName(std::u16string_view AName, std::string& AStream);

class TPdfArray final : public TPdfObject {
public:
    explicit TPdfArray(TPdfObjectMgr* AObjectMgr = nullptr) : FObjectMgr(AObjectMgr) { }

    static std::unique_ptr<TPdfArray> CreateNumArray(TPdfObjectMgr* AObjectMgr, std::initializer_list<int32_t> AArray);
    static std::unique_ptr<TPdfArray> CreateNumArray(TPdfObjectMgr* AObjectMgr, const int32_t* AArray, size_t ACount);

    // Takes a direct value (or a reference) into the array.
    void AddItem(std::unique_ptr<TPdfObject> AItem);
    // Appends a reference to an indirect value. Given a direct value already
    // held here, does nothing; any other direct value is refused, since the
    // array could not own it.
    void AddItem(const TPdfObject& AItem);

    TPdfName* FindName(std::u16string_view AName) const;
    bool RemoveName(std::u16string_view AName);

    // The item, references resolved through the object manager (nullptr when
    // there is none or Index is out of range).
    TPdfObject* Items(int Index) const;
    int ItemCount() const { return static_cast<int>(FArray.size()); }
    TPdfObjectMgr* ObjectMgr() const { return FObjectMgr; }

protected:
    void WriteBodyToStream(std::string& AStream) const override;

private:
    std::vector<std::unique_ptr<TPdfObject>> FArray;
    TPdfObjectMgr* FObjectMgr;
};

class TPdfDictionaryElement {
public:
    TPdfDictionaryElement(std::u16string AKey, std::unique_ptr<TPdfObject> AValue, bool AIsInternal = false);
    static TPdfDictionaryElement CreateAsInternal(std::u16string AKey, std::unique_ptr<TPdfObject> AValue);

    const std::u16string& Key() const { return FKey; }
    TPdfObject* Value() const { return FValue.get(); }
    bool IsInternal() const { return FIsInternal; }

private:
    std::u16string FKey;
    std::unique_ptr<TPdfObject> FValue;
    bool FIsInternal;
};

class TPdfDictionary final : public TPdfObject {
public:
    explicit TPdfDictionary(TPdfObjectMgr* AObjectMgr = nullptr) : FObjectMgr(AObjectMgr) { }

    // The value under AKey (references resolved), or nullptr.
    TPdfObject* ValueByName(std::u16string_view AKey) const;

    // The value under AKey when it is of class T, otherwise nullptr.
    template <class T> T* ValueAs(std::u16string_view AKey) const { return dynamic_cast<T*>(ValueByName(AKey)); }
    TPdfBoolean* PdfBooleanByName(std::u16string_view AKey) const;
    TPdfNumber* PdfNumberByName(std::u16string_view AKey) const;
    TPdfText* PdfTextByName(std::u16string_view AKey) const;
    TPdfReal* PdfRealByName(std::u16string_view AKey) const;
    TPdfString* PdfStringByName(std::u16string_view AKey) const;
    TPdfName* PdfNameByName(std::u16string_view AKey) const;
    TPdfDictionary* PdfDictionaryByName(std::u16string_view AKey) const;
    TPdfArray* PdfArrayByName(std::u16string_view AKey) const;

    // Replaces any element of that key and appends the new one at the end.
    void AddItem(std::u16string AKey, std::unique_ptr<TPdfObject> AValue);
    // The same with a reference to an indirect value.
    void AddItem(std::u16string AKey, const TPdfObject& AValue);
    void AddNumberItem(std::u16string AKey, int32_t AValue);
    void AddNameItem(std::u16string AKey, std::u16string AValue);
    // An element kept for the program's own use, never written.
    void AddInternalItem(std::u16string AKey, std::unique_ptr<TPdfObject> AValue);
    void RemoveItem(std::u16string_view AKey);

    const TPdfDictionaryElement& Items(int Index) const { return FArray.at(static_cast<size_t>(Index)); }
    int ItemCount() const { return static_cast<int>(FArray.size()); }
    TPdfObjectMgr* ObjectMgr() const { return FObjectMgr; }

protected:
    void WriteBodyToStream(std::string& AStream) const override;

private:
    void AppendElement(std::u16string AKey, std::unique_ptr<TPdfObject> AValue, bool AIsInternal);

    std::vector<TPdfDictionaryElement> FArray;
    TPdfObjectMgr* FObjectMgr;
};

// A dictionary of attributes and a byte buffer. Writing settles "Length" to
// the buffer's size; nothing is compressed, so a "FlateDecode" filter is
// dropped.
class TPdfStream : public TPdfObject {
public:
    explicit TPdfStream(TPdfObjectMgr* AObjectMgr = nullptr);

    TPdfDictionary& Attributes() const { return *FAttributes; }
    std::string& Stream() { return FStream; }
    const std::string& Stream() const { return FStream; }

protected:
    void WriteBodyToStream(std::string& AStream) const override;

private:
    std::unique_ptr<TPdfDictionary> FAttributes;
    std::string FStream;
};

class TPdfXObject : public TPdfStream {
public:
    using TPdfStream::TPdfStream;
};

class TPdfImage : public TPdfXObject {
public:
    using TPdfXObject::TPdfXObject;
};

// Bytes written into the file unchanged.
class TPdfBinary final : public TPdfObject {
public:
    std::string& Stream() { return FStream; }
    const std::string& Stream() const { return FStream; }

protected:
    void WriteBodyToStream(std::string& AStream) const override;

private:
    std::string FStream;
};

// The value of the dictionary's "Type" name, or empty text.
std::u16string TypeNameOf(const TPdfDictionary& ADictionary);

// Abstract access to numbered values: the cross-reference table.
class TPdfObjectMgr {
public:
    virtual ~TPdfObjectMgr() = default;
    // Takes a direct value, numbers it and keeps it; returns it.
    virtual TPdfObject& AddObject(std::unique_ptr<TPdfObject> AObject) = 0;
    virtual TPdfObject* GetObject(int ObjectID) const = 0;

    // AddObject keeping the value's class.
    template <class T> T& Register(std::unique_ptr<T> AObject) { return static_cast<T&>(AddObject(std::move(AObject))); }
};

} // namespace pdf
