#pragma once
// One replacement: what the speech model writes, and what Orvello types in its place.
#include <string>

namespace orvello {

struct Replacement {
    // A word or phrase, matched as whole words whatever its letter case.
    std::u16string written;
    // Typed as it stands, letter case included; a line break is CR LF, and may be empty.
    std::u16string typed;

    friend bool operator==(const Replacement&, const Replacement&) = default;
};

}  // namespace orvello
