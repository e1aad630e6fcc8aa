#pragma once

#include <QString>

// Reads the four-part version of an ELF file (32- or 64-bit, little-endian)
// from its "FileVersion" note, type 1, whose 8-byte descriptor holds the most
// and least significant 32-bit halves of the version. The file is read, never
// loaded. Gives "a.b.c.d", or an empty text for a missing, non-ELF, malformed
// or truncated file, or one without the note.
QString readElfFileVersion(const QString& path);
