#pragma once

#include <cstdint>

#include "app/profile_store.h"
#include "trigger/hands_free_switch.h"
#include "trigger/trigger_definition.h"

namespace orvello {

// Ranges of the two DSP sliders and the values of the "Default" button.
inline constexpr std::int32_t kNoiseGateMax = 100;
inline constexpr std::int32_t kLowCutMaxHz = 200;
inline constexpr std::int32_t kDefaultNoiseGate = 10;
inline constexpr std::int32_t kDefaultLowCutHz = 90;

// The user's options as the main window holds them between start-up and exit. Every change is
// written to the profile at once by one of the Save functions below, so an abrupt end loses
// nothing. The input device is not here: its name lives only in the profile and in the
// selection of the device list (input_device_list.h).
struct Settings {
    // Both triggers share one keyboard scope; before loading neither has keys.
    TriggerDefinition dictationTrigger;
    TriggerDefinition commandTrigger;
    TriggerMode triggerMode = TriggerMode::Hold;  // the dictation trigger's
    bool dspEnabled = true;
    std::int32_t noiseGate = kDefaultNoiseGate;  // 0..kNoiseGateMax once loaded
    std::int32_t lowCutHz = kDefaultLowCutHz;    // 0..kLowCutMaxHz once loaded
    bool appendSpace = true;
    bool appendNewline = false;  // CR LF after the space
    bool startMinimized = false;
    bool usePaste = false;
    bool fasterEngineStart = true;      // the engine keeps its prepared model in the model cache
    bool keepHistory = false;           // "Keep History Between Sessions", in the History dialog
    bool restoreClipboard = true;       // put the user's clipboard back after a paste
    bool showTextWhileSpeaking = true;  // the text so far in the overlay during a recording
};

// Loading happens in two steps because the main window sets up its trigger display and log
// font between them. Loading never writes: out-of-range levels are clamped in memory only, so
// the stored values stay until the user moves a slider.

// The triggers, the DSP switch and the two DSP levels, in that order.
void LoadTriggerAndDspSettings(ProfileStore& profile, Settings& settings);

// Add Space, Add New Line, Start Minimized, Use Paste, Restore Clipboard, Faster Engine Start
// and Keep History Between Sessions, in that order.
void LoadOptionSettings(ProfileStore& profile, Settings& settings);

// TriggerMode: 0 Hold, 1 Auto, 2 Toggle; any other number reads as Hold.
void LoadTriggerMode(ProfileStore& profile, Settings& settings);
void SaveTriggerMode(ProfileStore& profile, const Settings& settings);

// TriggerMask, TriggerAnyKeyboard, TriggerDeviceId (empty for an any-keyboard trigger).
void SaveDictationTrigger(ProfileStore& profile, const TriggerDefinition& trigger);

// CmdTriggerMask, CmdTriggerDeviceId (empty for an any-keyboard trigger). The command trigger's
// scope is not stored: it is always the dictation trigger's.
void SaveCommandTrigger(ProfileStore& profile, const TriggerDefinition& trigger);

void SaveDspEnabled(ProfileStore& profile, const Settings& settings);

// NoiseGate, then LowCutHz: both, whichever of them changed.
void SaveDspLevels(ProfileStore& profile, const Settings& settings);

// AppendSpace, then AppendNewline.
void SaveTextOptions(ProfileStore& profile, const Settings& settings);

void SaveStartMinimized(ProfileStore& profile, const Settings& settings);
void SaveUsePaste(ProfileStore& profile, const Settings& settings);
void SaveFasterEngineStart(ProfileStore& profile, const Settings& settings);
void SaveKeepHistory(ProfileStore& profile, const Settings& settings);
void SaveRestoreClipboard(ProfileStore& profile, const Settings& settings);
void SaveShowTextWhileSpeaking(ProfileStore& profile, const Settings& settings);

}  // namespace orvello
