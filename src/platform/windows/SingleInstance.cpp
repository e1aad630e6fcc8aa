#include "platform/SingleInstance.h"

#include <windows.h>

bool acquireSingleInstance(const QString& name) {
  // Default security, not owned: the mutex only marks that a copy runs in
  // this session. Its handle is kept until the process ends.
  SetLastError(ERROR_SUCCESS);
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, reinterpret_cast<const wchar_t*>(name.utf16()));
  if (mutex == nullptr) return true;  // any other failure: start as a first instance
  return GetLastError() != ERROR_ALREADY_EXISTS;
}
