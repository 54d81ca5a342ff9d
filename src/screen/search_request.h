// What the user asks a search for, as typed into the Find dialog: a text
// read as hexadecimal bytes or as Latin-1 characters, the latter matched
// with or without regard to case.
#pragma once

#include <string>

namespace brovane {

struct SearchRequest {
    std::string text;
    bool hexadecimal = false;
    bool matchCase = true;
};

}  // namespace brovane
