#include "engine/processor_features.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace orvello {

#if defined(__x86_64__) || defined(__i386__)

namespace {

std::string Hex(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

// The enabled state of the AVX and AVX-512 registers: the runtime only uses what the operating
// system saves on a context switch.
std::uint32_t EnabledRegisterStates(std::uint32_t leaf1Ecx) {
    constexpr std::uint32_t kOsXsave = 1u << 27;
    if (!(leaf1Ecx & kOsXsave)) return 0;
    std::uint32_t low = 0, high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return low;
}

}  // namespace

// Leaf 1's EBX is left out: it holds the number of the core that happened to answer.
std::string ProcessorFeatures() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(0, &a, &b, &c, &d)) return "unknown";
    char vendor[13] = {};
    std::memcpy(vendor, &b, 4);
    std::memcpy(vendor + 4, &d, 4);
    std::memcpy(vendor + 8, &c, 4);
    const unsigned highestLeaf = a;
    std::string features = std::string(vendor);
    __get_cpuid(1, &a, &b, &c, &d);
    features += " " + Hex(c) + Hex(d) + " " + Hex(EnabledRegisterStates(c));
    if (highestLeaf >= 7) {
        __cpuid_count(7, 0, a, b, c, d);
        features += " " + Hex(b) + Hex(c) + Hex(d);
        __cpuid_count(7, 1, a, b, c, d);
        features += " " + Hex(a);
    }
    return features;
}

#else

std::string ProcessorFeatures() {
    return "unknown";
}

#endif

}  // namespace orvello
