#pragma once

#include <QString>

class LinuxHost;

// The one instance of each management class this machine answers with, in
// managed-object text. A fact that cannot be read leaves its property null.
QString operatingSystemInstance(const LinuxHost& host);
QString biosInstance(const LinuxHost& host);
QString processorInstance(const LinuxHost& host);
