// The settings store on the real registry of the Wine prefix: values written by hand are
// loaded, saved values are read back raw with their registry types, and the wave-input list
// holds the virtual microphone.
// clang-format off
#include <windows.h>
#include <mmsystem.h>  // needs windows.h first
// clang-format on

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/input_device_list.h"
#include "app/input_device_list_win.h"
#include "app/registry_profile_win.h"
#include "app/settings.h"

namespace orvello {
namespace {

// Spelled out rather than taken from the product code, so that a wrong key path fails here.
constexpr wchar_t kKeyPath[] = L"Software\\Brackwater\\Orvello\\Settings";

using Keys = std::vector<ModifierKey>;

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    [[nodiscard]] DWORD Dword() const {
        DWORD value = 0;
        if (data.size() == sizeof value) std::memcpy(&value, data.data(), sizeof value);
        return value;
    }
    // The REG_SZ text without its terminating NUL.
    [[nodiscard]] std::wstring Text() const {
        std::wstring text(data.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        if (!text.empty() && text.back() == L'\0') text.pop_back();
        return text;
    }
};

bool SettingsKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::optional<RawValue> ReadRaw(const wchar_t* name) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kKeyPath, name, RRF_RT_ANY | RRF_NOEXPAND, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RawValue value;
    value.data.resize(size);
    if (RegGetValueW(HKEY_CURRENT_USER, kKeyPath, name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                     value.data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKeyPath, name, type, data, size), ERROR_SUCCESS)
        << "value " << std::string(name, name + wcslen(name));
}

void WriteDword(const wchar_t* name, DWORD value) {
    WriteRaw(name, REG_DWORD, &value, sizeof value);
}

void WriteText(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
    WriteRaw(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ExpectDword(const wchar_t* name, DWORD expected) {
    const std::optional<RawValue> value = ReadRaw(name);
    ASSERT_TRUE(value.has_value()) << "missing " << std::string(name, name + wcslen(name));
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD)) << std::string(name, name + wcslen(name));
    EXPECT_EQ(value->Dword(), expected) << std::string(name, name + wcslen(name));
}

void ExpectText(const wchar_t* name, const std::wstring& expected) {
    const std::optional<RawValue> value = ReadRaw(name);
    ASSERT_TRUE(value.has_value()) << "missing " << std::string(name, name + wcslen(name));
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << std::string(name, name + wcslen(name));
    EXPECT_TRUE(value->Text() == expected) << std::string(name, name + wcslen(name));
}

// Every test starts and ends without the settings key, as on a first run.
class SettingsRegistry : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }

    static void DeleteSettingsKey() {
        const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, kKeyPath);
        ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
        ASSERT_FALSE(SettingsKeyExists());
    }

    Settings LoadAll() {
        Settings settings;
        LoadTriggerAndDspSettings(profile_, settings);
        LoadOptionSettings(profile_, settings);
        return settings;
    }

    RegistryProfileStore profile_;
};

TEST_F(SettingsRegistry, FirstRunLoadsDefaultsAndCreatesNothing) {
    const Settings settings = LoadAll();
    EXPECT_EQ(settings.dictationTrigger.keys, Keys{ModifierKey::RightCtrl});
    EXPECT_TRUE(settings.dictationTrigger.anyKeyboard);
    EXPECT_EQ(settings.dictationTrigger.deviceId, u"");
    EXPECT_EQ(settings.commandTrigger.keys, (Keys{ModifierKey::RightCtrl, ModifierKey::RightAlt}));
    EXPECT_TRUE(settings.commandTrigger.anyKeyboard);
    EXPECT_TRUE(settings.dspEnabled);
    EXPECT_EQ(settings.noiseGate, 10);
    EXPECT_EQ(settings.lowCutHz, 90);
    EXPECT_TRUE(settings.appendSpace);
    EXPECT_FALSE(settings.appendNewline);
    EXPECT_FALSE(settings.startMinimized);
    EXPECT_FALSE(settings.usePaste);
    EXPECT_EQ(profile_.ReadString(u"InputDeviceId", u""), u"");
    EXPECT_FALSE(SettingsKeyExists());
}

