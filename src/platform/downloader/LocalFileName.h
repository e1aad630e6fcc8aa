#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The name of a downloaded file, and the guard that keeps it inside the
// download folder.

// The file name a Content-Disposition header value gives (the RFC 6266
// "filename*" form first, then "filename"); empty when it gives none.
QString dispositionFileName(const QByteArray& headerValue);

// When the URL has a query part the file is named by the server (a script
// serves it); otherwise by the URL's last path segment. A query URL without a
// server name falls back to the last path segment too.
QString chooseFileName(const QUrl& url, const QString& serverName);

// Empty when `name` is a plain file name; otherwise why it is refused. A name
// with a folder part, "." or "..", a NUL or another control character could
// put the file somewhere else than the download folder, so none is accepted.
QString fileNameProblem(const QString& name);

// The full path of `name` inside `folder`, or an empty text (with `problem`
// set) when the name is refused or the path would leave the folder.
QString localPathFor(const QString& folder, const QString& name, QString* problem);
