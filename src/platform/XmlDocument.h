#pragma once

#include <memory>
#include <stdexcept>

#include <QByteArray>
#include <QString>

class XmlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An element of a loaded document. Nodes are owned by their document.
class XmlNode {
 public:
  virtual ~XmlNode() = default;
  // First child element of that name; when there is none, an empty element of
  // that name is created in its place.
  virtual XmlNode& child(const QString& name) = 0;
  // Child by 0-based index (whitespace does not count); throws past the end.
  virtual XmlNode& childAt(int index) = 0;
  virtual int childCount() const = 0;
  // Text of a single text node; empty without content; throws when the
  // element holds child elements or several nodes.
  virtual QString text() const = 0;
};

class XmlDocument {
 public:
  virtual ~XmlDocument() = default;
  // Loads a document from bytes, the encoding taken from the document
  // itself; throws XmlError when the bytes are not a well-formed document.
  virtual void loadFromBytes(const QByteArray& bytes) = 0;
  // The root element, looked up by name; throws when it has another name.
  virtual XmlNode& root(const QString& name) = 0;
};
