// Row 1 of the run: every file the installation lists is there, and most of
// them have the expected size.
#include <stdexcept>

#include <QDir>

#include "app/Tppal.h"
#include "platform/ConfigDatabase.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/SystemPaths.h"

namespace {
QString requiredText(const std::optional<QString>& value, const char* column) {
  if (!value)
    throw std::runtime_error(std::string("Valeur absente dans la colonne ") + column + " de la table fichiers");
  return *value;
}
}  // namespace

void Tppal::check_fichiers() {
  runStep({View::StepRow::Image_etat1, QStringLiteral("\r\nContrôle des fichiers\r\n"),
           QStringLiteral("Contrôle des fichiers"), QStringLiteral("Fichier(s) manquant(s) !")},
          [this] {
            ConfigDatabase& db = *p.db;
            db.clearSql();
            db.setSql(QStringLiteral("SELECT id, nom, dossier, taille FROM fichiers ORDER BY id ASC"));
            db.open();
            db.first();
            while (!db.eof()) {
              const QString nom = requiredText(db.field(1), "nom");
              const QString dossier = requiredText(db.field(2), "dossier");
              const QString taille = requiredText(db.field(3), "taille");
              AddDebugText(nom + QStringLiteral(" (") + dossier + QStringLiteral(") : "), fsNone, colors::black);

              QString path;
              if (dossier == QStringLiteral("N/A"))
                path = p.folders->executableDir() + kPathSeparator + nom;
              else if (dossier == QStringLiteral("apilec"))
                path = appli_dossier_apilec + nom;
              else
                path = dossier + nom;
              path = QDir::current().absoluteFilePath(path);

              if (!p.files->fileExists(path)) {
                AddDebugText(QStringLiteral("manquant\r\n"), fsBold, colors::red);
                appli_check_continue = 1;
              } else if (taille == QStringLiteral("0")) {
                AddDebugText(QStringLiteral("présent (taille non contrôlée)\r\n"), fsBold, colors::green);
              } else {
                const qint32 size = p.files->fileSize(path);
                bool whole = false;
                const qlonglong expected = taille.toLongLong(&whole, 10);
                if (!whole) throw std::runtime_error("Taille attendue invalide : " + taille.toStdString());
                if (size == expected) {
                  AddDebugText(QStringLiteral("présent (taille valide)\r\n"), fsBold, colors::green);
                } else {
                  AddDebugText(QStringLiteral("taille incorrecte (") + QString::number(size) + QStringLiteral("!=") +
                                   taille + QStringLiteral(")\r\n"),
                               fsBold, colors::red);
                  appli_check_continue = 1;
                }
              }
              db.next();
            }
            db.close();
          });
}
