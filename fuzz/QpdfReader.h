#pragma once

// Reads a written one-page PDF back with qpdf, without its recovery, and
// hands back what the targets compare. Kept free of qpdf's headers: they
// build only as C++17 with this compiler.

#include <map>
#include <string>
#include <vector>

struct ReadBackPage {
  std::map<std::string, std::string> strings;  // page entries holding strings, by key ("/Key")
  std::map<std::string, std::string> names;    // page entries holding names, by key
  std::vector<std::string> shownTexts;         // the string operand of each Tj
  struct Image {
    long long width = 0, height = 0;
    std::string filter;
    std::string data;  // the stream as stored
  };
  std::vector<Image> images;
};

// Throws std::runtime_error with qpdf's words when qpdf refuses the file,
// would have to repair it, or warns about it, or when it has not one page.
ReadBackPage readSinglePage(const std::string& pdfBytes);
