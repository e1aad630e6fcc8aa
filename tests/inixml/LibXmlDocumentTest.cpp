#include <optional>
#include <ostream>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/xml/LibXmlDocument.h"

namespace {

const QString kRoot = QStringLiteral("T_AsnDonneesVitale");

QByteArray fixture(const char* name) {
  QFile file(QStringLiteral(VELNARA_TEST_FIXTURES "/inixml/") + QLatin1String(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

XmlNode& loadRoot(LibXmlDocument& document, const QByteArray& bytes, const QString& root = QStringLiteral("r")) {
  document.loadFromBytes(bytes);
  return document.root(root);
}

// ---- encodings ----

struct CardTexts {
  QString serial, name1, firstName1, name2, firstName2;
  int beneficiaries = 0;
};

CardTexts readCard(const QByteArray& bytes) {
  LibXmlDocument document;
  document.loadFromBytes(bytes);
  XmlNode& card = document.root(kRoot);
  XmlNode& list = card.child(QStringLiteral("listeBenef"));
  XmlNode& first = list.childAt(0).child(QStringLiteral("ident"));
  XmlNode& second = list.childAt(1).child(QStringLiteral("ident"));
  return {card.child(QStringLiteral("tech")).child(QStringLiteral("numSerie")).text(),
          first.child(QStringLiteral("nomUsuel")).text(),
          first.child(QStringLiteral("prenomUsuel")).text(),
          second.child(QStringLiteral("nomUsuel")).text(),
          second.child(QStringLiteral("prenomUsuel")).text(),
          list.childCount()};
}

TEST(LibXmlDocumentEncoding, EveryEncodingGivesTheSameTexts) {
  for (const char* name :
       {"carte-utf8.xml", "carte-iso-8859-1.xml", "carte-utf16-bom.xml", "carte-utf8-sans-declaration.xml"}) {
    SCOPED_TRACE(name);
    const QByteArray bytes = fixture(name);
    ASSERT_FALSE(bytes.isEmpty());
    const CardTexts card = readCard(bytes);
    EXPECT_EQ(card.serial, QStringLiteral("0123456789"));
    EXPECT_EQ(card.name1, QString::fromUtf8("LEFÈVRE"));
    EXPECT_EQ(card.firstName1, QString::fromUtf8("Loïc-Hélène"));
    EXPECT_EQ(card.name2, QString::fromUtf8("GARÇON"));
    EXPECT_EQ(card.firstName2, QString::fromUtf8("Zoé"));
    EXPECT_EQ(card.beneficiaries, 2);
  }
}

TEST(LibXmlDocumentEncoding, Latin1BytesWithoutDeclarationAreNotUtf8) {
  LibXmlDocument document;
  EXPECT_THROW(document.loadFromBytes("<r>\xE9</r>"), XmlError);
}

// ---- lookup by name ----

TEST(LibXmlDocumentLookup, MissingChildIsAnEmptyElementAllTheWayDown) {
  LibXmlDocument document;
  XmlNode& root = loadRoot(document, "<r><a>x</a></r>");
  XmlNode& missing = root.child(QStringLiteral("amo"));
  EXPECT_EQ(missing.text(), QString());
  EXPECT_EQ(missing.childCount(), 0);
  EXPECT_EQ(missing.child(QStringLiteral("codeRegime")).text(), QString());
  EXPECT_THROW(missing.childAt(0), XmlError);
  EXPECT_EQ(&root.child(QStringLiteral("amo")), &missing);
  EXPECT_EQ(root.childCount(), 1);  // the lookup did not add to the document
}

TEST(LibXmlDocumentLookup, ChildByNameIsTheFirstElementOfThatNameCaseSensitive) {
  LibXmlDocument document;
  XmlNode& root = loadRoot(document, "<r><!--a--><b>1</b><a>2</a><a>3</a><A>4</A><p:a xmlns:p='u'>5</p:a></r>");
  EXPECT_EQ(root.child(QStringLiteral("a")).text(), QStringLiteral("2"));
  EXPECT_EQ(root.child(QStringLiteral("A")).text(), QStringLiteral("4"));
  EXPECT_EQ(root.child(QStringLiteral("p:a")).text(), QStringLiteral("5"));
  EXPECT_EQ(&root.child(QStringLiteral("a")), &root.childAt(2));
}

TEST(LibXmlDocumentLookup, RootIsLookedUpByItsExactName) {
  LibXmlDocument document;
  const QByteArray bytes = "<?xml version='1.0'?><!-- carte --><T_AsnDonneesVitale/>";
  document.loadFromBytes(bytes);
  EXPECT_NO_THROW(document.root(kRoot));
  EXPECT_THROW(document.root(QStringLiteral("t_asndonneesvitale")), XmlError);
  EXPECT_THROW(document.root(QStringLiteral("listeBenef")), XmlError);
}

// ---- text ----

struct TextCase {
  const char* name;
  QByteArray element;               // the element <a> inside <r>
  std::optional<QString> expected;  // nullopt: reading the text throws
};
void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }

class LibXmlTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(LibXmlTextTest, TextOfASingleTextNodeOnly) {
  LibXmlDocument document;
  XmlNode& element = loadRoot(document, "<r>" + GetParam().element + "</r>").child("a");
  if (GetParam().expected) {
    EXPECT_EQ(element.text(), *GetParam().expected);
  } else {
    EXPECT_THROW(element.text(), XmlError);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LibXmlTextTest,
    ::testing::Values(TextCase{"EmptyElement", "<a/>", QString()},
                      TextCase{"ElementWithoutContent", "<a></a>", QString()},
                      TextCase{"WhitespaceOnly", "<a>  \n </a>", QString()},
                      TextCase{"TextKeptAsItIs", "<a> 01/02/1985 \n</a>", QStringLiteral(" 01/02/1985 \n")},
                      TextCase{"CharacterReferencesResolved", "<a>&lt;x&gt; &amp; &#233;</a>",
                               QString::fromUtf8("<x> & é")},
                      TextCase{"CharacterData", "<a><![CDATA[<b>1</b>]]></a>", QStringLiteral("<b>1</b>")},
                      TextCase{"ChildElement", "<a><b>1</b></a>", std::nullopt},
                      TextCase{"ChildElementsBetweenWhitespace", "<a>\n  <b/>\n</a>", std::nullopt},
                      TextCase{"TextAndElement", "<a>x<b/></a>", std::nullopt},
                      TextCase{"TextSplitByAComment", "<a>x<!--c-->y</a>", std::nullopt},
                      TextCase{"CommentOnly", "<a><!--c--></a>", std::nullopt},
                      TextCase{"TextAndCharacterData", "<a>x<![CDATA[y]]></a>", std::nullopt}),
    [](const ::testing::TestParamInfo<TextCase>& instance) { return std::string(instance.param.name); });

// ---- children by index ----

TEST(LibXmlDocumentIndex, WhitespaceBetweenElementsDoesNotCountOtherNodesDo) {
  LibXmlDocument document;
  XmlNode& root = loadRoot(document, "<r>\n  <b>1</b>\n\t<!--note-->\n  <b>2</b>text<c/>\n</r>");
  ASSERT_EQ(root.childCount(), 5);
  EXPECT_EQ(root.childAt(0).text(), QStringLiteral("1"));
  EXPECT_EQ(root.childAt(1).text(), QStringLiteral("note"));
  EXPECT_EQ(root.childAt(2).text(), QStringLiteral("2"));
  EXPECT_EQ(root.childAt(3).text(), QStringLiteral("text"));
  EXPECT_EQ(root.childAt(4).childCount(), 0);
  EXPECT_THROW(root.childAt(5), XmlError);
  EXPECT_THROW(root.childAt(-1), XmlError);
}

TEST(LibXmlDocumentIndex, ElementWithoutChildrenHasNone) {
  LibXmlDocument document;
  XmlNode& list = loadRoot(document, "<r><listeBenef>\n</listeBenef></r>").child("listeBenef");
  EXPECT_EQ(list.childCount(), 0);
  EXPECT_THROW(list.childAt(0), XmlError);
}

// ---- loading ----

TEST(LibXmlDocumentLoad, NewLoadReplacesTheDocumentAndAFailedOneLeavesNone) {
  LibXmlDocument document;
  EXPECT_THROW(document.root(QStringLiteral("a")), XmlError);  // nothing loaded yet
  EXPECT_EQ(loadRoot(document, "<a>1</a>", QStringLiteral("a")).text(), QStringLiteral("1"));
  EXPECT_EQ(loadRoot(document, "<b>2</b>", QStringLiteral("b")).text(), QStringLiteral("2"));
  EXPECT_THROW(document.root(QStringLiteral("a")), XmlError);
  EXPECT_THROW(document.loadFromBytes("<b>"), XmlError);
  EXPECT_THROW(document.root(QStringLiteral("b")), XmlError);
}

struct BadDocument {
  const char* name;
  QByteArray bytes;
  const char* messagePart;
};
void PrintTo(const BadDocument& c, std::ostream* out) { *out << c.name; }

class LibXmlBadDocumentTest : public ::testing::TestWithParam<BadDocument> {};

TEST_P(LibXmlBadDocumentTest, IsRefusedWithAMessageAndNothingOnStderr) {
  LibXmlDocument document;
  ::testing::internal::CaptureStderr();
  std::string message;
  try {
    document.loadFromBytes(GetParam().bytes);
  } catch (const XmlError& error) {
    message = error.what();
  }
  const std::string printed = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find(GetParam().messagePart), std::string::npos) << message;
  EXPECT_EQ(printed, "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LibXmlBadDocumentTest,
    ::testing::Values(BadDocument{"Empty", "", "vide"},
                      BadDocument{"OnlyTheDeclaration", "<?xml version='1.0'?>", "Start tag expected"},
                      BadDocument{"TagMismatch", "<r>\n<a></b>\n</r>", "ligne 2"},
                      BadDocument{"Unclosed", "<T_AsnDonneesVitale><tech>", "ligne 1"},
                      BadDocument{"UndefinedEntity", "<r>&nbsp;</r>", "nbsp"},
                      BadDocument{"UnknownEncoding", "<?xml version='1.0' encoding='x-inconnu'?><r/>", "x-inconnu"},
                      BadDocument{"TextAfterTheRoot", "<r/>trailing", "ligne 1"}),
    [](const ::testing::TestParamInfo<BadDocument>& instance) { return std::string(instance.param.name); });

// ---- hostile documents ----

QByteArray billionLaughs(bool inAttribute) {
  QByteArray declarations = "<!ENTITY l0 \"lol\">\n";
  for (int level = 1; level <= 9; ++level) {
    QByteArray value;
    for (int i = 0; i < 10; ++i) value += "&l" + QByteArray::number(level - 1) + ';';
    declarations += "<!ENTITY l" + QByteArray::number(level) + " \"" + value + "\">\n";
  }
  const QByteArray body = inAttribute ? "<r a=\"&l9;\"/>" : "<r>&l9;</r>";
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE r [\n" + declarations + "]>\n" + body;
}

// One 50 kB entity referenced ten thousand times: half a gigabyte once
// expanded, from a document the size of a card buffer.
QByteArray quadraticBlowup() {
  return "<!DOCTYPE r [<!ENTITY b \"" + QByteArray(50000, 'x') + "\">]>\n<r a=\"" + QByteArray("&b;").repeated(10000) +
         "\"/>";
}

TEST(LibXmlDocumentHostile, EntityExpansionIsRefused) {
  const std::pair<const char*, QByteArray> documents[] = {
      {"billion laughs in content", billionLaughs(false)},
      {"billion laughs in an attribute", billionLaughs(true)},
      {"quadratic blowup", quadraticBlowup()},
      {"entity loop", "<!DOCTYPE r [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><r>&a;</r>"},
      {"parameter entity", "<!DOCTYPE r [<!ENTITY % p \"<!ELEMENT r ANY>\"> %p;]><r/>"}};
  for (const auto& [name, bytes] : documents) {
    SCOPED_TRACE(name);
    LibXmlDocument document;
    EXPECT_THROW(document.loadFromBytes(bytes), XmlError);
  }
}

TEST(LibXmlDocumentHostile, ExternalEntityIsNeverLoaded) {
  QTemporaryDir folder;
  QFile secret(folder.filePath(QStringLiteral("secret")));
  ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
  secret.write("SECRET-CONTENT");
  secret.close();
  const QByteArray url = "file://" + folder.filePath(QStringLiteral("secret")).toUtf8();
  LibXmlDocument document;
  for (const QByteArray& bytes :
       {"<!DOCTYPE r [<!ENTITY x SYSTEM \"" + url + "\">]><r><a>&x;</a></r>",
        QByteArray("<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/hostname\">]><r><a>&x;</a></r>")}) {
    SCOPED_TRACE(bytes.constData());
    try {
      document.loadFromBytes(bytes);
      ADD_FAILURE() << "loaded, text: " << document.root("r").child("a").text().toStdString();
    } catch (const XmlError& error) {
      EXPECT_EQ(std::string(error.what()).find("SECRET"), std::string::npos);
    }
  }
}

TEST(LibXmlDocumentHostile, ExternalDtdIsNotLoaded) {
  // Loading this DTD would bring in an entity declaration, which is refused.
  QTemporaryDir folder;
  QFile dtd(folder.filePath(QStringLiteral("carte.dtd")));
  ASSERT_TRUE(dtd.open(QIODevice::WriteOnly));
  dtd.write("<!ENTITY x \"y\">");
  dtd.close();
  LibXmlDocument document;
  XmlNode& root = loadRoot(document, "<!DOCTYPE r SYSTEM \"file://" + dtd.fileName().toUtf8() + "\"><r><a>1</a></r>");
  EXPECT_EQ(root.child(QStringLiteral("a")).text(), QStringLiteral("1"));
}

}  // namespace
