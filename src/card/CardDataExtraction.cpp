// The card data XML turned into the certificate's rows: one row of texts per
// beneficiary, the first also holding the scheme data and its two labels.
#include "app/Tppal.h"
#include "platform/AnsiCodePage.h"
#include "platform/XmlDocument.h"

namespace {
constexpr size_t kBeneficiarySlots = 6;
constexpr size_t kFirstRowSlots = 60;
constexpr size_t kSchemeLabelSlot = 51;
constexpr size_t kFundLabelSlot = 52;
}  // namespace

void Tppal::extractCardData(const QByteArray& xml) {
  contenu_xml = p.newXmlDocument();
  // Held here as well: a run started from one of the pumps below may replace
  // contenu_xml, and the elements in use belong to this document.
  const std::shared_ptr<XmlDocument> document = contenu_xml;
  document->loadFromBytes(xml);
  XmlNode& root = document->root(QStringLiteral("T_AsnDonneesVitale"));
  carte_numserie = root.child(QStringLiteral("tech")).child(QStringLiteral("numSerie")).text();

  XmlNode& beneficiaries = root.child(QStringLiteral("listeBenef"));
  appli_xml_cnt2 = beneficiaries.childCount();
  appli_xml_cnt1 = 0;
  appli_xml_ext.assign(size_t(appli_xml_cnt2), {});

  // The first pass always runs: an empty list fails at its first child.
  do {
    const int i = appli_xml_cnt1;
    view.appendKnownReader(QStringLiteral("PASSE"));
    XmlNode& ident = beneficiaries.childAt(i).child(QStringLiteral("ident"));
    std::vector<QString>& row = appli_xml_ext.at(size_t(i));
    row.assign(kBeneficiarySlots, QString());
    row[0] = ident.child(QStringLiteral("nomUsuel")).text();
    row[1] = ident.child(QStringLiteral("nomPatronymique")).text();
    row[2] = ident.child(QStringLiteral("prenomUsuel")).text();
    row[3] = ident.child(QStringLiteral("nir")).text();
    row[4] = ident.child(QStringLiteral("naissance")).child(QStringLiteral("date")).text();
    row[5] = ident.child(QStringLiteral("rangDeNaissance")).text();
    pump();
    if (i == 0) extractSchemeData(beneficiaries.childAt(0).child(QStringLiteral("amo")));
    appli_xml_cnt1 = i + 1;
  } while (appli_xml_cnt1 < appli_xml_cnt2);
}

void Tppal::extractSchemeData(XmlNode& amo) {
  // Only the first beneficiary's scheme is read; rows are re-found after each
  // pump rather than held across it.
  const auto firstRow = [this]() -> std::vector<QString>& { return appli_xml_ext.at(0); };
  firstRow().resize(kFirstRowSlots);
  firstRow()[6] = amo.child(QStringLiteral("codeRegime")).text();
  firstRow()[7] = amo.child(QStringLiteral("caisse")).text();
  firstRow()[8] = amo.child(QStringLiteral("centreCarte")).text();
  firstRow()[9] = amo.child(QStringLiteral("codeGestion")).text();

  const QString scheme = firstRow()[6];
  const QString fund = scheme + firstRow()[7] + firstRow()[8];

  app_dico_table = 1;
  app_dico_code = encodeAnsi(scheme);
  dictionnaire_lec();
  pump();
  firstRow().at(kSchemeLabelSlot) = decodeAnsi(app_dico_texte_retour);

  app_dico_table = 2;
  app_dico_code = encodeAnsi(fund);
  dictionnaire_lec();
  pump();
  firstRow().at(kFundLabelSlot) = decodeAnsi(app_dico_texte_retour);
  pump();
}
