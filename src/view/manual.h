// Texts the program shows about itself: the version, the About text and
// the user manual (docs/manual.txt, compiled in).
#pragma once
#include <string_view>

constexpr const char kVelkVersion[] = "1.4a";
std::string_view userManual();
// A version line and contact information for the About window.
std::string_view aboutText();
