// The runner's file machinery in this process: a file and a folder replaced whole or not at
// all, text made safe to print, the bounded input reader, the CSV folder's names and status.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "input_text.h"
#include "output_file.h"
#include "printable_text.h"
#include "result_writer.h"
#include "test_files.h"

namespace fs = std::filesystem;
using namespace zf::project;
using zftest::ReadFile;
using zftest::Snapshot;
using zftest::TempDir;
using zftest::WriteFile;

namespace {

mode_t ModeOf(const fs::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const OutputError& e) {
        return e.what();
    } catch (const InputError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

// ---- AtomicFile ---------------------------------------------------------------------------

TEST(AtomicFile, TheTargetChangesOnlyAtCommitAndKeepsItsPermissions) {
    TempDir dir;
    WriteFile(dir / "r.json", "old");
    fs::permissions(dir / "r.json", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    {
        AtomicFile file(dir / "r.json");
        file.Stream() << "new";
        file.Stream().flush();
        EXPECT_EQ(ReadFile(dir / "r.json"), "old");  // the new text is elsewhere until Commit
        file.Commit();
    }
    EXPECT_EQ(ReadFile(dir / "r.json"), "new");
    EXPECT_EQ(ModeOf(dir / "r.json"), 0640u);
    EXPECT_EQ(Snapshot(dir.Path()).size(), 1u);  // no temporary file left
}

TEST(AtomicFile, DroppedWithoutCommitLeavesNoTraceAndTheOldFileWhole) {
    TempDir dir;
    WriteFile(dir / "r.json", "old");
    const auto before = Snapshot(dir.Path());
    {
        AtomicFile file(dir / "r.json");
        file.Stream() << std::string(200000, 'x');
    }
    {
        AtomicFile file(dir / "new.json");
    }
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

TEST(AtomicFile, ThroughALinkReplacesTheFileItPointsToAndKeepsTheLink) {
    TempDir dir;
    fs::create_directory(dir / "elsewhere");
    WriteFile(dir / "elsewhere/r.json", "old");
    fs::create_symlink("elsewhere/r.json", dir / "link.json");
    AtomicFile file(dir / "link.json");
    EXPECT_EQ(file.ResolvedTarget(), fs::canonical(dir / "elsewhere/r.json"));
    file.Stream() << "new";
    file.Commit();
    EXPECT_TRUE(fs::is_symlink(dir / "link.json"));
    EXPECT_EQ(ReadFile(dir / "elsewhere/r.json"), "new");
}

TEST(AtomicFile, ADeviceIsWrittenInPlaceAndItsErrorNamesTheReason) {
    {
        AtomicFile file("/dev/null");
        file.Stream() << "anything";
        file.Commit();  // /dev/null is neither replaced nor an error
    }
    AtomicFile full("/dev/full");
    full.Stream() << "result";
    const std::string error = ErrorOf([&] { full.Commit(); });
    EXPECT_NE(error.find("/dev/full"), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(ENOSPC)), std::string::npos) << error;
}

// Every failed write has one shape (where, what, the system's reason) and one message made of it.
struct FailedWrite {
    const char* Name;
    std::function<void(const fs::path& dir)> Write;
    std::string Path;  // relative to the folder, or absolute
    int Error;
};

void PrintTo(const FailedWrite& c, std::ostream* os) { *os << c.Name; }

class WriteFailureShape : public testing::TestWithParam<FailedWrite> {};

TEST_P(WriteFailureShape, NamesThePathAndTheSystemsReasonInOneMessage) {
    TempDir dir;
    try {
        GetParam().Write(dir.Path());
        FAIL() << "written";
    } catch (const OutputError& e) {
        const WriteFailure& failure = e.Failure();
        EXPECT_EQ(failure.Path, GetParam().Path[0] == '/' ? fs::path(GetParam().Path) : dir / GetParam().Path);
        EXPECT_EQ(failure.Error, GetParam().Error) << e.what();
        EXPECT_FALSE(failure.What.empty());
        EXPECT_EQ(e.what(), WriteFailureMessage(failure));
        EXPECT_NE(std::string(e.what()).find(std::strerror(GetParam().Error)), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Writers, WriteFailureShape,
    testing::Values(FailedWrite{"FullDevice",
                                [](const fs::path&) {
                                    AtomicFile full("/dev/full");
                                    full.Stream() << "result";
                                    full.Commit();
                                },
                                "/dev/full", ENOSPC},
                    FailedWrite{"MissingFolder", [](const fs::path& d) { AtomicFile file(d / "no/such/r.json"); },
                                "no/such/r.json", ENOENT}),
    [](const testing::TestParamInfo<FailedWrite>& info) { return std::string(info.param.Name); });

TEST(WriteFailureShape, TheMessageEscapesThePathAndLeavesOutAMissingReason) {
    EXPECT_EQ(WriteFailureMessage({"a\nb.json", "не удалось записать файл", 0}), "a\\x0ab.json: не удалось записать файл");
    EXPECT_EQ(WriteFailureMessage({"стандартный вывод", "не удалось вывести", EPIPE}),
              std::string("стандартный вывод: не удалось вывести: ") + std::strerror(EPIPE));
}

TEST(AtomicFile, RefusesAFolderAndAMissingFolderBeforeAnythingIsWritten) {
    TempDir dir;
    EXPECT_NE(ErrorOf([&] { AtomicFile file(dir.Path()); }).find("каталог"), std::string::npos);
    const std::string missing = ErrorOf([&] { AtomicFile file(dir / "no/such/r.json"); });
    EXPECT_NE(missing.find("no/such"), std::string::npos) << missing;
    EXPECT_NE(missing.find(std::strerror(ENOENT)), std::string::npos) << missing;
}

TEST(AtomicFile, ALongNameStillGetsATemporaryFileBesideIt) {
    TempDir dir;
    const std::string name = std::string(250, 'r') + ".json";  // 255 bytes, the longest name
    AtomicFile file(dir / name);
    file.Stream() << "{}";
    file.Commit();
    EXPECT_EQ(ReadFile(dir / name), "{}");
}

// ---- AtomicFolder -------------------------------------------------------------------------

namespace {
bool IsRoomFile(std::string_view name) { return name.starts_with("room_"); }
}  // namespace

TEST(AtomicFolder, ReplacesTheWholeFolderAtCommitAndUnlinksOldLinksWithoutFollowing) {
    TempDir dir;
    fs::create_directory(dir / "csv");
    WriteFile(dir / "csv/room_1", "old 1");
    WriteFile(dir / "csv/room_2", "old 2");
    WriteFile(dir / "victim", "precious");
    fs::create_symlink(dir / "victim", dir / "csv/room_3");
    {
        AtomicFolder folder(dir / "csv", &IsRoomFile);
        folder.WriteFile("room_1", [](std::ostream& out) { out << "new 1"; });
        EXPECT_EQ(ReadFile(dir / "csv/room_1"), "old 1");  // nothing visible before Commit
        folder.Commit();
    }
    EXPECT_EQ(Snapshot(dir.Path()),
              (std::map<std::string, std::string>{{"csv", "<dir>"}, {"csv/room_1", "new 1"}, {"victim", "precious"}}));
}

TEST(AtomicFolder, DroppedOrFailedLeavesTheOldFolderAndNoTemporary) {
    TempDir dir;
    fs::create_directory(dir / "csv");
    WriteFile(dir / "csv/room_1", "old");
    const auto before = Snapshot(dir.Path());
    {
        AtomicFolder folder(dir / "csv", &IsRoomFile);
        folder.WriteFile("room_1", [](std::ostream& out) { out << "new"; });
        folder.WriteFile("room_2", [](std::ostream& out) { out << "new"; });
    }
    EXPECT_EQ(Snapshot(dir.Path()), before);
    {
        AtomicFolder folder(dir / "csv", &IsRoomFile);
        folder.WriteFile("room_1", [](std::ostream& out) { out << "new"; });
        // A name the folder does not own, or one written twice, is refused.
        EXPECT_NE(ErrorOf([&] { folder.WriteFile("notes.txt", [](std::ostream&) {}); }), "");
        EXPECT_NE(ErrorOf([&] { folder.WriteFile("room_1", [](std::ostream&) {}); }).find(std::strerror(EEXIST)),
                  std::string::npos);
    }
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

TEST(AtomicFolder, AFolderHoldingAnythingElseIsRefusedUntouched) {
    TempDir dir;
    fs::create_directory(dir / "csv");
    WriteFile(dir / "csv/room_1", "old");
    WriteFile(dir / "csv/thesis.docx", "years of work");
    const auto before = Snapshot(dir.Path());
    const std::string error = ErrorOf([&] { AtomicFolder folder(dir / "csv", &IsRoomFile); });
    EXPECT_NE(error.find("thesis.docx"), std::string::npos) << error;
    EXPECT_EQ(Snapshot(dir.Path()), before);
}

TEST(AtomicFolder, ANewFolderIsCreatedWhole) {
    TempDir dir;
    AtomicFolder folder(dir / "out/", &IsRoomFile);  // a trailing slash names the same folder
    folder.WriteFile("room_1", [](std::ostream& out) { out << "1"; });
    folder.Commit();
    EXPECT_EQ(Snapshot(dir.Path()), (std::map<std::string, std::string>{{"out", "<dir>"}, {"out/room_1", "1"}}));
}

// ---- PrintableText ------------------------------------------------------------------------

TEST(PrintableText, EscapesWhatATerminalWouldObeyAndKeepsLetters) {
    EXPECT_EQ(PrintableText("Помещение №1.json"), "Помещение №1.json");
    EXPECT_EQ(PrintableText("a\x1b[2Jb\x07"), "a\\x1b[2Jb\\x07");
    EXPECT_EQ(PrintableText("\xc2\x9b" "31m"), "\\xc2\\x9b31m");  // C1 control: CSI in one character
    EXPECT_EQ(PrintableText("x\x7fy"), "x\\x7fy");
    EXPECT_EQ(PrintableText("bad \xff\xd0 end"), "bad \\xff\\xd0 end");  // not UTF-8
    EXPECT_EQ(PrintableText("\xed\xa0\x80"), "\\xed\\xa0\\x80");        // a surrogate
    EXPECT_EQ(PrintableText("line\nnext\ttab"), "line\\x0anext\\x09tab");
    EXPECT_EQ(PrintableText("line\nnext\ttab", 100, true), "line\nnext\ttab");
}

// A direction control would reorder the rest of the line or message; a line separator would
// break it. Each is written as its code point, the letters of every script are kept.
struct DirectionCase {
    const char* Name;
    std::string Text, Printed;
};

void PrintTo(const DirectionCase& c, std::ostream* os) { *os << c.Name; }

class PrintableDirection : public testing::TestWithParam<DirectionCase> {};

TEST_P(PrintableDirection, ControlsEscapedLettersKept) { EXPECT_EQ(PrintableText(GetParam().Text), GetParam().Printed); }

INSTANTIATE_TEST_SUITE_P(
    Names, PrintableDirection,
    testing::Values(DirectionCase{"RightToLeftOverride", "exe.\xe2\x80\xaejson", "exe.\\u202ejson"},
                    DirectionCase{"LeftToRightEmbeddingAndPop", "\xe2\x80\xaa" "a\xe2\x80\xac", "\\u202aa\\u202c"},
                    DirectionCase{"IsolatesAndMarks", "\xe2\x81\xa6\xe2\x80\x8f\xd8\x9c", "\\u2066\\u200f\\u061c"},
                    DirectionCase{"LineAndParagraphSeparators", "a\xe2\x80\xa8" "b\xe2\x80\xa9", "a\\u2028b\\u2029"},
                    DirectionCase{"HebrewAndArabicLettersKept", "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d \xd8\xba\xd8\xb1\xd9\x81\xd8\xa9",
                                  "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d \xd8\xba\xd8\xb1\xd9\x81\xd8\xa9"}),
    [](const testing::TestParamInfo<DirectionCase>& info) { return std::string(info.param.Name); });

TEST(PrintableText, CutsAfterTheGivenNumberOfCharacters) {
    EXPECT_EQ(PrintableText("абвгд", 3), "абв…");
    EXPECT_EQ(PrintableText("абв", 3), "абв");
    EXPECT_EQ(PrintableText(std::string(5'000'000, 'k')).size(), kPrintedNameChars + std::strlen("…"));
}

// ---- ReadInputText ------------------------------------------------------------------------

TEST(ReadInputText, ReadsUpToTheBoundAndRefusesPastIt) {
    TempDir dir;
    WriteFile(dir / "at.json", std::string(1000, 'a'));
    WriteFile(dir / "over.json", std::string(1001, 'a'));
    EXPECT_EQ(ReadInputText((dir / "at.json").string(), 1000).size(), 1000u);
    EXPECT_NE(ErrorOf([&] { ReadInputText((dir / "over.json").string(), 1000); }), "");
    // An endless device has no size to check: reading stops past the bound.
    EXPECT_NE(ErrorOf([&] { ReadInputText("/dev/zero", 100000); }), "");
    EXPECT_NE(ErrorOf([&] { ReadInputText(dir.Path().string()); }).find("каталог"), std::string::npos);
    EXPECT_NE(ErrorOf([&] { ReadInputText((dir / "missing.json").string()); }).find(std::strerror(ENOENT)),
              std::string::npos);
}

// ---- The CSV folder's names and status ----------------------------------------------------

TEST(CsvFolderFiles, OnlyRoomFilesAndTheStatusBelongToTheFolder) {
    for (const char* name : {"room_1.csv", "room_12.csv", "status"}) EXPECT_TRUE(IsCsvFolderFile(name)) << name;
    for (const char* name : {"room_.csv", "room_01.csv", "room_1.csv.bak", "room_x.csv", "notes.txt", "Status", ".status"})
        EXPECT_FALSE(IsCsvFolderFile(name)) << name;
}

TEST(CsvFolderFiles, TheStatusStartsWithOneWordForTheOutcome) {
    zf::TzoneMath zm;
    zm.StepCount = 101;
    zm.Iter = 40;
    EXPECT_EQ(StatusText(RunOutcome::Stopped, zm, ""), "stopped\nРасчет остановлен на шаге 40 из 100.\n");
    EXPECT_EQ(StatusText(RunOutcome::Failed, zm, "Деление на ноль"),
              "failed\nРасчет прерван ошибкой на шаге 40 из 100.\nДеление на ноль\n");
    zm.Iter = 100;
    EXPECT_EQ(StatusText(RunOutcome::Completed, zm, "").substr(0, 10), "completed\n");
}
