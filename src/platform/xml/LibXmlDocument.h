#pragma once

#include <memory>

#include "platform/XmlDocument.h"
#include "platform/xml/LibXmlNode.h"

// The card data document on libxml2. Parsing never reaches the network or
// the file system, never prints to stderr, and refuses documents that
// declare entities: card data never does, and declared entities are what
// lets a small document expand to an enormous one or pull in outside files.
//
// Nodes belong to the document. Every loadFromBytes, failed ones included,
// ends the life of the nodes handed out before it; a failed load leaves no
// document (root() then throws), so nothing stale can be read on.
class LibXmlDocument : public XmlDocument {
 public:
  LibXmlDocument();
  ~LibXmlDocument() override;
  LibXmlDocument(const LibXmlDocument&) = delete;
  LibXmlDocument& operator=(const LibXmlDocument&) = delete;

  void loadFromBytes(const QByteArray& bytes) override;
  XmlNode& root(const QString& name) override;

 private:
  struct FreeDocument {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
  };

  LibXmlNodeStore nodes_;
  std::unique_ptr<xmlDoc, FreeDocument> document_;
};
