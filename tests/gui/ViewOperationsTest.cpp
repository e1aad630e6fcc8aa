// The view operations of the window on their own, without an application
// object behind it: the rich-text boxes, the step pictures, the message box
// and the save dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QtTest/QTest>

#include "platform/qt/MainWindow.h"
#include "platform/qt/RichText.h"
#include "platform/qt/StepIcons.h"

namespace {

class ViewOperations : public ::testing::Test {
 protected:
  ViewOperations() {
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  QTextEdit* log() const { return window.findChild<QTextEdit*>(QStringLiteral("debug_texte")); }

  MainWindow window;
};

// The runs of a box as (text, format) in document order, split where the
// format changes.
struct Fragment {
  QString text;
  QTextCharFormat format;
};

std::vector<Fragment> fragmentsOf(const QTextEdit& box) {
  std::vector<Fragment> result;
  for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      result.push_back({it.fragment().text(), it.fragment().charFormat()});
  return result;
}

const Fragment* fragmentWith(const std::vector<Fragment>& fragments, const QString& text) {
  for (const Fragment& f : fragments)
    if (f.text == text) return &f;
  return nullptr;
}

TEST_F(ViewOperations, AppendedRunsKeepTheirStylesAndColours) {
  struct Case {
    const char* text;
    FontStyles style;
    Colorref color;
    bool bold, underline;
    QColor rgb;
  };
  const Case cases[] = {
      {"Diagnostic pour Velnara", fsBold | fsUnderline, colors::blue, true, true, QColor(0, 0, 255)},
      {"### Fichiers", fsBold, colors::blue, true, false, QColor(0, 0, 255)},
      {"Version Logiciel : ", fsNone, colors::black, false, false, QColor(0, 0, 0)},
      {"1.09", fsBold, colors::black, true, false, QColor(0, 0, 0)},
      {"Fichier présent", fsBold, colors::green, true, false, QColor(0, 128, 0)},
      {"Fichier absent", fsBold, colors::red, true, false, QColor(255, 0, 0)},
      {"Votre version est à jour", fsNone, colors::green, false, false, QColor(0, 128, 0)},
  };
  for (const Case& c : cases) {
    window.appendRichText(View::RichBox::debug_texte, {QString::fromUtf8(c.text), c.style, c.color});
    window.appendRichText(View::RichBox::debug_texte, {QStringLiteral("\r\n"), fsNone, colors::black});
  }
  const auto fragments = fragmentsOf(*log());
  for (const Case& c : cases) {
    const Fragment* f = fragmentWith(fragments, QString::fromUtf8(c.text));
    ASSERT_NE(f, nullptr) << c.text;
    EXPECT_EQ(f->format.fontWeight() == QFont::Bold, c.bold) << c.text;
    EXPECT_EQ(f->format.fontUnderline(), c.underline) << c.text;
    EXPECT_FALSE(f->format.fontItalic()) << c.text;
    EXPECT_EQ(f->format.foreground().color(), c.rgb) << c.text;
  }
}

TEST_F(ViewOperations, ItalicAndStrikeOutAreKeptToo) {
  window.appendRichText(View::RichBox::about_texte, {QStringLiteral("penché"), fsItalic, colors::maroon});
  window.appendRichText(View::RichBox::about_texte, {QStringLiteral("barré"), fsStrikeOut, colors::black});
  const auto fragments = fragmentsOf(*window.findChild<QTextEdit*>(QStringLiteral("about_texte")));
  const Fragment* italic = fragmentWith(fragments, QStringLiteral("penché"));
  const Fragment* struck = fragmentWith(fragments, QStringLiteral("barré"));
  ASSERT_TRUE(italic && struck);
  EXPECT_TRUE(italic->format.fontItalic());
  EXPECT_EQ(italic->format.foreground().color(), QColor(128, 0, 0));
  EXPECT_TRUE(struck->format.fontStrikeOut());
  EXPECT_FALSE(struck->format.fontItalic());
}

TEST_F(ViewOperations, LabelAndValueShareALineUntilTheLineBreak) {
  window.appendRichText(View::RichBox::debug_texte, {QStringLiteral("Version Logiciel : "), fsNone, colors::black});
  window.appendRichText(View::RichBox::debug_texte, {QStringLiteral("1.09\r\n"), fsBold, colors::black});
  window.appendRichText(View::RichBox::debug_texte, {QStringLiteral("a\rb\r\n\r\nc"), fsNone, colors::black});
  EXPECT_EQ(log()->toPlainText(), QStringLiteral("Version Logiciel : 1.09\na\nb\n\nc"));
  EXPECT_EQ(log()->document()->blockCount(), 5);
}

TEST_F(ViewOperations, AppendsGoToTheEndWhateverTheUserSelected) {
  window.appendRichText(View::RichBox::debug_texte, {QStringLiteral("première ligne\r\n"), fsNone, colors::black});
  QTextCursor selection = log()->textCursor();
  selection.setPosition(0);
  selection.setPosition(4, QTextCursor::KeepAnchor);
  log()->setTextCursor(selection);
  window.appendRichText(View::RichBox::debug_texte, {QStringLiteral("ajout"), fsBold, colors::red});
  EXPECT_EQ(log()->toPlainText(), QStringLiteral("première ligne\najout"));
  EXPECT_EQ(log()->textCursor().selectedText(), QStringLiteral("prem"));
  const Fragment* added = fragmentWith(fragmentsOf(*log()), QStringLiteral("ajout"));
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->format.foreground().color(), QColor(255, 0, 0));
}

TEST_F(ViewOperations, ClearEmptiesOnlyItsBox) {
  window.appendRichText(View::RichBox::debug_texte, {QStringLiteral("log"), fsNone, colors::black});
  window.appendRichText(View::RichBox::about_texte, {QStringLiteral("about"), fsNone, colors::black});
  window.clearRichText(View::RichBox::debug_texte);
  EXPECT_TRUE(log()->toPlainText().isEmpty());
  EXPECT_EQ(window.findChild<QTextEdit*>(QStringLiteral("about_texte"))->toPlainText(), QStringLiteral("about"));
}

TEST_F(ViewOperations, ScrollingTheLogShowsItsLastLines) {
  window.showPage(View::Page::tab_debug);
  for (int i = 0; i < 200; ++i)
    window.appendRichText(View::RichBox::debug_texte, {QStringLiteral("ligne %1\r\n").arg(i), fsNone, colors::black});
  log()->verticalScrollBar()->setValue(0);
  window.scrollLogToEnd();
  EXPECT_GT(log()->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(log()->viewport()->rect().contains(log()->cursorRect()));
  EXPECT_EQ(log()->textCursor().position(), log()->document()->characterCount() - 1);
  EXPECT_TRUE(log()->hasFocus());
}

TEST_F(ViewOperations, AppendingDoesNotScrollTheLog) {
  window.showPage(View::Page::tab_debug);
  for (int i = 0; i < 100; ++i)
    window.appendRichText(View::RichBox::debug_texte, {QStringLiteral("ligne %1\r\n").arg(i), fsNone, colors::black});
  QCoreApplication::processEvents();
  EXPECT_EQ(log()->verticalScrollBar()->value(), 0);
  log()->verticalScrollBar()->setValue(40);
  window.appendRichText(View::RichBox::debug_texte, {QStringLiteral("encore\r\n"), fsBold, colors::red});
  QCoreApplication::processEvents();
  EXPECT_EQ(log()->verticalScrollBar()->value(), 40);
}

TEST_F(ViewOperations, StepRowsShowTheImageListPictureOrNothing) {
  auto* row = window.findChild<QLabel*>(QStringLiteral("Image_etat4"));
  ASSERT_NE(row, nullptr);
  for (View::Icon icon : {View::Icon::etat_attente, View::Icon::etat_en_cours, View::Icon::etat_ok,
                          View::Icon::etat_nok, View::Icon::etat_saute}) {
    window.setStepIcon(View::StepRow::Image_etat4, icon);
    EXPECT_EQ(row->pixmap().toImage(), stepIcon(icon).toImage()) << static_cast<int>(icon);
  }
  window.setStepIcon(View::StepRow::Image_etat4, View::Icon::None);
  EXPECT_TRUE(row->pixmap().isNull());
}

TEST(StepImageList, SixDistinctPicturesOnWhite) {
  std::vector<QImage> images;
  for (int i = 0; i < stepIconCount; ++i) {
    const QImage image = stepIcon(i).toImage();
    ASSERT_EQ(image.size(), QSize(24, 24)) << i;
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white)) << i;
    for (const QImage& earlier : images) EXPECT_NE(image, earlier) << i;
    images.push_back(image);
  }
  EXPECT_TRUE(stepIcon(stepIconCount).isNull());
  // Meanings by colour at the centre of the disc: green passed, red failed.
  EXPECT_GT(stepIcon(View::Icon::etat_ok).toImage().pixelColor(4, 12).green(), 120);
  EXPECT_GT(stepIcon(View::Icon::etat_nok).toImage().pixelColor(4, 12).red(), 180);
}