TEST_F(SettingsRegistry, ValuesWrittenByHandAreLoaded) {
    WriteDword(L"TriggerMask", 0x11);
    WriteDword(L"TriggerAnyKeyboard", 0);
    WriteText(L"TriggerDeviceId", L"\\\\?\\HID#VID_046D&PID_C52B&MI_00");
    WriteDword(L"CmdTriggerMask", 0x06);
    WriteText(L"CmdTriggerDeviceId", L"\\\\?\\HID#VID_1234&PID_5678");
    WriteDword(L"DspEnabled", 0);
    WriteDword(L"NoiseGate", 42);
    WriteDword(L"LowCutHz", 150);
    WriteDword(L"AppendSpace", 0);
    WriteDword(L"AppendNewline", 7);
    WriteDword(L"StartMinimized", 0xFFFFFFFF);
    WriteDword(L"UsePaste", 1);
    const Settings settings = LoadAll();

    EXPECT_EQ(settings.dictationTrigger.keys, (Keys{ModifierKey::LeftShift, ModifierKey::LeftAlt}));
    EXPECT_FALSE(settings.dictationTrigger.anyKeyboard);
    EXPECT_EQ(settings.dictationTrigger.deviceId, u"\\\\?\\HID#VID_046D&PID_C52B&MI_00");
    EXPECT_EQ(settings.commandTrigger.keys, (Keys{ModifierKey::RightShift, ModifierKey::LeftCtrl}));
    EXPECT_FALSE(settings.commandTrigger.anyKeyboard);
    EXPECT_EQ(settings.commandTrigger.deviceId, u"\\\\?\\HID#VID_1234&PID_5678");
    EXPECT_FALSE(settings.dspEnabled);
    EXPECT_EQ(settings.noiseGate, 42);
    EXPECT_EQ(settings.lowCutHz, 150);
    EXPECT_FALSE(settings.appendSpace);
    EXPECT_TRUE(settings.appendNewline);
    EXPECT_TRUE(settings.startMinimized);
    EXPECT_TRUE(settings.usePaste);
}

TEST_F(SettingsRegistry, SavedValuesHaveTheirRegistryTypes) {
    Settings settings;
    settings.dictationTrigger = {{ModifierKey::LeftCtrl, ModifierKey::RightAlt},
                                 false,
                                 u"\\\\?\\HID#VID_046D&PID_C52B&MI_00"};
    settings.commandTrigger = {{ModifierKey::RightShift}, false, u"\\\\?\\HID#VID_1234"};
    settings.dspEnabled = false;
    settings.noiseGate = 63;
    settings.lowCutHz = 175;
    settings.appendSpace = false;
    settings.appendNewline = true;
    settings.startMinimized = true;
    settings.usePaste = true;
    SaveDictationTrigger(profile_, settings.dictationTrigger);
    SaveCommandTrigger(profile_, settings.commandTrigger);
    SaveDspEnabled(profile_, settings);
    SaveDspLevels(profile_, settings);
    SaveTextOptions(profile_, settings);
    SaveStartMinimized(profile_, settings);
    SaveUsePaste(profile_, settings);
    const InputDeviceEntry device{1, u"Mikrofon (Gerät Ä)"};
    ASSERT_TRUE(SaveInputDevice(profile_, std::span(&device, 1), 0u));

    ExpectText(L"InputDeviceId", L"Mikrofon (Gerät Ä)");
    ExpectDword(L"TriggerMask", 0x24);
    ExpectDword(L"TriggerAnyKeyboard", 0);
    ExpectText(L"TriggerDeviceId", L"\\\\?\\HID#VID_046D&PID_C52B&MI_00");
    ExpectDword(L"CmdTriggerMask", 0x02);
    ExpectText(L"CmdTriggerDeviceId", L"\\\\?\\HID#VID_1234");
    ExpectDword(L"DspEnabled", 0);
    ExpectDword(L"NoiseGate", 63);
    ExpectDword(L"LowCutHz", 175);
    ExpectDword(L"AppendSpace", 0);
    ExpectDword(L"AppendNewline", 1);
    ExpectDword(L"StartMinimized", 1);
    ExpectDword(L"UsePaste", 1);

    // And they load back as saved.
    const Settings loaded = LoadAll();
    EXPECT_TRUE(triggersEqual(loaded.dictationTrigger, settings.dictationTrigger));
    EXPECT_EQ(loaded.dictationTrigger.deviceId, settings.dictationTrigger.deviceId);
    EXPECT_EQ(loaded.commandTrigger.deviceId, settings.commandTrigger.deviceId);
    EXPECT_EQ(loaded.noiseGate, 63);
    EXPECT_EQ(loaded.lowCutHz, 175);
}

TEST_F(SettingsRegistry, OutOfRangeLevelsLoadClampedAndStayStoredUntilASliderMoves) {
    WriteDword(L"NoiseGate", 250);
    WriteDword(L"LowCutHz", 4294967291u);  // -5 as a signed 32-bit value
    Settings settings = LoadAll();
    EXPECT_EQ(settings.noiseGate, 100);
    EXPECT_EQ(settings.lowCutHz, 0);
    ExpectDword(L"NoiseGate", 250);
    ExpectDword(L"LowCutHz", 4294967291u);

    // Moving the Noise Gate slider writes both levels.
    settings.noiseGate = 30;
    SaveDspLevels(profile_, settings);
    ExpectDword(L"NoiseGate", 30);
    ExpectDword(L"LowCutHz", 0);
}

