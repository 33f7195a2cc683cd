#include "app/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory_profile_store.h"

namespace orvello {
namespace {

using test::MemoryProfileStore;
using Keys = std::vector<ModifierKey>;
using Accesses = std::vector<std::string>;
constexpr auto LS = ModifierKey::LeftShift;
constexpr auto RS = ModifierKey::RightShift;
constexpr auto LC = ModifierKey::LeftCtrl;
constexpr auto RC = ModifierKey::RightCtrl;
constexpr auto LA = ModifierKey::LeftAlt;
constexpr auto RA = ModifierKey::RightAlt;

Settings LoadAll(MemoryProfileStore& profile) {
    Settings settings;
    LoadTriggerAndDspSettings(profile, settings);
    LoadOptionSettings(profile, settings);
    return settings;
}

TEST(SettingsLoading, AnEmptyProfileGivesTheFirstRunDefaults) {
    MemoryProfileStore profile;
    const Settings settings = LoadAll(profile);

    EXPECT_EQ(settings.dictationTrigger.keys, Keys{RC});
    EXPECT_TRUE(settings.dictationTrigger.anyKeyboard);
    EXPECT_EQ(settings.dictationTrigger.deviceId, u"");
    EXPECT_EQ(settings.commandTrigger.keys, (Keys{RC, RA}));
    EXPECT_TRUE(settings.commandTrigger.anyKeyboard);
    EXPECT_EQ(settings.commandTrigger.deviceId, u"");
    EXPECT_TRUE(isSplitMode(settings.dictationTrigger, settings.commandTrigger));
    EXPECT_TRUE(settings.dspEnabled);
    EXPECT_EQ(settings.noiseGate, 10);
    EXPECT_EQ(settings.lowCutHz, 90);
    EXPECT_TRUE(settings.appendSpace);
    EXPECT_FALSE(settings.appendNewline);
    EXPECT_FALSE(settings.startMinimized);
    EXPECT_FALSE(settings.usePaste);
    EXPECT_TRUE(settings.fasterEngineStart);
    EXPECT_FALSE(settings.keepHistory);
    EXPECT_TRUE(settings.restoreClipboard);
    EXPECT_TRUE(settings.showTextWhileSpeaking);
    EXPECT_TRUE(profile.Writes().empty());
}

TEST(SettingsLoading, ReadsTheValuesInStartUpOrderAndWritesNothing) {
    MemoryProfileStore anyKeyboard;
    LoadAll(anyKeyboard);
    EXPECT_EQ(anyKeyboard.accesses,
              (Accesses{"read TriggerMask", "read TriggerAnyKeyboard", "read TriggerDeviceId",
                        "read CmdTriggerMask", "read DspEnabled", "read NoiseGate", "read LowCutHz",
                        "read AppendSpace", "read AppendNewline", "read StartMinimized",
                        "read UsePaste", "read RestoreClipboard", "read FasterEngineStart",
                        "read KeepHistory", "read ShowTextWhileSpeaking"}));

    // The command trigger's keyboard is read only for a specific scope.
    MemoryProfileStore specific;
    specific.values[u"TriggerAnyKeyboard"] = 0;
    specific.values[u"NoiseGate"] = 500;
    Settings settings;
    LoadTriggerAndDspSettings(specific, settings);
    EXPECT_EQ(specific.accesses,
              (Accesses{"read TriggerMask", "read TriggerAnyKeyboard", "read TriggerDeviceId",
                        "read CmdTriggerMask", "read CmdTriggerDeviceId", "read DspEnabled",
                        "read NoiseGate", "read LowCutHz"}));
    EXPECT_TRUE(specific.Writes().empty());
}

TEST(SettingsLoading, StoredValuesReplaceEveryDefault) {
    MemoryProfileStore profile;
    profile.values = {{u"TriggerMask", 0x11},
                      {u"TriggerAnyKeyboard", 0},
                      {u"TriggerDeviceId", u"\\\\?\\HID#A"},
                      {u"CmdTriggerMask", 0x06},
                      {u"CmdTriggerDeviceId", u"\\\\?\\HID#B"},
                      {u"DspEnabled", 0},
                      {u"NoiseGate", 37},
                      {u"LowCutHz", 150},
                      {u"AppendSpace", 0},
                      {u"AppendNewline", 1},
                      {u"StartMinimized", 1},
                      {u"UsePaste", 1},
                      {u"FasterEngineStart", 0},
                      {u"KeepHistory", 1},
                      {u"RestoreClipboard", 0},
                      {u"ShowTextWhileSpeaking", 0}};
    const Settings settings = LoadAll(profile);

    EXPECT_EQ(settings.dictationTrigger.keys, (Keys{LS, LA}));
    EXPECT_FALSE(settings.dictationTrigger.anyKeyboard);
    EXPECT_EQ(settings.dictationTrigger.deviceId, u"\\\\?\\HID#A");
    EXPECT_EQ(settings.commandTrigger.keys, (Keys{RS, LC}));
    EXPECT_FALSE(settings.commandTrigger.anyKeyboard);
    EXPECT_EQ(settings.commandTrigger.deviceId, u"\\\\?\\HID#B");
    EXPECT_FALSE(settings.dspEnabled);
    EXPECT_EQ(settings.noiseGate, 37);
    EXPECT_EQ(settings.lowCutHz, 150);
    EXPECT_FALSE(settings.appendSpace);
    EXPECT_TRUE(settings.appendNewline);
    EXPECT_TRUE(settings.startMinimized);
    EXPECT_TRUE(settings.usePaste);
    EXPECT_FALSE(settings.fasterEngineStart);
    EXPECT_TRUE(settings.keepHistory);
    EXPECT_FALSE(settings.restoreClipboard);
    EXPECT_FALSE(settings.showTextWhileSpeaking);
}

TEST(SettingsLoading, LevelsAreClampedInMemoryOnly) {
    struct Case {
        std::int32_t storedGate, storedLowCut, gate, lowCut;
    };
    const Case cases[] = {
        {250, static_cast<std::int32_t>(4294967291u), 100, 0},  // the DWORD 4294967291 is -5
        {101, 201, 100, 200},
        {-1, -200, 0, 0},
        {0, 0, 0, 0},
        {100, 200, 100, 200},
        {INT32_MIN, INT32_MAX, 0, 200},
    };
    for (const Case& c : cases) {
        MemoryProfileStore profile;
        profile.values[u"NoiseGate"] = c.storedGate;
        profile.values[u"LowCutHz"] = c.storedLowCut;
        const Settings settings = LoadAll(profile);
        EXPECT_EQ(settings.noiseGate, c.gate) << c.storedGate;
        EXPECT_EQ(settings.lowCutHz, c.lowCut) << c.storedLowCut;
        EXPECT_EQ(std::get<std::int32_t>(profile.values[u"NoiseGate"]), c.storedGate);
        EXPECT_TRUE(profile.Writes().empty());
    }
}

TEST(SettingsLoading, OnlyTheSixLowMaskBitsMakeKeys) {
    MemoryProfileStore profile;
    profile.values[u"TriggerMask"] = 0;
    profile.values[u"CmdTriggerMask"] = -1;  // every bit set
    Settings settings = LoadAll(profile);
    EXPECT_FALSE(settings.dictationTrigger.isSet());
    EXPECT_EQ(triggerText(settings.dictationTrigger), u"Not set");
    EXPECT_EQ(settings.commandTrigger.keys, (Keys{LS, RS, LC, RC, LA, RA}));

    profile.values[u"TriggerMask"] = 0x48;
    profile.values[u"CmdTriggerMask"] = 0x40;
    settings = LoadAll(profile);
    EXPECT_EQ(settings.dictationTrigger.keys, Keys{RC});
    EXPECT_FALSE(settings.commandTrigger.isSet());
}

TEST(SettingsLoading, AnyNonZeroIntegerIsTrue) {
    for (std::int32_t stored : {1, 2, -1, INT32_MIN}) {
        MemoryProfileStore profile;
        for (auto name : {u"DspEnabled", u"AppendSpace", u"AppendNewline", u"StartMinimized",
                          u"UsePaste", u"TriggerAnyKeyboard"}) {
            profile.values[name] = stored;
        }
        const Settings settings = LoadAll(profile);
        EXPECT_TRUE(settings.dspEnabled && settings.appendSpace && settings.appendNewline &&
                    settings.startMinimized && settings.usePaste &&
                    settings.dictationTrigger.anyKeyboard)
            << stored;
    }
    MemoryProfileStore zeros;
    for (auto name : {u"DspEnabled", u"AppendSpace", u"TriggerAnyKeyboard"}) {
        zeros.values[name] = 0;
    }
    const Settings settings = LoadAll(zeros);
    EXPECT_FALSE(settings.dspEnabled || settings.appendSpace ||
                 settings.dictationTrigger.anyKeyboard);
}

TEST(SettingsLoading, AnyKeyboardScopeDropsStoredDeviceIds) {
    MemoryProfileStore profile;
    profile.values[u"TriggerAnyKeyboard"] = 1;
    profile.values[u"TriggerDeviceId"] = u"\\\\?\\HID#STALE";
    profile.values[u"CmdTriggerDeviceId"] = u"\\\\?\\HID#STALE";
    const Settings settings = LoadAll(profile);
    EXPECT_EQ(settings.dictationTrigger.deviceId, u"");
    EXPECT_TRUE(settings.commandTrigger.anyKeyboard);
    EXPECT_EQ(settings.commandTrigger.deviceId, u"");

    // The next save of the trigger stores the id empty.
    SaveDictationTrigger(profile, settings.dictationTrigger);
    EXPECT_EQ(std::get<std::u16string>(profile.values[u"TriggerDeviceId"]), u"");
}

TEST(SettingsLoading, CommandTriggerTakesTheDictationScope) {
    MemoryProfileStore profile;
    profile.values[u"TriggerAnyKeyboard"] = 0;
    profile.values[u"TriggerDeviceId"] = u"\\\\?\\HID#A";
    const Settings settings = LoadAll(profile);
    EXPECT_FALSE(settings.commandTrigger.anyKeyboard);
    EXPECT_EQ(settings.commandTrigger.deviceId, u"");  // specific, but no keyboard stored yet
    EXPECT_EQ(settings.dictationTrigger.deviceId, u"\\\\?\\HID#A");
}

TEST(SettingsLoading, ValuesOfTheWrongTypeReadAsDefaults) {
    MemoryProfileStore profile;
    profile.values = {{u"TriggerMask", u"40"},    {u"TriggerAnyKeyboard", 0},
                      {u"TriggerDeviceId", 7},    {u"CmdTriggerMask", u"1"},
                      {u"CmdTriggerDeviceId", 7}, {u"DspEnabled", u"0"},
                      {u"NoiseGate", u"50"},      {u"LowCutHz", u"5"},
                      {u"AppendSpace", u"0"},     {u"UsePaste", u"1"}};
    const Settings settings = LoadAll(profile);
    EXPECT_EQ(settings.dictationTrigger.keys, Keys{RC});
    EXPECT_EQ(settings.dictationTrigger.deviceId, u"");
    EXPECT_EQ(settings.commandTrigger.keys, (Keys{RC, RA}));
    EXPECT_EQ(settings.commandTrigger.deviceId, u"");
    EXPECT_TRUE(settings.dspEnabled);
    EXPECT_EQ(settings.noiseGate, 10);
    EXPECT_EQ(settings.lowCutHz, 90);
    EXPECT_TRUE(settings.appendSpace);
    EXPECT_FALSE(settings.usePaste);
}

TEST(SettingsLoading, TheTriggerModeIsItsStoredNumberAndAnythingElseHold) {
    const std::pair<MemoryProfileStore::Value, TriggerMode> cases[] = {{0, TriggerMode::Hold},
                                                                       {1, TriggerMode::Auto},
                                                                       {2, TriggerMode::Toggle},
                                                                       {3, TriggerMode::Hold},
                                                                       {u"1", TriggerMode::Hold}};
    for (const auto& [stored, mode] : cases) {
        MemoryProfileStore profile;
        profile.values[u"TriggerMode"] = stored;
        Settings settings;
        LoadTriggerMode(profile, settings);
        EXPECT_EQ(settings.triggerMode, mode);
        EXPECT_TRUE(profile.Writes().empty());
    }
    Settings toggle;
    toggle.triggerMode = TriggerMode::Toggle;
    MemoryProfileStore profile;
    SaveTriggerMode(profile, toggle);
    EXPECT_EQ(profile.values[u"TriggerMode"], MemoryProfileStore::Value(2));
}

TEST(SettingsSaving, EachOperationWritesItsValuesInOrder) {
    Settings settings;
    settings.dictationTrigger = {{LC, RA}, false, u"\\\\?\\HID#A"};
    settings.commandTrigger = {{RS}, false, u"\\\\?\\HID#B"};
    settings.noiseGate = 55;
    settings.lowCutHz = 120;
    struct Case {
        void (*save)(ProfileStore&, const Settings&);
        Accesses writes;
    };
    const Case cases[] = {
        {[](ProfileStore& p, const Settings& s) { SaveDictationTrigger(p, s.dictationTrigger); },
         {"write TriggerMask", "write TriggerAnyKeyboard", "write TriggerDeviceId"}},
        {[](ProfileStore& p, const Settings& s) { SaveCommandTrigger(p, s.commandTrigger); },
         {"write CmdTriggerMask", "write CmdTriggerDeviceId"}},
        {SaveDspEnabled, {"write DspEnabled"}},
        {SaveDspLevels, {"write NoiseGate", "write LowCutHz"}},
        {SaveTextOptions, {"write AppendSpace", "write AppendNewline"}},
        {SaveStartMinimized, {"write StartMinimized"}},
        {SaveUsePaste, {"write UsePaste"}},
        {SaveFasterEngineStart, {"write FasterEngineStart"}},
        {SaveKeepHistory, {"write KeepHistory"}},
        {SaveRestoreClipboard, {"write RestoreClipboard"}},
        {SaveShowTextWhileSpeaking, {"write ShowTextWhileSpeaking"}},
    };
    for (const Case& c : cases) {
        MemoryProfileStore profile;
        c.save(profile, settings);
        EXPECT_EQ(profile.accesses, c.writes);
    }
}

TEST(SettingsSaving, WrittenValuesHaveTheirStoredForm) {
    MemoryProfileStore profile;
    Settings settings;
    settings.dictationTrigger = {{RC, LS}, false, u"\\\\?\\HID#A"};
    settings.commandTrigger = {{RC, RA}, true, u"\\\\?\\HID#B"};  // any keyboard: id not stored
    settings.dspEnabled = false;
    settings.noiseGate = 0;
    settings.lowCutHz = 200;
    settings.appendNewline = true;
    settings.startMinimized = true;
    SaveDictationTrigger(profile, settings.dictationTrigger);
    SaveCommandTrigger(profile, settings.commandTrigger);
    SaveDspEnabled(profile, settings);
    SaveDspLevels(profile, settings);
    SaveTextOptions(profile, settings);
    SaveStartMinimized(profile, settings);
    SaveUsePaste(profile, settings);

    const std::map<std::u16string, MemoryProfileStore::Value, std::less<>> expected = {
        {u"TriggerMask", 0x09},
        {u"TriggerAnyKeyboard", 0},
        {u"TriggerDeviceId", u"\\\\?\\HID#A"},
        {u"CmdTriggerMask", 0x28},
        {u"CmdTriggerDeviceId", u""},
        {u"DspEnabled", 0},
        {u"NoiseGate", 0},
        {u"LowCutHz", 200},
        {u"AppendSpace", 1},
        {u"AppendNewline", 1},
        {u"StartMinimized", 1},
        {u"UsePaste", 0}};
    EXPECT_EQ(profile.values, expected);
}

TEST(SettingsSaving, SavedSettingsLoadBackUnchanged) {
    Settings saved;
    saved.dictationTrigger = {{LS, RA}, false, u"\\\\?\\HID#VID_046D&PID_C52B&MI_00"};
    saved.commandTrigger = {{LC}, false, u"\\\\?\\HID#VID_1234&PID_0001"};
    saved.dspEnabled = false;
    saved.noiseGate = 73;
    saved.lowCutHz = 12;
    saved.appendSpace = false;
    saved.appendNewline = true;
    saved.startMinimized = true;
    saved.usePaste = true;
    saved.fasterEngineStart = false;
    saved.restoreClipboard = false;
    saved.showTextWhileSpeaking = false;
    MemoryProfileStore profile;
    SaveDictationTrigger(profile, saved.dictationTrigger);
    SaveCommandTrigger(profile, saved.commandTrigger);
    SaveDspEnabled(profile, saved);
    SaveDspLevels(profile, saved);
    SaveTextOptions(profile, saved);
    SaveStartMinimized(profile, saved);
    SaveUsePaste(profile, saved);
    SaveFasterEngineStart(profile, saved);
    SaveRestoreClipboard(profile, saved);
    SaveShowTextWhileSpeaking(profile, saved);

    const Settings loaded = LoadAll(profile);
    EXPECT_TRUE(triggersEqual(loaded.dictationTrigger, saved.dictationTrigger));
    EXPECT_EQ(loaded.dictationTrigger.deviceId, saved.dictationTrigger.deviceId);
    EXPECT_TRUE(triggersEqual(loaded.commandTrigger, saved.commandTrigger));
    EXPECT_EQ(loaded.commandTrigger.deviceId, saved.commandTrigger.deviceId);
    EXPECT_EQ(loaded.dspEnabled, saved.dspEnabled);
    EXPECT_EQ(loaded.noiseGate, saved.noiseGate);
    EXPECT_EQ(loaded.lowCutHz, saved.lowCutHz);
    EXPECT_EQ(loaded.appendSpace, saved.appendSpace);
    EXPECT_EQ(loaded.appendNewline, saved.appendNewline);
    EXPECT_EQ(loaded.startMinimized, saved.startMinimized);
    EXPECT_EQ(loaded.usePaste, saved.usePaste);
    EXPECT_EQ(loaded.fasterEngineStart, saved.fasterEngineStart);
    EXPECT_EQ(loaded.restoreClipboard, saved.restoreClipboard);
    EXPECT_EQ(loaded.showTextWhileSpeaking, saved.showTextWhileSpeaking);
}

}  // namespace
}  // namespace orvello
