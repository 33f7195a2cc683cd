#include "app/settings.h"

#include <algorithm>
#include <string_view>

namespace orvello {

namespace {

// Value names in the profile's "Settings" section.
constexpr std::u16string_view kTriggerMask = u"TriggerMask";
constexpr std::u16string_view kTriggerAnyKeyboard = u"TriggerAnyKeyboard";
constexpr std::u16string_view kTriggerDeviceId = u"TriggerDeviceId";
constexpr std::u16string_view kCmdTriggerMask = u"CmdTriggerMask";
constexpr std::u16string_view kCmdTriggerDeviceId = u"CmdTriggerDeviceId";
constexpr std::u16string_view kDspEnabled = u"DspEnabled";
constexpr std::u16string_view kNoiseGate = u"NoiseGate";
constexpr std::u16string_view kLowCutHz = u"LowCutHz";
constexpr std::u16string_view kAppendSpace = u"AppendSpace";
constexpr std::u16string_view kAppendNewline = u"AppendNewline";
constexpr std::u16string_view kStartMinimized = u"StartMinimized";
constexpr std::u16string_view kUsePaste = u"UsePaste";
constexpr std::u16string_view kFasterEngineStart = u"FasterEngineStart";
constexpr std::u16string_view kKeepHistory = u"KeepHistory";
constexpr std::u16string_view kRestoreClipboard = u"RestoreClipboard";
constexpr std::u16string_view kShowTextWhileSpeaking = u"ShowTextWhileSpeaking";
constexpr std::u16string_view kTriggerMode = u"TriggerMode";

constexpr std::int32_t kDefaultTriggerMask = 0x08;     // Right Ctrl
constexpr std::int32_t kDefaultCmdTriggerMask = 0x28;  // Right Ctrl + Right Alt

// Any non-zero value counts as true, so hand edits such as 2 or 0xFFFFFFFF still mean "on".
bool ReadBool(ProfileStore& profile, std::u16string_view name, bool fallback) {
    return profile.ReadInt(name, fallback ? 1 : 0) != 0;
}

void WriteBool(ProfileStore& profile, std::u16string_view name, bool value) {
    profile.WriteInt(name, value ? 1 : 0);
}

std::vector<ModifierKey> ReadTriggerKeys(ProfileStore& profile, std::u16string_view name,
                                         std::int32_t fallback) {
    return maskToKeys(static_cast<ModifierMask>(profile.ReadInt(name, fallback)));
}

void WriteTriggerKeys(ProfileStore& profile, std::u16string_view name,
                      const TriggerDefinition& trigger) {
    profile.WriteInt(name, static_cast<std::int32_t>(keysToMask(trigger.keys)));
}

// A device id is meaningful only for a trigger bound to one keyboard; an any-keyboard trigger
// stores it empty so that a stale id cannot come back when the scope changes.
std::u16string_view StoredDeviceId(const TriggerDefinition& trigger) {
    return trigger.anyKeyboard ? std::u16string_view() : std::u16string_view(trigger.deviceId);
}

void LoadDictationTrigger(ProfileStore& profile, TriggerDefinition& trigger) {
    trigger.keys = ReadTriggerKeys(profile, kTriggerMask, kDefaultTriggerMask);
    trigger.anyKeyboard = ReadBool(profile, kTriggerAnyKeyboard, true);
    trigger.deviceId = profile.ReadString(kTriggerDeviceId, u"");
    if (trigger.anyKeyboard) trigger.deviceId.clear();
}

// The command trigger has no scope of its own: it takes the dictation trigger's.
void LoadCommandTrigger(ProfileStore& profile, bool anyKeyboard, TriggerDefinition& trigger) {
    trigger.keys = ReadTriggerKeys(profile, kCmdTriggerMask, kDefaultCmdTriggerMask);
    trigger.anyKeyboard = anyKeyboard;
    trigger.deviceId.clear();
    if (!anyKeyboard) trigger.deviceId = profile.ReadString(kCmdTriggerDeviceId, u"");
}

}  // namespace

void LoadTriggerAndDspSettings(ProfileStore& profile, Settings& settings) {
    LoadDictationTrigger(profile, settings.dictationTrigger);
    LoadCommandTrigger(profile, settings.dictationTrigger.anyKeyboard, settings.commandTrigger);
    settings.dspEnabled = ReadBool(profile, kDspEnabled, true);
    const std::int32_t noiseGate = profile.ReadInt(kNoiseGate, kDefaultNoiseGate);
    const std::int32_t lowCutHz = profile.ReadInt(kLowCutHz, kDefaultLowCutHz);
    settings.noiseGate = std::clamp(noiseGate, 0, kNoiseGateMax);
    settings.lowCutHz = std::clamp(lowCutHz, 0, kLowCutMaxHz);
}

void LoadOptionSettings(ProfileStore& profile, Settings& settings) {
    settings.appendSpace = ReadBool(profile, kAppendSpace, true);
    settings.appendNewline = ReadBool(profile, kAppendNewline, false);
    settings.startMinimized = ReadBool(profile, kStartMinimized, false);
    settings.usePaste = ReadBool(profile, kUsePaste, false);
    settings.restoreClipboard = ReadBool(profile, kRestoreClipboard, true);
    settings.fasterEngineStart = ReadBool(profile, kFasterEngineStart, true);
    settings.keepHistory = ReadBool(profile, kKeepHistory, false);
    settings.showTextWhileSpeaking = ReadBool(profile, kShowTextWhileSpeaking, true);
}

void LoadTriggerMode(ProfileStore& profile, Settings& settings) {
    settings.triggerMode = triggerModeFromNumber(
        profile.ReadInt(kTriggerMode, static_cast<std::int32_t>(TriggerMode::Hold)));
}

void SaveTriggerMode(ProfileStore& profile, const Settings& settings) {
    profile.WriteInt(kTriggerMode, static_cast<std::int32_t>(settings.triggerMode));
}

void SaveDictationTrigger(ProfileStore& profile, const TriggerDefinition& trigger) {
    WriteTriggerKeys(profile, kTriggerMask, trigger);
    WriteBool(profile, kTriggerAnyKeyboard, trigger.anyKeyboard);
    profile.WriteString(kTriggerDeviceId, StoredDeviceId(trigger));
}

void SaveCommandTrigger(ProfileStore& profile, const TriggerDefinition& trigger) {
    WriteTriggerKeys(profile, kCmdTriggerMask, trigger);
    profile.WriteString(kCmdTriggerDeviceId, StoredDeviceId(trigger));
}

void SaveDspEnabled(ProfileStore& profile, const Settings& settings) {
    WriteBool(profile, kDspEnabled, settings.dspEnabled);
}

void SaveDspLevels(ProfileStore& profile, const Settings& settings) {
    profile.WriteInt(kNoiseGate, settings.noiseGate);
    profile.WriteInt(kLowCutHz, settings.lowCutHz);
}

void SaveTextOptions(ProfileStore& profile, const Settings& settings) {
    WriteBool(profile, kAppendSpace, settings.appendSpace);
    WriteBool(profile, kAppendNewline, settings.appendNewline);
}

void SaveStartMinimized(ProfileStore& profile, const Settings& settings) {
    WriteBool(profile, kStartMinimized, settings.startMinimized);
}

void SaveUsePaste(ProfileStore& profile, const Settings& settings) {
    WriteBool(profile, kUsePaste, settings.usePaste);
}

void SaveFasterEngineStart(ProfileStore& profile, const Settings& settings) {
    WriteBool(profile, kFasterEngineStart, settings.fasterEngineStart);
}

void SaveKeepHistory(ProfileStore& profile, const Settings& settings) {
    WriteBool(profile, kKeepHistory, settings.keepHistory);
}

void SaveRestoreClipboard(ProfileStore& profile, const Settings& settings) {
    WriteBool(profile, kRestoreClipboard, settings.restoreClipboard);
}

void SaveShowTextWhileSpeaking(ProfileStore& profile, const Settings& settings) {
    WriteBool(profile, kShowTextWhileSpeaking, settings.showTextWhileSpeaking);
}

}  // namespace orvello
