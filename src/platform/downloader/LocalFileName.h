#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// The name of a downloaded file, and the guard that keeps it inside the
// download folder.

// The file name a Content-Disposition header value gives (the RFC 6266
// "filename*" form first, then "filename"); empty when it gives none.
QString dispositionFileName(const QByteArray& headerValue);

// The name the server gives the file: the name in its Content-Disposition,
// or for a URL without a query its last path segment. Empty when it gives
// none: the URL of a script that serves files names none of them.
QString offeredFileName(const QUrl& url, const QString& dispositionName);

// Empty when the server offers the expected file (letter case aside, as
// Windows names go); otherwise the refusal, in French, naming both. The file
// always gets the expected name, whatever the case of the offered one.
QString offeredNameRefusal(const QString& offered, const QString& expected);

// Empty when `name` is a plain file name; otherwise why it is refused. A name
// with a folder part, "." or "..", a NUL or another control character could
// put the file somewhere else than the download folder, so none is accepted.
QString fileNameProblem(const QString& name);

// The full path of `name` inside `folder`, or an empty text (with `problem`
// set) when the name is refused or the path would leave the folder.
QString localPathFor(const QString& folder, const QString& name, QString* problem);
