// The history file under Wine: real files in the test prefix's local application data.
#include <windows.h>

#include <gtest/gtest.h>

#include "files/atomic_file_win.h"
#include "history/history_file_win.h"

namespace orvello {
namespace {

const std::deque<HistoryEntry> kEntries = {
    {1'797'000'100, ResultOutcome::HeldBack, u"hello world"},
    {1'797'000'000, ResultOutcome::Ran, u"next track"},
};

// Each test starts without a history file or set-aside copies; whatever the folder held before
// is moved aside for the test and put back afterwards.
class HistoryFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(path_.empty());
        for (const std::wstring& name : Names()) {
            (void)MoveFileExW(name.c_str(), (name + L".before-test").c_str(),
                              MOVEFILE_REPLACE_EXISTING);
        }
    }
    void TearDown() override {
        for (const std::wstring& name : Names()) {
            DeleteFileW(name.c_str());
            (void)MoveFileExW((name + L".before-test").c_str(), name.c_str(), 0);
        }
    }

    void Write(const std::wstring& path, std::string_view bytes) const {
        ASSERT_TRUE(WriteFileByRename(path, bytes, MOVEFILE_REPLACE_EXISTING));
    }

    const std::wstring path_ = GetHistoryFilePath();

private:
    std::vector<std::wstring> Names() const {
        return {path_, TemporaryPathFor(path_), DamagedHistoryPathFor(path_, 0),
                DamagedHistoryPathFor(path_, 1)};
    }
};

TEST_F(HistoryFileTest, ASavedHistoryIsReadBackAndDeletingRemovesIt) {
    EXPECT_TRUE(path_.ends_with(L"\\Orvello\\history.json"));
    const HistoryFileLoad none = LoadHistoryFile(path_);
    EXPECT_TRUE(none.entries.empty() && none.writable && none.problem.empty());

    ASSERT_TRUE(SaveHistoryFile(path_, kEntries));
    EXPECT_TRUE(NameIsFree(TemporaryPathFor(path_)));
    const HistoryFileLoad load = LoadHistoryFile(path_);
    EXPECT_EQ(load.entries, kEntries);
    EXPECT_TRUE(load.writable);
    EXPECT_TRUE(load.problem.empty());

    EXPECT_TRUE(DeleteHistoryFile(path_));
    EXPECT_TRUE(NameIsFree(path_));
    EXPECT_TRUE(DeleteHistoryFile(path_));
}

TEST_F(HistoryFileTest, ADamagedFileIsSetAsideUnderAFreeNameAndTheHistoryStartsEmpty) {
    const std::string damaged[] = {"[{\"time\": 1, ", "not json"};
    for (int index = 0; index < 2; ++index) {
        Write(path_, damaged[index]);
        const HistoryFileLoad load = LoadHistoryFile(path_);
        const std::wstring aside = DamagedHistoryPathFor(path_, index);
        EXPECT_TRUE(load.entries.empty());
        EXPECT_TRUE(load.writable);
        EXPECT_NE(load.problem.find(L"set aside as " + aside), std::wstring::npos);
        EXPECT_TRUE(NameIsFree(path_));
        EXPECT_EQ(ReadWholeFile(aside), damaged[index]);
    }
    EXPECT_EQ(ReadWholeFile(DamagedHistoryPathFor(path_, 0)), damaged[0]);
}

// A file another program holds open without sharing cannot be read, and must not be replaced.
TEST_F(HistoryFileTest, AFileThatCannotBeOpenedKeepsTheHistoryInMemoryOnly) {
    ASSERT_TRUE(SaveHistoryFile(path_, kEntries));
    HANDLE locked = CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    const HistoryFileLoad load = LoadHistoryFile(path_);
    CloseHandle(locked);
    EXPECT_TRUE(load.entries.empty());
    EXPECT_FALSE(load.writable);
    EXPECT_NE(load.problem.find(L"could not be opened"), std::wstring::npos);
    EXPECT_EQ(LoadHistoryFile(path_).entries, kEntries);
}

}  // namespace
}  // namespace orvello
