#include <QTextDocument>
#include <QTextEdit>

#include "platform/qt/Fonts.h"
#include "platform/qt/Pages.h"

QTextEdit* makeReadOnlyRichText(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* box = new QTextEdit(parent);
  box->setObjectName(name);
  box->setGeometry(geometry);
  box->setFrameShape(QFrame::NoFrame);
  box->setReadOnly(true);
  // Read-only, yet the user can select, copy and move the caret.
  box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  box->setAcceptRichText(false);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  box->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  box->setFont(tahomaPoints(8));
  box->document()->setDefaultFont(tahomaPoints(8));
  box->document()->setDocumentMargin(2);
  return box;
}
