// One word for one thing: no user text of the windows, messages, report or guide uses a variant
// the glossary avoids, and the guide's glossary lists every term with its meaning.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>

#include "user_terms.h"

using namespace zfreport;
namespace fs = std::filesystem;

namespace {

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The files that hold texts a user reads: the sources of the windows, the report, the runner
// and its messages (their comments are English, so a Russian word in them is a user text), and
// the guide. The glossary's own files name the avoided variants and is left out.
std::vector<fs::path> UserTextFiles() {
    const fs::path root = ZONEFIRE_SOURCE_DIR;
    std::vector<fs::path> files{root / "docs" / "guide.md"};
    for (const char* dir : {"ui", "report", "report_pdf", "project", "study", "cli", "app"})
        for (const auto& entry : fs::recursive_directory_iterator(root / dir)) {
            const std::string ext = entry.path().extension().string();
            if ((ext == ".cpp" || ext == ".h" || ext == ".ui" || ext == ".in") && entry.path().stem() != "user_terms")
                files.push_back(entry.path());
        }
    return files;
}

// Every line where an avoided variant stands outside a designed text, as "file:line: text".
std::string AvoidedUses(const UserTerm& term) {
    std::string found;
    for (const fs::path& file : UserTextFiles()) {
        std::istringstream lines(ReadWhole(file));
        std::string line;
        for (int number = 1; std::getline(lines, line); ++number) {
            std::string checked = line;
            for (std::string_view designed : term.Designed)
                if (const auto at = checked.find(designed); at != std::string::npos) checked.erase(at, designed.size());
            for (std::string_view avoided : term.Avoid)
                if (checked.find(avoided) != std::string::npos)
                    found += file.filename().string() + ":" + std::to_string(number) + ": «" + std::string(avoided) + "» in " + line + "\n";
        }
    }
    return found;
}

}  // namespace

class Glossary : public testing::TestWithParam<std::size_t> {};

TEST_P(Glossary, NoUserTextUsesAnAvoidedVariant) {
    const UserTerm& term = UserTerms().at(GetParam());
    EXPECT_EQ(AvoidedUses(term), "") << "write «" << term.Word << "»";
}

TEST_P(Glossary, TheGuideListsTheTermWithItsMeaning) {
    const UserTerm& term = UserTerms().at(GetParam());
    const std::string guide = ReadWhole(fs::path(ZONEFIRE_SOURCE_DIR) / "docs" / "guide.md");
    const std::string entry = "- **" + std::string(term.Word) + "** — " + std::string(term.Meaning);
    EXPECT_NE(guide.find(entry), std::string::npos) << entry;
}

INSTANTIATE_TEST_SUITE_P(Terms, Glossary, testing::Range<std::size_t>(0, UserTerms().size()));

// The variants of one term never name another term: a glossary that avoided "проем" while
// listing it would make every text wrong.
TEST(Glossary, NoTermIsAnotherTermsAvoidedVariant) {
    for (const UserTerm& term : UserTerms())
        for (const UserTerm& other : UserTerms())
            for (std::string_view avoided : other.Avoid) EXPECT_EQ(term.Word.find(avoided), std::string_view::npos) << avoided;
}
