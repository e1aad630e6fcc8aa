#include "platform/windows/WindowsShell.h"

#include <windows.h>

#include <shellapi.h>

#include <QDir>
#include <QFileInfo>

namespace {

const wchar_t* wide(const QString& text) { return reinterpret_cast<const wchar_t*>(text.utf16()); }

// The window of this process that has the focus, which the shell's own
// windows (the elevation prompt) belong to; none is fine too.
HWND ownerWindow() { return GetActiveWindow(); }

}  // namespace

bool WindowsShell::open(const QString& fileOrUrl) {
  const QString target = fileOrUrl.contains(QStringLiteral("://")) ? fileOrUrl : QDir::toNativeSeparators(fileOrUrl);
  // Above 32 is success; anything else is one of the shell's error codes.
  const auto result =
      reinterpret_cast<INT_PTR>(ShellExecuteW(ownerWindow(), L"open", wide(target), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

bool WindowsShell::runAsAdministrator(const QString& file) {
  if (!QFileInfo(file).isFile()) return false;
  const QString path = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
  SHELLEXECUTEINFOW request{};
  request.cbSize = sizeof request;
  // The shell finishes before returning and shows no error box of its own:
  // the program says itself when the start failed.
  request.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  request.hwnd = ownerWindow();
  request.lpVerb = L"runas";
  request.lpFile = wide(path);
  request.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&request) != FALSE;
}
