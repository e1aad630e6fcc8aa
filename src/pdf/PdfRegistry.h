#pragma once
// The registry of named classes the writer makes on request: the twelve
// standard fonts and the image creators. It is filled once, on first use,
// and never changes afterwards.

#include <memory>
#include <string>

namespace pdf {

class TPdfFont;
class TPdfImageCreator;
class TPdfXref;

// The font registered under AName, made for AXref; nullptr when the name is
// not a registered font.
std::unique_ptr<TPdfFont> CreateRegisteredFont(const std::u16string& AName, TPdfXref& AXref);

// A creator of the class registered under AName; nullptr when the name is
// not a registered image creator.
std::unique_ptr<TPdfImageCreator> CreateRegisteredImageCreator(const std::u16string& AName);

} // namespace pdf
