#pragma once

class QApplication;

// Applies the light, flat theme "Windows10 Office Light" carried in the
// program's resources. When it cannot be loaded the program keeps the
// standard look and says so on standard error; returns whether it applied.
bool applyTheme(QApplication& app);
