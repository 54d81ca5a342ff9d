// The program's texts are 8-bit; the GUI shows them as Latin-1.
#pragma once

#include <QString>
#include <string_view>

namespace brovane {

inline QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace brovane
