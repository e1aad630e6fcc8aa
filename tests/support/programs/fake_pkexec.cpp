// A stand-in for pkexec in tests, meant to be installed setuid root as
// Debian installs pkexec: it writes who it runs as into "record" beside
// itself, then refuses as pkexec does (exit 126) when a file "refuse" lies
// beside it, or else becomes the program it was given, as pkexec does once
// the administrator has authorised it.
#include <unistd.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2 || argv[1][0] != '/') return 127;
  // Started by name from PATH, so its folder comes from the kernel.
  char self[4096] = {};
  if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) return 127;
  const std::string path = self;
  const std::string folder = path.substr(0, path.rfind('/') + 1);
  if (FILE* record = std::fopen((folder + "record").c_str(), "w")) {
    std::fprintf(record, "euid=%d uid=%d\n", static_cast<int>(geteuid()), static_cast<int>(getuid()));
    std::fclose(record);
  }
  if (access((folder + "refuse").c_str(), F_OK) == 0) return 126;
  // pkexec runs the program as root, with root's identity throughout.
  if (setuid(0) != 0) return 127;
  execv(argv[1], argv + 1);
  return 127;
}
