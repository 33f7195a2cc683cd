#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "trigger/raw_input_source.h"
#include "trigger/trigger_owner.h"
#include "trigger_test_support.h"

namespace orvello::test {

// Serves a fixed list of records round and round: input handle i reads record i modulo the list
// length. Reading costs an index, so measurements see the reader and not the fake.
class ReplayRawInputSource : public RawInputSource {
public:
    explicit ReplayRawInputSource(std::vector<RawKeyboardRecord> records)
        : records_(std::move(records)) {}

    bool registerKeyboardTarget(WindowHandle) override { return true; }
    std::optional<RawKeyboardRecord> readKeyboardRecord(RawInputHandle input) override {
        return records_[input % records_.size()];
    }
    bool readDeviceName(DeviceHandle device, std::u16string& name) override {
        name = device == 1 ? kNameA : kNameB;
        return true;
    }
    std::optional<std::vector<RawDeviceListEntry>> listDevices() override {
        return std::vector<RawDeviceListEntry>{{1, true}, {2, true}};
    }

    [[nodiscard]] std::size_t recordCount() const { return records_.size(); }

private:
    std::vector<RawKeyboardRecord> records_;
};

// A working day in miniature on two keyboards (handles 1 and 2): typing with capitals, a
// dictation on Right Ctrl with a stray Shift, a command on Right Ctrl + Right Alt, and the
// second keyboard holding the trigger alongside.
inline std::vector<RawKeyboardRecord> typicalKeystrokes() {
    std::vector<RawKeyboardRecord> records;
    auto tap = [&records](DeviceHandle device, ModifierKey key) {
        records.push_back(recordFor(device, key, true));
        records.push_back(recordFor(device, key, false));
    };
    auto down = [&records](DeviceHandle d, ModifierKey k) {
        records.push_back(recordFor(d, k, true));
    };
    auto up = [&records](DeviceHandle d, ModifierKey k) {
        records.push_back(recordFor(d, k, false));
    };

    using enum ModifierKey;
    for (int i = 0; i < 8; ++i) tap(1, Generic);
    down(1, LeftShift);
    tap(1, Generic);
    up(1, LeftShift);
    for (int i = 0; i < 5; ++i) down(1, RightCtrl);  // held, with auto-repeat: dictation
    down(1, LeftShift);
    up(1, LeftShift);
    up(1, RightCtrl);
    down(1, RightAlt);  // command trigger
    down(1, RightCtrl);
    up(1, RightCtrl);
    up(1, RightAlt);
    down(2, RightCtrl);  // both keyboards hold the trigger
    down(1, RightCtrl);
    up(2, RightCtrl);
    up(1, RightCtrl);
    tap(2, Generic);
    return records;
}

// Counts the requests without recording them, so that it never allocates.
class CountingOwner : public TriggerOwner {
public:
    bool startRequest(bool forCommandTrigger) override {
        ++starts;
        if (forCommandTrigger) ++commandStarts;
        return true;
    }
    void stopRequest() override { ++stops; }
    void handsFreeStarted() override {}
    void cancelTriggerCapture() override {}
    void refreshTriggerDisplay() override {}
    void saveTriggers() override {}

    long starts = 0;
    long commandStarts = 0;
    long stops = 0;
};

class CountingKeyMap : public KeyMapDisplay {
public:
    void SetPressedKeys(std::span<const ModifierKey> keys) override { keysShown += keys.size(); }
    std::size_t keysShown = 0;
};

class SilentMessages : public MessagePresenter {
public:
    void showMessage(MessageIcon, std::u16string_view) override {}
};

}  // namespace orvello::test
