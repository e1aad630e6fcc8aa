#pragma once

#include <QString>

// The texts of the errors a transfer reports, which the user reads in the
// download error box: a French sentence saying what failed, then, for
// support staff, the technical reason in libcurl's or the system's words.
// Refusals of what the server offers are French outright.
namespace download_text {

QString transferFailed(const QString& reason);
QString serverDidNotServe(const QString& reason);
QString badAnswer(const QString& reason);
QString fileFailed(const QString& reason);
QString cannotStart(const QString& reason);

// The server names another file than the expected one, or none.
QString otherFileOffered(const QString& offered, const QString& expected);
QString noFileNameOffered(const QString& expected);
QString announcedTooLarge(qint64 size, qint64 limit);
QString grewTooLarge(qint64 limit);
QString notEnoughSpace(const QString& folder, qint64 size, qint64 available);
QString endNotVerifiable();
// A redirect from https to another protocol.
QString insecureRedirect(const QString& location);

// A text the server chose, fit to be shown: control characters replaced and
// the length bounded.
QString shownServerText(const QString& text);

}  // namespace download_text
