#include "app/help_text.h"

#include <array>
#include <string_view>

namespace orvello {
namespace {

constexpr std::array<std::u16string_view, 26> kHelpLines = {
    u"## 100% Private Voice Input and Commands",
    u"Orvello is fully local voice input and voice commands running entirely on your PC. Nothing "
    u"is sent to the cloud -- your voice and text never leave your machine.",
    u"Use it in any application to type with your voice using Push-to-Talk: hold a modifier key, "
    u"speak, release, and the transcribed text is typed into whatever window is active.",
    u"",
    u"### Trigger Key",
    u"The trigger is one or more modifier keys held together (Ctrl, Alt, Shift). Left and Right "
    u"sides are recognised separately, so *Right Ctrl* is independent from *Left Ctrl*. You can "
    u"also dedicate an entire secondary keyboard (or a keyboard-like USB HID device) as your "
    u"trigger device -- press the modifiers (Ctrl, Alt, Shift) on that keyboard to activate, "
    u"leaving your main keyboard completely free.",
    u"",
    u"### How To Use",
    u"- **Select your microphone** from the Input Device list and click *Use Selected Input*.",
    u"- **Set a trigger key** -- click *Select Trigger*, then press and release the modifier "
    u"combination you want (e.g. Right Ctrl).",
    u"- **Speak** -- hold the trigger, say something, release. The text appears in the focused "
    u"app.",
    u"- **Hands-free** -- with *Trigger Mode* set to *Auto*, tap the trigger to dictate without "
    u"holding it, and tap it again to stop.",
    u"- **DSP** -- enable the noise gate and low-cut filter if your mic picks up background noise.",
    u"",
    u"### Voice Commands",
    u"Assign a spoken phrase to a keyboard shortcut (Ctrl-Z for example), key sequence, app "
    u"launch, or text snippet. Voice Commands use a separate trigger.Open *Voice Commands*, add an "
    u"entry with a phrase and an action, then say that phrase while holding the trigger.",
    u"- **Unified mode** -- same trigger for dictation and commands; commands are tried first, "
    u"falling back to text.",
    u"- **Split mode** -- set a separate Command Trigger inside the Commands dialog; that trigger "
    u"runs commands only, the main trigger types text only.",
    u"- **Alternatives** -- separate multiple phrases with **|** (e.g. **copy|copy to "
    u"clipboard**) so any of them matches.",
    u"",
    u"### Tips",
    u"- *Right Ctrl* makes ideal trigger -- it's rarely used by apps.",
    u"- Don't use *Alt* alone - it usually activates menu in apps. Use it with combination (Shift "
    u"or Ctrl).",
    u"- *Use Multiple Keyboards* (checkbox) locks the trigger to the specific keyboard you pressed "
    u"it on, so a second keyboard can act as a dedicated voice control device.",
    u"- The Log area shows live transcription results and command matches for testing.",
    u"- *Start Minimized* hides the window to the tray on launch; double-click the tray icon to "
    u"restore.",
};

}  // namespace

std::u16string MainWindowHelpText() {
    std::u16string text;
    for (const std::u16string_view line : kHelpLines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

}  // namespace orvello
