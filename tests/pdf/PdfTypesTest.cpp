// The object model: bodies, references and definitions, containers and the
// cross-reference table, byte for byte.

#include "pdf/PdfErrors.h"
#include "pdf/PdfText.h"
#include "pdf/PdfTypes.h"
#include "pdf/PdfXref.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pdf;

namespace {

std::string Written(const TPdfObject& AObject) {
  std::string Out;
  AObject.WriteToStream(Out);
  return Out;
}

struct BodyCase {
  const char* Label;
  std::function<std::unique_ptr<TPdfObject>()> Make;
  std::string Expected;
};

TEST(PdfValues, BodiesAreWrittenExactly) {
  const BodyCase Cases[] = {
      {"null", [] { return std::make_unique<TPdfNull>(); }, "null"},
      {"true", [] { return std::make_unique<TPdfBoolean>(true); }, "true"},
      {"false", [] { return std::make_unique<TPdfBoolean>(false); }, "false"},
      {"number", [] { return std::make_unique<TPdfNumber>(-1234); }, "-1234"},
      {"real", [] { return std::make_unique<TPdfReal>(1.5); }, "1.5"},
      {"whole real", [] { return std::make_unique<TPdfReal>(2); }, "2"},
      {"real without exponent", [] { return std::make_unique<TPdfReal>(0.00001); }, "0.00001"},
      {"string escapes", [] { return std::make_unique<TPdfString>(u"a(b)c\\d\t"); }, "(a\\(b\\)c\\\\d\\t)"},
      {"string accents", [] { return std::make_unique<TPdfString>(u"é€"); }, "(\xE9\x80)"},
      {"string outside BMP", [] { return std::make_unique<TPdfString>(u"x\U0001F600"); }, "<783F>"},
      {"text accents", [] { return std::make_unique<TPdfText>(u"Sécurité"); },
       "(S\xE9"
       "curit\xE9)"},
      {"text outside BMP", [] { return std::make_unique<TPdfText>(u"A\U0001F600"); }, "<FEFF0041D83DDE00>"},
      {"name", [] { return std::make_unique<TPdfName>(u"Catalog"); }, "/Catalog"},
      {"name with #", [] { return std::make_unique<TPdfName>(u"A#B"); }, "/A#23B"},
      {"name with space", [] { return std::make_unique<TPdfName>(u"logo sante"); }, "/logo#20sante"},
      {"name delimiters", [] { return std::make_unique<TPdfName>(u"%()/<>[]{}"); }, "/#25#28#29#2F#3C#3E#5B#5D#7B#7D"},
      {"name outside ASCII", [] { return std::make_unique<TPdfName>(u"é\x7F\x01"); }, "/#E9#7F#01"},
      // Above Latin-1, the character's UTF-8 bytes, one "#XX" each.
      {"name with euro", [] { return std::make_unique<TPdfName>(u"prix€"); }, "/prix#E2#82#AC"},
      {"name with CJK and Latin-1", [] { return std::make_unique<TPdfName>(u"名é"); }, "/#E5#90#8D#E9"},
      {"name outside BMP", [] { return std::make_unique<TPdfName>(u"a\U0001F600b"); }, "/a#F0#9F#98#80b"},
      {"name with lone surrogate", [] { return std::make_unique<TPdfName>(u"a\xD800"); }, "/a#EF#BF#BD"},
      {"empty array", [] { return std::make_unique<TPdfArray>(); }, "[]"},
      {"number array",
       [] {
         return TPdfArray::CreateNumArray(nullptr, {0, 0, 596, 842});
       },
       "[0 0 596 842 ]"},
      {"reference array",
       [] {
         auto A = std::make_unique<TPdfArray>();
         A->AddItem(TPdfVirtualObject::CreateVirtual(4));
         return A;
       },
       "[4 0 R ]"},
      {"empty dictionary", [] { return std::make_unique<TPdfDictionary>(); }, "<<\r\n>>"},
      {"binary",
       [] {
         auto B = std::make_unique<TPdfBinary>();
         B->Stream() = std::string("<00 FF>\0\r", 9);
         return B;
       },
       std::string("<00 FF>\0\r", 9)},
  };
  for (const auto& Case : Cases) EXPECT_EQ(Written(*Case.Make()), Case.Expected) << Case.Label;
}

TEST(PdfValues, ReferencesAndDefinitions) {
  TPdfXref Xref;
  auto& Catalog = Xref.Register(std::make_unique<TPdfDictionary>(&Xref));
  Catalog.AddNameItem(u"Type", u"Catalog");
  Catalog.AddItem(u"Pages", *TPdfVirtualObject::CreateVirtual(3));

  EXPECT_EQ(Catalog.ObjectType(), otIndirectObject);
  EXPECT_EQ(Written(Catalog), "1 0 R");
  std::string Definition;
  Catalog.WriteValueToStream(Definition);
  EXPECT_EQ(Definition, "1 0 obj\r\n<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(Written(TPdfVirtualObject(7)), "7 0 R");
}

TEST(PdfValues, FailuresCarryTheirMessages) {
  auto ExpectMessage = [](const std::function<void()>& Action, const std::string& Message) {
    try {
      Action();
      ADD_FAILURE() << "no failure for: " << Message;
    } catch (const std::exception& Error) {
      EXPECT_EQ(Error.what(), Message);
    }
  };
  ExpectMessage(
      [] {
        std::string S;
        TPdfNumber(1).WriteValueToStream(S);
      },
      "internal error wrong object type");
  ExpectMessage(
      [] {
        std::string S;
        TPdfVirtualObject(2).WriteValueToStream(S);
      },
      "internal error wrong object type");
  ExpectMessage([] { TPdfVirtualObject V; }, "virtualObject must be create by CreateVirtual method.");
  ExpectMessage([] { TPdfDictionary().AddItem(u"K", std::unique_ptr<TPdfObject>()); }, "internal error. wrong object.");
  ExpectMessage(
      [] {
        TPdfXref Xref;
        auto& Object = Xref.Register(std::make_unique<TPdfNull>());
        Xref.AddObject(TPdfVirtualObject::CreateVirtual(Object.ObjectNumber()));
      },
      "AddObject --wrong object type.");

  ExpectMessage([] { Written(TPdfName(std::u16string(u"a\0b", 3))); }, "a name cannot hold a NUL character");

  // The error classes are the writer's own.
  EXPECT_THROW(
      {
        std::string S;
        TPdfNull().WriteValueToStream(S);
      },
      EPdfInvalidOperation);
  EXPECT_THROW(TPdfDictionary().AddItem(u"K", std::unique_ptr<TPdfObject>()), EPdfInvalidValue);
  EXPECT_THROW(
      {
        std::string S;
        WriteName(std::u16string(1, u'\0'), S);
      },
      EPdfInvalidValue);
}

TEST(PdfArray, DirectItemsOnceIndirectItemsAsReferences) {
  TPdfXref Xref;
  auto& Indirect = Xref.Register(std::make_unique<TPdfNull>());
  TPdfArray Array(&Xref);
  auto Direct = std::make_unique<TPdfName>(u"PDF");
  const TPdfName& DirectRef = *Direct;
  Array.AddItem(std::move(Direct));
  Array.AddItem(DirectRef);  // the same direct value again: kept once
  Array.AddItem(Indirect);
  Array.AddItem(Indirect);  // an indirect value twice: two references

  EXPECT_EQ(Written(Array), "[/PDF 1 0 R 1 0 R ]");
  EXPECT_EQ(Array.Items(1), &Indirect);
  EXPECT_EQ(Array.Items(9), nullptr);
  EXPECT_THROW(Array.AddItem(TPdfNumber(3)), EPdfInvalidValue);  // could not be owned

  TPdfArray Unmanaged;
  Unmanaged.AddItem(Indirect);
  EXPECT_EQ(Unmanaged.Items(0), nullptr);  // no manager to resolve the reference
}

TEST(PdfArray, FindAndRemoveNames) {
  TPdfArray Array;
  Array.AddItem(std::make_unique<TPdfNumber>(1));
  Array.AddItem(std::make_unique<TPdfName>(u"FlateDecode"));
  Array.AddItem(std::make_unique<TPdfName>(u"DCTDecode"));

  EXPECT_EQ(Array.FindName(u"flatedecode"), nullptr);  // case-sensitive
  ASSERT_NE(Array.FindName(u"DCTDecode"), nullptr);
  EXPECT_TRUE(Array.RemoveName(u"FlateDecode"));
  EXPECT_FALSE(Array.RemoveName(u"FlateDecode"));
  EXPECT_EQ(Written(Array), "[1 /DCTDecode ]");
}

TEST(PdfDictionary, OrderLookupsAndInternalEntries) {
  TPdfXref Xref;
  auto& Pages = Xref.Register(std::make_unique<TPdfDictionary>(&Xref));
  TPdfDictionary Dict(&Xref);
  Dict.AddNameItem(u"Type", u"Page");
  Dict.AddItem(u"Parent", Pages);
  Dict.AddNumberItem(u"Rotate", 0);
  Dict.AddInternalItem(u"_Font", std::make_unique<TPdfText>(u"Arial"));
  Dict.AddNameItem(u"Type", u"Page");  // re-set: moves to the end

  EXPECT_EQ(Written(Dict), "<<\r\n/Parent 1 0 R\r\n/Rotate 0\r\n/Type /Page\r\n>>");
  EXPECT_EQ(Dict.ValueByName(u"Parent"), &Pages);
  EXPECT_EQ(Dict.ValueByName(u"type"), nullptr);
  EXPECT_EQ(TypeNameOf(Dict), u"Page");
  EXPECT_EQ(Dict.PdfTextByName(u"_Font")->Value(), u"Arial");
  EXPECT_EQ(Dict.PdfNumberByName(u"Type"), nullptr);  // wrong class: nothing, not a bad cast
  EXPECT_TRUE(Dict.Items(2).IsInternal());
  EXPECT_THROW(Dict.AddItem(u"X", TPdfNumber(1)), EPdfInvalidValue);

  Dict.RemoveItem(u"Rotate");
  Dict.RemoveItem(u"Missing");
  EXPECT_EQ(Dict.ItemCount(), 3);
  EXPECT_EQ(TypeNameOf(TPdfDictionary()), u"");
}

TEST(PdfStream, WritesLengthAndDropsCompressionFilters) {
  TPdfStream Plain;
  Plain.Stream() = "q\nQ\n";
  EXPECT_EQ(Written(Plain), "<<\r\n/Length 4\r\n/Filter []\r\n>>\r\nstream\r\nq\nQ\n\nendstream");
  EXPECT_EQ(Plain.Attributes().PdfNumberByName(u"Length")->Value(), 4);

  TPdfStream Filtered;
  Filtered.Attributes().PdfArrayByName(u"Filter")->AddItem(std::make_unique<TPdfName>(u"FlateDecode"));
  Filtered.Attributes().PdfArrayByName(u"Filter")->AddItem(std::make_unique<TPdfName>(u"DCTDecode"));
  Filtered.Stream() = std::string("\xFF\xD8\0", 3);
  EXPECT_EQ(Written(Filtered), "<<\r\n/Length 3\r\n/Filter [/DCTDecode ]\r\n>>\r\nstream\r\n" +
                                   std::string("\xFF\xD8\0", 3) + "\nendstream");
}

TEST(PdfXref, NumbersEntriesAndLines) {
  TPdfXref Xref;
  EXPECT_EQ(Xref.GetItem(0).AsString(), "0000000000 65535 f");
  auto& First = Xref.Register(std::make_unique<TPdfNull>());
  auto& Second = Xref.Register(std::make_unique<TPdfNull>());
  EXPECT_EQ(First.ObjectNumber(), 1);
  EXPECT_EQ(Second.ObjectNumber(), 2);
  EXPECT_EQ(Xref.GetObject(2), &Second);
  EXPECT_EQ(Xref.GetObject(3), nullptr);
  Xref.GetItem(1).SetByteOffset(15);
  Xref.GetItem(2).SetByteOffset(1234);
  EXPECT_EQ(Xref.GetItem(2).AsString(), "0000001234 00000 n");

  std::string Table;
  Xref.WriteXref(Table);
  EXPECT_EQ(Table,
            "xref\r\n0 3\r\n"
            "0000000000 65535 f\r\n"
            "0000000015 00000 n\r\n"
            "0000001234 00000 n\r\n");
}

TEST(PdfXref, HeaderAndTrailer) {
  std::string Header;
  TPdfHeader().WriteHeader(Header);
  EXPECT_EQ(Header, "%PDF-1.2 \r\n");

  TPdfXref Xref;
  auto& Root = Xref.Register(std::make_unique<TPdfDictionary>(&Xref));
  TPdfTrailer Trailer(&Xref);
  Trailer.Attributes().AddItem(u"Root", Root);
  Trailer.Attributes().PdfNumberByName(u"Size")->SetValue(Xref.ItemCount());
  Trailer.SetXrefAddress(1234);
  std::string Out;
  Trailer.WriteTrailer(Out);
  EXPECT_EQ(Out, "trailer\r\n<<\r\n/Size 2\r\n/Root 1 0 R\r\n>>\r\nstartxref\r\n1234\r\n%%EOF\r\n");
}

}  // namespace
