#include "platform/xml/LibXmlNode.h"

#include <new>

namespace {

bool isCounted(const xmlNode* node) {
  return !(node->type == XML_TEXT_NODE && xmlIsBlankNode(const_cast<xmlNode*>(node)));
}

bool isText(const xmlNode* node) { return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE; }

QString utf8(const xmlChar* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

}  // namespace

QByteArray qualifiedName(const xmlNode* node) {
  QByteArray name(reinterpret_cast<const char*>(node->name));
  if (node->ns != nullptr && node->ns->prefix != nullptr) {
    name.prepend(QByteArray(reinterpret_cast<const char*>(node->ns->prefix)) + ':');
  }
  return name;
}

XmlNode& LibXmlNode::child(const QString& name) {
  const QByteArray wanted = name.toUtf8();
  for (xmlNode* node = node_->children; node != nullptr; node = node->next) {
    if (node->type == XML_ELEMENT_NODE && qualifiedName(node) == wanted) return store_.wrap(node);
  }
  return store_.emptyChild(node_, wanted);
}

XmlNode& LibXmlNode::childAt(int index) {
  const std::vector<xmlNode*> children = countedChildren();
  if (index < 0 || static_cast<std::size_t>(index) >= children.size()) {
    throw XmlError(QStringLiteral("L'élément %1 n'a pas d'enfant d'indice %2")
                       .arg(QString::fromUtf8(qualifiedName(node_)))
                       .arg(index)
                       .toStdString());
  }
  return store_.wrap(children[static_cast<std::size_t>(index)]);
}

int LibXmlNode::childCount() const { return static_cast<int>(countedChildren().size()); }

QString LibXmlNode::text() const {
  // A text, comment or other non-element node counted by childAt reads as
  // its own content.
  if (node_->type != XML_ELEMENT_NODE) return node_->content ? utf8(node_->content) : QString();
  const std::vector<xmlNode*> children = countedChildren();
  if (children.empty()) return {};
  if (children.size() == 1 && isText(children.front())) return utf8(children.front()->content);
  throw XmlError(QStringLiteral("L'élément %1 ne contient pas un seul nœud texte")
                     .arg(QString::fromUtf8(qualifiedName(node_)))
                     .toStdString());
}

std::vector<xmlNode*> LibXmlNode::countedChildren() const {
  std::vector<xmlNode*> children;
  for (xmlNode* node = node_->children; node != nullptr; node = node->next) {
    if (isCounted(node)) children.push_back(node);
  }
  return children;
}

XmlNode& LibXmlNodeStore::wrap(xmlNode* node) {
  std::unique_ptr<LibXmlNode>& wrapper = wrappers_[node];
  if (!wrapper) wrapper = std::make_unique<LibXmlNode>(*this, node);
  return *wrapper;
}

XmlNode& LibXmlNodeStore::emptyChild(xmlNode* parent, const QByteArray& name) {
  xmlNode*& made = madeUp_[{parent, name}];
  if (made == nullptr) {
    std::unique_ptr<xmlNode, FreeNode> node(xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>(name.constData())));
    if (!node) throw std::bad_alloc();
    madeUpNodes_.push_back(std::move(node));
    made = madeUpNodes_.back().get();
  }
  return wrap(made);
}

void LibXmlNodeStore::clear() {
  wrappers_.clear();
  madeUp_.clear();
  madeUpNodes_.clear();
}
