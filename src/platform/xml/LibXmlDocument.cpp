#include "platform/xml/LibXmlDocument.h"

#include <climits>
#include <mutex>
#include <optional>

#include <libxml/parser.h>
#include <libxml/xmlerror.h>

namespace {

[[noreturn]] void fail(const QString& message) { throw XmlError(message.toStdString()); }

void ignoreGenericError(void*, const char*, ...) {}

// Collects the first error of one parse. While it lives it is this thread's
// libxml2 error handler, so no message reaches stderr.
class ParseErrors {
 public:
  ParseErrors()
      : previousHandler_(xmlStructuredError),
        previousContext_(xmlStructuredErrorContext),
        previousGeneric_(xmlGenericError),
        previousGenericContext_(xmlGenericErrorContext) {
    xmlSetStructuredErrorFunc(this, &ParseErrors::onError);
    xmlSetGenericErrorFunc(nullptr, &ignoreGenericError);
  }
  ~ParseErrors() {
    xmlSetStructuredErrorFunc(previousContext_, previousHandler_);
    xmlSetGenericErrorFunc(previousGenericContext_, previousGeneric_);
  }
  ParseErrors(const ParseErrors&) = delete;
  ParseErrors& operator=(const ParseErrors&) = delete;

  void record(const QString& message) {
    if (!first_) first_ = message;
  }
  const std::optional<QString>& first() const { return first_; }

 private:
  static void onError(void* self, xmlErrorPtr error) {
    if (error == nullptr || error->level < XML_ERR_ERROR) return;
    const QString message = QString::fromUtf8(error->message ? error->message : "").trimmed();
    static_cast<ParseErrors*>(self)->record(
        QStringLiteral("Document XML incorrect, ligne %1 : %2").arg(error->line).arg(message));
  }

  xmlStructuredErrorFunc previousHandler_;
  void* previousContext_;
  xmlGenericErrorFunc previousGeneric_;
  void* previousGenericContext_;
  std::optional<QString> first_;
};

// Replaces libxml2's handler of entity declarations: the first one stops the
// parse with an error.
void refuseEntityDeclaration(void* context, const xmlChar* name, int, const xmlChar*, const xmlChar*, xmlChar*) {
  auto* parser = static_cast<xmlParserCtxt*>(context);
  static_cast<ParseErrors*>(parser->_private)
      ->record(QStringLiteral("Document XML refusé : il déclare l'entité %1")
                   .arg(QString::fromUtf8(reinterpret_cast<const char*>(name))));
  xmlStopParser(parser);
}

struct FreeParser {
  void operator()(xmlParserCtxt* parser) const { xmlFreeParserCtxt(parser); }
};

// The encoding comes from the byte-order mark or the declaration, UTF-8
// otherwise; only XML_PARSE_NONET is set, so no external entity or DTD is
// ever loaded.
xmlDoc* parse(const QByteArray& bytes) {
  std::unique_ptr<xmlParserCtxt, FreeParser> parser(xmlNewParserCtxt());
  if (!parser) throw std::bad_alloc();
  ParseErrors errors;
  parser->_private = &errors;
  parser->sax->entityDecl = &refuseEntityDeclaration;
  xmlDoc* document = xmlCtxtReadMemory(parser.get(), bytes.constData(), static_cast<int>(bytes.size()), nullptr,
                                       nullptr, XML_PARSE_NONET);
  if (document != nullptr && !errors.first() && parser->wellFormed) return document;
  xmlFreeDoc(document);
  fail(errors.first().value_or(QStringLiteral("Document XML incorrect")));
}

}  // namespace

LibXmlDocument::LibXmlDocument() {
  static std::once_flag initialised;
  std::call_once(initialised, [] { xmlInitParser(); });
}

LibXmlDocument::~LibXmlDocument() { nodes_.clear(); }

void LibXmlDocument::loadFromBytes(const QByteArray& bytes) {
  nodes_.clear();
  document_.reset();
  if (bytes.isEmpty()) fail(QStringLiteral("Document XML vide"));
  if (bytes.size() > INT_MAX) fail(QStringLiteral("Document XML trop grand"));
  document_.reset(parse(bytes));
}

XmlNode& LibXmlDocument::root(const QString& name) {
  if (!document_) fail(QStringLiteral("Aucun document XML chargé"));
  xmlNode* element = xmlDocGetRootElement(document_.get());
  if (element == nullptr || qualifiedName(element) != name.toUtf8()) {
    fail(QStringLiteral("L'élément racine du document XML n'est pas %1").arg(name));
  }
  return nodes_.wrap(element);
}
