// The replacements file's text: the exact layout written, what a load takes from hand-edited or
// damaged files, and what the store makes of both.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "replacements/replacement_store.h"
#include "replacements/replacements_file_format.h"

namespace orvello {
namespace {

const std::vector<Replacement> kTwoReplacements = {
    {u"orvello", u"Orvello"},
    {u"new paragraph", u"\r\n\r\n"},
};

TEST(ReplacementsFileTest, WritesTheExactLayoutAndReadsItBack) {
    const std::vector<Replacement> replacements = {{u"orvello", u"Orvello"},
                                                   {u"new paragraph", u"\r\n\r\n"},
                                                   {u"grüße", u"Grüße \"ß\"\t\\"},
                                                   {u"um", u""}};
    const std::string text = FormatReplacementsFile(replacements);
    EXPECT_EQ(text,
              "[\r\n  {\r\n    \"written\": \"orvello\",\r\n    \"typed\": \"Orvello\"\r\n  },\r\n"
              "  {\r\n    \"written\": \"new paragraph\",\r\n    \"typed\": \"\\r\\n\\r\\n\"\r\n"
              "  },\r\n  {\r\n    \"written\": \"grüße\",\r\n"
              "    \"typed\": \"Grüße \\\"ß\\\"\\t\\\\\"\r\n  },\r\n"
              "  {\r\n    \"written\": \"um\",\r\n    \"typed\": \"\"\r\n  }\r\n]");
    const ReplacementsFileLoadResult loaded = ParseReplacementsFile(text);
    EXPECT_EQ(loaded.replacements, replacements);
    EXPECT_FALSE(loaded.FileWouldBeLostOnSave());
    EXPECT_EQ(FormatReplacementsFile({}), "[]");
}

struct LoadCase {
    const char* name;
    std::string fileBytes;
    bool corrupted;
    std::vector<Replacement> replacements;
    std::vector<std::u16string> skipped;
};

std::vector<LoadCase> LoadCases() {
    const Replacement a{u"a", u"A"};
    const Replacement b{u"b", u"B"};
    return {
        {"empty array", "[]", false, {}, {}},
        {"byte-order mark, LF, Ctrl+Z",
         "\xEF\xBB\xBF[\n{\"written\": \"a\", \"typed\": \"A\"}\n]\x1Agarbage",
         false,
         {a},
         {}},
        {"line breaks of typed become CR LF",
         R"([{"written": "x", "typed": "1\n2\r3\r\n4"}])",
         false,
         {{u"x", u"1\r\n2\r\n3\r\n4"}},
         {}},
        {"extra keys are ignored",
         R"([{"written": "a", "typed": "A", "note": 1}])",
         false,
         {a},
         {}},
        {"malformed entries are skipped, the rest taken",
         R"([{"written": "a", "typed": "A"}, "b", {"written": 2, "typed": "x"}, {"typed": "x"},
             {"written": " \t", "typed": "x"}, {"written": "c"}, {"written": "c", "typed": null},
             {"written": "b", "typed": "B"}])",
         false,
         {a, b},
         {u"Replacement 2 in replacements.kwx skipped: it is not an object with \"written\" and "
          u"\"typed\".",
          u"Replacement 3 in replacements.kwx skipped: \"written\" is missing or not text.",
          u"Replacement 4 in replacements.kwx skipped: \"written\" is missing or not text.",
          u"Replacement 5 in replacements.kwx skipped: \"written\" is empty.",
          u"Replacement 6 in replacements.kwx skipped: \"typed\" is missing or not text.",
          u"Replacement 7 in replacements.kwx skipped: \"typed\" is missing or not text."}},
        {"empty file", "", true, {}, {}},
        {"truncated", R"([{"written": "a", "typed": "A"}, {"wri)", true, {}, {}},
        {"an object instead of a list", R"({"written": "a", "typed": "A"})", true, {}, {}},
        {"invalid UTF-8", "[{\"written\": \"\xC3\", \"typed\": \"A\"}]", true, {}, {}},
    };
}

TEST(ReplacementsFileTest, LoadsWhatItCanAndSaysWhatItLeftOut) {
    for (const LoadCase& loadCase : LoadCases()) {
        SCOPED_TRACE(loadCase.name);
        const ReplacementsFileLoadResult result = ParseReplacementsFile(loadCase.fileBytes);
        EXPECT_EQ(result.corrupted, loadCase.corrupted);
        EXPECT_EQ(result.replacements, loadCase.replacements);
        EXPECT_EQ(result.skippedEntries, loadCase.skipped);
        EXPECT_EQ(result.FileWouldBeLostOnSave(), loadCase.corrupted || !loadCase.skipped.empty());
    }
}

TEST(ReplacementStoreTest, AppliesWhatItLoadedAndWhatTheDialogGaveIt) {
    ReplacementStore store;
    EXPECT_EQ(store.Apply(u"orvello"), u"orvello");
    store.LoadFromFileBytes(FormatReplacementsFile(kTwoReplacements));
    EXPECT_EQ(store.Replacements(), kTwoReplacements);
    EXPECT_EQ(store.Apply(u"orvello new paragraph"), u"Orvello\r\n\r\n");
    store.ReplaceReplacements({{u"orvello", u"ORVELLO"}});
    EXPECT_EQ(store.Apply(u"orvello"), u"ORVELLO");
    EXPECT_EQ(store.FileText(), FormatReplacementsFile({{u"orvello", u"ORVELLO"}}));
}

TEST(ReplacementStoreTest, AFileNotTakenWholeIsBackedUpAndTheMessagesSayWhere) {
    ReplacementStore store;
    store.LoadFromFileBytes(R"([{"written": "a", "typed": "A"}, 7])");
    EXPECT_TRUE(store.LoadError().empty());
    EXPECT_TRUE(store.NeedsBackupBeforeSave());
    store.NoteBackupPath(u"C:\\r.kwx.bak");
    EXPECT_EQ(store.LoadNotes(),
              (std::vector<std::u16string>{
                  u"Replacement 2 in replacements.kwx skipped: it is not an object with "
                  u"\"written\" and \"typed\".",
                  u"The replacements file will be overwritten the next time you save. Before "
                  u"that, a copy of it will be kept as C:\\r.kwx.bak."}));
    EXPECT_EQ(store.Apply(u"a"), u"A");

    store.LoadFromFileBytes("[");
    store.NoteBackupPath(u"C:\\r.kwx.bak");
    EXPECT_TRUE(store.Replacements().empty());
    EXPECT_EQ(store.Apply(u"a"), u"a") << "the earlier list is gone";
    EXPECT_TRUE(store.LoadNotes().empty());
    EXPECT_EQ(store.LoadError(), std::u16string(kCorruptedReplacementsFileMessage) +
                                     u" Before that, a copy of it will be kept as C:\\r.kwx.bak.");
    store.NoteSaveSucceeded();
    EXPECT_FALSE(store.NeedsBackupBeforeSave());
}

}  // namespace
}  // namespace orvello
