#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/key_step.h"

namespace orvello {

// The action a command runs. A hand-edited file can carry any other value; it is
// kept as it is, listed as "?" and executed like the two key actions.
enum class ActionType : std::int32_t {
    KeyChord = 0,
    KeySequence = 1,
    RunApp = 2,
    InsertText = 3,
    SysCommand = 4,
};

inline constexpr std::size_t kActionTypeCount = 5;

// Items of the command editor's type selector; the item index equals the value.
inline constexpr std::array<std::u16string_view, kActionTypeCount> kActionTypeEditorTexts = {
    u"Key Chord", u"Key Sequence", u"Run Application", u"Insert Text", u"System Command",
};

[[nodiscard]] bool IsKnownActionType(ActionType type);

// Text of the commands dialog's type column: the enumerator name, or "?".
[[nodiscard]] std::u16string_view ActionTypeListText(ActionType type);

// 0 means that no system command has been chosen yet.
enum class SystemCommandId : std::int32_t {
    None = 0,
    VolumeUp = 1,
    VolumeDown = 2,
    VolumeMute = 3,
    MediaPlayPause = 4,
    MediaNextTrack = 5,
    MediaPreviousTrack = 6,
    MediaStop = 7,
    OpenBrowser = 8,
    OpenEmailClient = 9,
    SetClipboardText = 10,
    ClearClipboard = 11,
};

struct SystemCommandEntry {
    SystemCommandId id;
    std::u16string_view displayName;
    // Empty when the command takes no argument; the panel then disables its field.
    std::u16string_view argumentLabel;
    bool argumentRequired;

    [[nodiscard]] constexpr bool TakesArgument() const { return !argumentLabel.empty(); }
};

// Fixed and read-only; the position of an entry is its item index in the
// System Command panel's selector.
inline constexpr std::array<SystemCommandEntry, 11> SystemCommandCatalogue = {{
    {SystemCommandId::VolumeUp, u"Volume Up", u"", false},
    {SystemCommandId::VolumeDown, u"Volume Down", u"", false},
    {SystemCommandId::VolumeMute, u"Volume Mute/Unmute", u"", false},
    {SystemCommandId::MediaPlayPause, u"Media Play / Pause", u"", false},
    {SystemCommandId::MediaNextTrack, u"Media Next Track", u"", false},
    {SystemCommandId::MediaPreviousTrack, u"Media Previous Track", u"", false},
    {SystemCommandId::MediaStop, u"Media Stop", u"", false},
    {SystemCommandId::OpenBrowser, u"Open Browser", u"URL (optional):", false},
    {SystemCommandId::OpenEmailClient, u"Open Email Client", u"Address (optional):", false},
    {SystemCommandId::SetClipboardText, u"Set Clipboard Text", u"Text:", true},
    {SystemCommandId::ClearClipboard, u"Clear Clipboard", u"", false},
}};

// Position of the id in the catalogue; none for 0 and for ids outside 1 to 11.
[[nodiscard]] std::optional<std::size_t> SystemCommandCatalogueIndex(SystemCommandId id);

// Catalogue entry of the id, or nullptr for 0 and unknown ids.
[[nodiscard]] const SystemCommandEntry* FindSystemCommand(SystemCommandId id);

// One voice command. The member names are the keys of the command file.
// A default-constructed record holds the values a file record gets for missing
// keys (no steps); a command created by the user starts from MakeNewVoiceCommand().
struct VoiceCommand {
    // Alternatives separated by "|", each matched on its own.
    std::u16string phrase;
    bool enabled = true;
    ActionType type = ActionType::KeyChord;
    std::vector<KeyStep> steps;
    std::u16string app_path;
    std::u16string app_args;
    std::u16string text_body;
    // Kept when the type changes to anything else, so it persists in the file unused.
    SystemCommandId sys_cmd_id = SystemCommandId::None;
    std::u16string sys_cmd_arg;

    friend bool operator==(const VoiceCommand&, const VoiceCommand&) = default;
};

// A new command: empty phrase, enabled, KeyChord with one empty key step, so that
// accepting it unchanged still leaves a step that executes without sending keys.
[[nodiscard]] VoiceCommand MakeNewVoiceCommand();

}  // namespace orvello
