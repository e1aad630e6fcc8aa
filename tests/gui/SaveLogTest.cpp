// " Sauver Fichier" from the click to the file: the real save dialog,
// answered the way a user does.
#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

#include "GuiFixture.h"

namespace {

// Picks name in the next save dialog and accepts it; reports what the dialog
// offered, and the texts of its buttons and labels when asked. Whatever goes
// wrong, the dialog is closed so the test cannot hang.
void answerSaveDialog(const QString& name, QString* offered, QStringList* texts = nullptr) {
  QTimer::singleShot(0, [name, offered, texts] {
    QFileDialog* dialog = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* candidate = qobject_cast<QFileDialog*>(top); candidate && candidate->isVisible()) dialog = candidate;
    ASSERT_NE(dialog, nullptr);
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit == nullptr) {
      ADD_FAILURE() << "no file name box";
      dialog->reject();
      return;
    }
    *offered = edit->text();
    if (texts) {
      for (const QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
        if (!button->text().isEmpty()) *texts << button->text().remove(u'&');
      for (const QLabel* label : dialog->findChildren<QLabel*>())
        if (!label->text().isEmpty()) *texts << label->text().remove(u'&');
    }
    // As a user choosing another file: the earlier one is no longer selected.
    dialog->selectFile(name);
    static_cast<QDialog*>(dialog)->accept();
  });
}

// Qt's own dialog speaks French, as the rest of the program.
TEST_F(GuiTest, TheSaveDialogSpeaksFrench) {
  runOnce();
  click(QStringLiteral("btn_diagnostique"));
  QString offered;
  QStringList texts;
  answerSaveDialog(install.dir.filePath(QStringLiteral("diagnostic")), &offered, &texts);
  click(QStringLiteral("btn_sauve_fichier"));
  EXPECT_TRUE(texts.contains(QStringLiteral("Enregistrer"))) << texts.join(u'|').toStdString();
  EXPECT_TRUE(texts.contains(QStringLiteral("Annuler"))) << texts.join(u'|').toStdString();
  for (const QString& english :
       {QStringLiteral("Save"), QStringLiteral("Cancel"), QStringLiteral("File name:"), QStringLiteral("Look in:")})
    EXPECT_FALSE(texts.contains(english)) << english.toStdString();
}

TEST_F(GuiTest, SavedLogIsAnRtfFileNamedAsTyped) {
  runOnce();
  click(QStringLiteral("btn_diagnostique"));
  QString offered;
  answerSaveDialog(install.dir.filePath(QStringLiteral("diagnostic")), &offered);
  click(QStringLiteral("btn_sauve_fichier"));
  EXPECT_EQ(offered, QStringLiteral("diag-Velnara.rtf"));
  EXPECT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
  QFile saved(install.dir.filePath(QStringLiteral("diagnostic.rtf")));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QByteArray rtf = saved.readAll();
  EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
  EXPECT_TRUE(rtf.contains("Tahoma"));

  // The next save offers the file chosen before.
  answerSaveDialog(install.dir.filePath(QStringLiteral("encore.rtf")), &offered);
  click(QStringLiteral("btn_sauve_fichier"));
  EXPECT_EQ(offered, QStringLiteral("diagnostic.rtf"));
  EXPECT_TRUE(QFile::exists(install.dir.filePath(QStringLiteral("encore.rtf"))));
  EXPECT_EQ(pageShown(), QStringLiteral("tab_debug"));
}

TEST_F(GuiTest, WindowCanBeCentredOnItsScreen) {
  window.centreOnScreen();
  const QPoint middle = window.screen()->availableGeometry().center();
  const QPoint centre = window.frameGeometry().center();
  EXPECT_LE((centre - middle).manhattanLength(), 2);
}

}  // namespace
