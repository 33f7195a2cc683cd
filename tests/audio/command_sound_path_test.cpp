// Where the command sound is looked for: models\ping.wav beside the program, within the classic
// 260-unit path limit.
#include <gtest/gtest.h>

#include <string>

#include "audio/command_sound.h"

namespace orvello {
namespace {

// A program path of exactly `units` UTF-16 units in the folder C:\<x...>.
std::u16string ProgramPathOfLength(std::size_t units) {
    const std::u16string name = u"\\Orvello.exe";
    return u"C:\\" + std::u16string(units - 3 - name.size(), u'x') + name;
}

TEST(CommandSoundPath, IsModelsPingWavInTheProgramsDirectory) {
    EXPECT_EQ(CommandSoundPath(u"C:\\Program Files\\Orvello\\Orvello.exe"),
              u"C:\\Program Files\\Orvello\\models\\ping.wav");
    EXPECT_EQ(CommandSoundPath(u"\\\\server\\share\\Orvello.exe"),
              u"\\\\server\\share\\models\\ping.wav");
    EXPECT_EQ(CommandSoundPath(u"C:\\Gr\u00FC\u00DFe\\Orvello.exe"),
              u"C:\\Gr\u00FC\u00DFe\\models\\ping.wav");
}

TEST(CommandSoundPath, APathWithoutABackslashHasNoSound) {
    EXPECT_EQ(CommandSoundPath(u"Orvello.exe"), std::nullopt);
    EXPECT_EQ(CommandSoundPath(u""), std::nullopt);
    EXPECT_EQ(CommandSoundPath(u"C:/Orvello/Orvello.exe"), std::nullopt);
}

// "models\ping.wav" is 15 units, "Orvello.exe" 11: the sound's path is 4 units longer than the
// program's, and with its terminator it must fit in 260 units.
TEST(CommandSoundPath, ASoundPathThatDoesNotFitIn260UnitsIsSkipped) {
    const std::optional<std::u16string> longest = CommandSoundPath(ProgramPathOfLength(255));
    ASSERT_TRUE(longest.has_value());
    EXPECT_EQ(longest->size(), 259u);
    EXPECT_EQ(CommandSoundPath(ProgramPathOfLength(256)), std::nullopt);
}

}  // namespace
}  // namespace orvello
