#pragma once

#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include <libxml/tree.h>
#include <QByteArray>

#include "platform/XmlDocument.h"

class LibXmlNodeStore;

// A node of a libxml2 tree (an element, or whatever other node childAt
// counts), or an empty element made up for a missing child. It only refers to
// the libxml2 node; the store owns both.
class LibXmlNode : public XmlNode {
 public:
  LibXmlNode(LibXmlNodeStore& store, xmlNode* node) : store_(store), node_(node) {}

  XmlNode& child(const QString& name) override;
  XmlNode& childAt(int index) override;
  int childCount() const override;
  QString text() const override;

 private:
  // Child nodes that count: all but text nodes made only of whitespace.
  std::vector<xmlNode*> countedChildren() const;

  LibXmlNodeStore& store_;
  xmlNode* node_;
};

// Owns the wrappers of one document's nodes and the empty elements made up
// for missing children. The elements made up stay outside the document's
// tree, so looking a name up never changes what the tree counts; the same
// lookup gives the same made-up element again.
class LibXmlNodeStore {
 public:
  LibXmlNodeStore() = default;
  LibXmlNodeStore(const LibXmlNodeStore&) = delete;
  LibXmlNodeStore& operator=(const LibXmlNodeStore&) = delete;

  XmlNode& wrap(xmlNode* node);
  XmlNode& emptyChild(xmlNode* parent, const QByteArray& name);
  // Forgets every wrapper and frees every made-up element.
  void clear();

 private:
  struct FreeNode {
    void operator()(xmlNode* node) const { xmlFreeNode(node); }
  };

  std::unordered_map<xmlNode*, std::unique_ptr<LibXmlNode>> wrappers_;
  std::map<std::pair<xmlNode*, QByteArray>, xmlNode*> madeUp_;
  std::vector<std::unique_ptr<xmlNode, FreeNode>> madeUpNodes_;
};

// The element's name as written in the document, prefix included (UTF-8).
QByteArray qualifiedName(const xmlNode* node);