// Runs `answer` on the next modal dialog of that kind once it is up. The
// answer must close the dialog.
template <typename Dialog, typename Answer>
void answerModal(Answer answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    answer(dialog);
  });
}

QString fileNameBoxText(const QFileDialog* dialog) {
  const auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (box == nullptr) {
    ADD_FAILURE() << "the save dialog has no file name box";
    return QString();
  }
  return box->text();
}

TEST_F(ViewOperations, ErrorBoxShowsCaptionTextAndStopIconUntilOk) {
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  answerModal<QMessageBox>([&](QMessageBox* box) {
    caption = box->windowTitle();
    text = box->text();
    icon = box->icon();
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  });
  window.messageBox(QStringLiteral("Velnara"), QStringLiteral("Première ligne\rseconde ligne"),
                    View::MessageIcon::Error, true);
  EXPECT_EQ(caption, QStringLiteral("Velnara"));
  EXPECT_EQ(text, QStringLiteral("Première ligne\nseconde ligne"));
  EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST_F(ViewOperations, InformationBoxHasTheInformationIcon) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  answerModal<QMessageBox>([&](QMessageBox* box) {
    icon = box->icon();
    box->accept();
  });
  window.messageBox(QStringLiteral("Erreur au chargement..."), QStringLiteral("x"), View::MessageIcon::Information,
                    true);
  EXPECT_EQ(icon, QMessageBox::Information);
}

