#pragma once
// Pieces of one xdotool command line, so that a whole key sequence costs one call.
#include <string>

namespace orvello::test {

inline std::string down(int xKeycode) {
    return " keydown " + std::to_string(xKeycode);
}
inline std::string up(int xKeycode) {
    return " keyup " + std::to_string(xKeycode);
}
inline std::string tap(int xKeycode) {
    return down(xKeycode) + up(xKeycode);
}

}  // namespace orvello::test
