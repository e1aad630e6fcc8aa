#pragma once

#include <QString>

// Holds the single-instance guard named name for the life of the process.
// Returns false when another process of this user already holds it; any other
// failure lets the program start as a first instance.
bool acquireSingleInstance(const QString& name);
