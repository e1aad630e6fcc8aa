#include <QLabel>
#include <QPalette>
#include <QTextEdit>

#include "platform/qt/ClickableLabel.h"
#include "platform/qt/Fonts.h"
#include "platform/qt/Pages.h"
#include "platform/qt/Widgets.h"

namespace {

// Tahoma in a 15-pixel character cell: ascent and descent together are about
// 1.2 em, so the characters themselves are 12 pixels high.
constexpr int linkPixelSize = 12;

// A link: underlined text in the link colour that answers a click.
ClickableLabel* makeLink(QWidget* page, const QString& name, const QString& text, const QRect& geometry) {
  auto* link = new ClickableLabel(page);
  link->setObjectName(name);
  link->setText(text);
  link->setTextFormat(Qt::PlainText);
  link->setGeometry(geometry);
  QFont font = tahomaPixels(linkPixelSize);
  font.setUnderline(true);
  link->setFont(font);
  QPalette palette = link->palette();
  palette.setColor(QPalette::WindowText, QColor(0, 102, 204));
  link->setPalette(palette);
  return link;
}

}  // namespace

AboutPage::AboutPage() : page(makePage(QStringLiteral("tab_about"))) {
  lbl_about1 = makeLabel(page, QStringLiteral("lbl_about1"), QStringLiteral("A Propos"), QRect(108, 22, 361, 29),
                         tahomaPoints(18, true), Qt::AlignHCenter | Qt::AlignTop);
  lbl_about2 = makeLabel(page, QStringLiteral("lbl_about2"),
                         QStringLiteral("Retrouvez ci-dessous les informations de cette application"),
                         QRect(72, 54, 433, 29), tahomaPoints(11), Qt::AlignHCenter | Qt::AlignTop);
  about_texte = makeReadOnlyRichText(page, QStringLiteral("about_texte"), QRect(3, 89, 571, 201));
  lbl_link3 =
      makeLink(page, QStringLiteral("lbl_link3"), QStringLiteral("Logiciel lecture Vitale"), QRect(40, 327, 119, 19));
  lbl_link2 =
      makeLink(page, QStringLiteral("lbl_link2"), QStringLiteral("Support à Distance"), QRect(416, 327, 108, 19));
}
