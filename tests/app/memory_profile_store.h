#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "app/profile_store.h"

namespace orvello::test {

// A profile section in memory that behaves like the registry (a value of the other type reads
// as the fallback) and records every access as "read Name" or "write Name", in order.
class MemoryProfileStore final : public ProfileStore {
public:
    using Value = std::variant<std::int32_t, std::u16string>;

    std::map<std::u16string, Value, std::less<>> values;
    std::vector<std::string> accesses;

    [[nodiscard]] std::int32_t ReadInt(std::u16string_view name, std::int32_t fallback) override {
        Record("read", name);
        const auto found = values.find(name);
        if (found == values.end()) return fallback;
        const auto* value = std::get_if<std::int32_t>(&found->second);
        return value ? *value : fallback;
    }

    [[nodiscard]] std::u16string ReadString(std::u16string_view name,
                                            std::u16string_view fallback) override {
        Record("read", name);
        const auto found = values.find(name);
        if (found == values.end()) return std::u16string(fallback);
        const auto* value = std::get_if<std::u16string>(&found->second);
        return value ? *value : std::u16string(fallback);
    }

    void WriteInt(std::u16string_view name, std::int32_t value) override {
        Record("write", name);
        values.insert_or_assign(std::u16string(name), value);
    }

    void WriteString(std::u16string_view name, std::u16string_view value) override {
        Record("write", name);
        values.insert_or_assign(std::u16string(name), std::u16string(value));
    }

    [[nodiscard]] std::vector<std::string> Writes() const {
        std::vector<std::string> writes;
        for (const std::string& access : accesses) {
            if (access.starts_with("write ")) writes.push_back(access);
        }
        return writes;
    }

private:
    // Value names are ASCII, so they narrow unit by unit.
    void Record(const char* verb, std::u16string_view name) {
        accesses.push_back(std::string(verb) + ' ' + std::string(name.begin(), name.end()));
    }
};

}  // namespace orvello::test