TEST_F(ViewOperations, BoxThatMustNotWaitNeverBlocks) {
  // Nobody answers: a box that waited would hang the test here.
  window.messageBox(QStringLiteral("Erreur au chargement..."), QStringLiteral("fin"), View::MessageIcon::Information,
                    false);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ViewOperations, SaveDialogAddsTheExtensionAndStartsAtTheOfferedFile) {
  QTemporaryDir dir;
  QString title, filter, offered;
  answerModal<QFileDialog>([&](QFileDialog* dialog) {
    title = dialog->windowTitle();
    filter = dialog->nameFilters().join(QLatin1Char(';'));
    offered = fileNameBoxText(dialog);
    dialog->selectFile(dir.filePath(QStringLiteral("rapport")));
    static_cast<QDialog*>(dialog)->accept();
  });
  const auto chosen =
      window.askSaveFileName(QStringLiteral("Sauvegarde du diagnostique Velnara"), QStringLiteral("Fichier RTF"),
                             QStringLiteral("*.rtf"), QStringLiteral("rtf"), QStringLiteral("diag-Velnara.rtf"));
  EXPECT_EQ(title, QStringLiteral("Sauvegarde du diagnostique Velnara"));
  EXPECT_EQ(filter, QStringLiteral("Fichier RTF (*.rtf)"));
  EXPECT_EQ(offered, QStringLiteral("diag-Velnara.rtf"));
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, dir.filePath(QStringLiteral("rapport.rtf")));
}

TEST_F(ViewOperations, SaveDialogOffersAnEarlierPathInItsFolder) {
  QTemporaryDir dir;
  QString folder, offered;
  answerModal<QFileDialog>([&](QFileDialog* dialog) {
    folder = dialog->directory().absolutePath();
    offered = fileNameBoxText(dialog);
    dialog->reject();
  });
  const auto chosen =
      window.askSaveFileName(QStringLiteral("t"), QStringLiteral("Fichier RTF"), QStringLiteral("*.rtf"),
                             QStringLiteral("rtf"), dir.filePath(QStringLiteral("avant.rtf")));
  EXPECT_FALSE(chosen.has_value());
  EXPECT_EQ(folder, QDir(dir.path()).absolutePath());
  EXPECT_EQ(offered, QStringLiteral("avant.rtf"));
}

TEST(RichTextHelpers, ColorrefIsBlueGreenRed) {
  EXPECT_EQ(toQColor(0x00FF0000), QColor(0, 0, 255));
  EXPECT_EQ(toQColor(0x00008000), QColor(0, 128, 0));
  EXPECT_EQ(toQColor(0x00000080), QColor(128, 0, 0));
  EXPECT_EQ(toQColor(0x00123456), QColor(0x56, 0x34, 0x12));
}

}  // namespace