TEST_F(SettingsRegistry, ZeroTriggerMaskMeansNotSet) {
    WriteDword(L"TriggerMask", 0);
    WriteDword(L"CmdTriggerMask", 0xFFFFFF40);  // no bit among the six low ones
    const Settings settings = LoadAll();
    EXPECT_FALSE(settings.dictationTrigger.isSet());
    EXPECT_EQ(triggerText(settings.dictationTrigger), u"Not set");
    EXPECT_FALSE(settings.commandTrigger.isSet());
}

TEST_F(SettingsRegistry, AnyKeyboardIgnoresAStoredDeviceIdAndSavesItEmpty) {
    WriteDword(L"TriggerAnyKeyboard", 1);
    WriteText(L"TriggerDeviceId", L"\\\\?\\HID#VID_046D&PID_C52B&MI_00");
    WriteText(L"CmdTriggerDeviceId", L"\\\\?\\HID#VID_046D&PID_C52B&MI_00");
    Settings settings = LoadAll();
    EXPECT_EQ(settings.dictationTrigger.deviceId, u"");
    EXPECT_EQ(settings.commandTrigger.deviceId, u"");
    ExpectText(L"TriggerDeviceId",
               L"\\\\?\\HID#VID_046D&PID_C52B&MI_00");  // loading writes nothing

    settings.dictationTrigger.keys = {ModifierKey::LeftCtrl};  // a new capture
    SaveDictationTrigger(profile_, settings.dictationTrigger);
    ExpectDword(L"TriggerMask", 0x04);
    ExpectDword(L"TriggerAnyKeyboard", 1);
    ExpectText(L"TriggerDeviceId", L"");
}

TEST_F(SettingsRegistry, ValuesOfTheWrongTypeReadAsDefaults) {
    WriteText(L"NoiseGate", L"50");
    WriteText(L"TriggerMask", L"32");
    const DWORD zero = 0;
    WriteRaw(L"AppendSpace", REG_BINARY, &zero, sizeof zero);  // DWORD-sized, but not a DWORD
    const unsigned long long wide = 1;
    WriteRaw(L"UsePaste", REG_QWORD, &wide, sizeof wide);
    WriteDword(L"TriggerAnyKeyboard", 0);
    WriteDword(L"TriggerDeviceId", 5);
    WriteText(L"CmdTriggerDeviceId", L"%SystemRoot%", REG_EXPAND_SZ);
    const Settings settings = LoadAll();
    EXPECT_EQ(settings.noiseGate, 10);
    EXPECT_EQ(settings.dictationTrigger.keys, Keys{ModifierKey::RightCtrl});
    EXPECT_TRUE(settings.appendSpace);
    EXPECT_FALSE(settings.usePaste);
    EXPECT_EQ(settings.dictationTrigger.deviceId, u"");
    EXPECT_EQ(settings.commandTrigger.deviceId, u"");
}

TEST_F(SettingsRegistry, LongTextsRoundTrip) {
    std::u16string identity = u"\\\\?\\HID#";
    while (identity.size() < 1500) identity += u"VID_046D&PID_C52B&MI_00é";
    const TriggerDefinition trigger{{ModifierKey::RightCtrl}, false, identity};
    SaveDictationTrigger(profile_, trigger);
    Settings settings = LoadAll();
    EXPECT_EQ(settings.dictationTrigger.deviceId, identity);
}

// The wave-input list of the test desktop holds the virtual microphone, and a saved name in
// another letter case selects it.
TEST_F(SettingsRegistry, SavedInputDeviceSelectsThePresentDevice) {
    const std::vector<InputDeviceEntry> devices = ListInputDevices();
    ASSERT_FALSE(devices.empty());
    ASSERT_LE(devices.size(), waveInGetNumDevs());
    std::optional<std::size_t> microphone;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(devices[i - 1].deviceNumber, devices[i].deviceNumber);
        }
        if (devices[i].name.find(u"OrvelloMic") != std::u16string::npos) microphone = i;
    }
    ASSERT_TRUE(microphone.has_value()) << "the virtual microphone is not listed";

    EXPECT_EQ(SelectSavedInputDevice(profile_, devices), 0u);  // nothing saved yet
    std::wstring upper(devices[*microphone].name.begin(), devices[*microphone].name.end());
    for (wchar_t& c : upper) c = towupper(c);
    WriteText(L"InputDeviceId", upper);
    EXPECT_EQ(SelectSavedInputDevice(profile_, devices), microphone);

    ASSERT_TRUE(SaveInputDevice(profile_, devices, microphone));
    ExpectText(L"InputDeviceId",
               std::wstring(devices[*microphone].name.begin(), devices[*microphone].name.end()));
}

}  // namespace
}  // namespace orvello
