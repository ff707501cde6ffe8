// The merge command: the shards of a study, each computed in its own folder, into the folder of
// the whole study, byte for byte what one machine computing it whole would have written.

#include <sys/stat.h>

#include <fstream>
#include <iostream>
#include <memory>

#include "output_file.h"
#include "count_text.h"
#include "printable_text.h"
#include "study_folder.h"
#include "study_options.h"
#include "study_run.h"

namespace zfcli::study {
namespace {

// "5–10, 17" of the run numbers in [1, runs] that `have` lacks; the first 100 spans of them.
std::string MissingRuns(const std::vector<bool>& have) {
    constexpr int kShownSpans = 100;
    std::string text;
    int spans = 0;
    for (std::size_t run = 1; run < have.size();) {
        if (have[run]) {
            ++run;
            continue;
        }
        std::size_t end = run;
        while (end + 1 < have.size() && !have[end + 1]) ++end;
        if (++spans > kShownSpans) return text + " и другие (список в runs.csv каждой доли)";
        text += (text.empty() ? "" : ", ") + std::to_string(run) + (end > run ? "–" + std::to_string(end) : "");
        run = end + 1;
    }
    return text;
}

struct Shard {
    Folder Where;
    FolderLock Lock;
    dev_t Device = 0;
    ino_t Inode = 0;
};

// The shards' folders, each read-locked, none given twice nor the target, all of one study and
// version.
int OpenShards(const MergeOptions& o, const struct stat* target, std::vector<Shard>& shards, Study& study) {
    for (const std::string& dir : o.Shards) {
        Shard shard{Folder{dir}, FolderLock{}, 0, 0};
        struct stat st {};
        if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return Refuse(dir, "нет такого каталога доли");
        shard.Device = st.st_dev;
        shard.Inode = st.st_ino;
        if (target && target->st_dev == st.st_dev && target->st_ino == st.st_ino)
            return Refuse(o.OutDir, "каталог результатов — один из каталогов долей; задайте для объединения отдельный каталог");
        for (const Shard& other : shards)
            if (other.Device == shard.Device && other.Inode == shard.Inode)
                return Refuse(dir, "этот каталог доли задан дважды (он же " + zf::project::PrintableText(other.Where.Dir.string()) + ")");
        if (auto busy = shard.Lock.Share(shard.Where)) return Refuse("", *busy);
        Study shardStudy;
        std::string version;
        if (auto bad = LoadFolderStudy(shard.Where, shardStudy, &version)) return Refuse(dir, *bad);
        if (version != ProgramVersion())
            return Refuse(dir, "результаты версии " + zf::project::PrintableText(version) + " программы, а это версия " + ProgramVersion() +
                                   "; результаты разных версий не объединяются — пересчитайте долю этой версией");
        if (shards.empty()) study = shardStudy;
        else if (shardStudy.Canonical != study.Canonical)
            return Refuse(dir, "результаты другого исследования, чем в " + zf::project::PrintableText(o.Shards.front()));
        shards.push_back(std::move(shard));
    }
    return kExitDone;
}

// Which runs the shards hold; refuses a run held twice or rows out of order.
int CoverRuns(const std::vector<Shard>& shards, const Study& study, std::vector<bool>& have, std::uint64_t& count) {
    have.assign(study.Runs + 1, false);
    count = 0;
    for (const Shard& shard : shards) {
        std::vector<bool> mine;
        std::uint64_t mineCount = 0;
        if (auto bad = DoneRuns(shard.Where, study, 1, study.Runs, mine, mineCount)) return Refuse(shard.Where.Dir.string(), *bad);
        for (std::uint64_t run = 1; run <= study.Runs; ++run) {
            if (!mine[run - 1]) continue;
            if (have[run]) return Refuse(shard.Where.Dir.string(), "расчет №" + std::to_string(run) + " есть и в другом каталоге доли");
            have[run] = true;
        }
        count += mineCount;
    }
    return kExitDone;
}

// runs.csv of the shards' rows in run order: each shard's table is in run order, so the
// smallest next row of all is always written next.
std::optional<std::string> WriteMergedRows(const Folder& folder, const Study& study, const std::vector<Shard>& shards) {
    struct Source {
        std::unique_ptr<std::ifstream> In;
        std::unique_ptr<RunsCsvReader> Reader;
        RunRow Row;
        bool Has = false;
    };
    std::vector<Source> sources;
    for (const Shard& shard : shards) {
        Source s;
        s.In = std::make_unique<std::ifstream>(shard.Where.File(kRunsCsv), std::ios::binary);
        s.Reader = std::make_unique<RunsCsvReader>(study, *s.In);
        if (*s.In && s.Reader->Start()) s.Has = s.Reader->Next(s.Row);
        sources.push_back(std::move(s));
    }
    try {
        zf::project::AtomicFile file(folder.File(kRunsCsv));
        file.Stream() << CsvHeader(study) << '\n';
        for (;;) {
            Source* next = nullptr;
            for (Source& s : sources)
                if (s.Has && (!next || s.Row.Run < next->Row.Run)) next = &s;
            if (!next) break;
            file.Stream() << CsvRow(study, next->Row);
            next->Has = next->Reader->Next(next->Row);
        }
        for (const Source& s : sources)
            if (s.Reader->Error()) return "runs.csv одной из долей изменился во время объединения: " + *s.Reader->Error();
        file.Commit();
    } catch (const zf::project::OutputError& e) {
        return e.what();
    }
    return std::nullopt;
}

// Takes the target folder, made when missing: one in use, foreign, or holding more runs than
// the merge would write (unless --force) is refused.
int TakeTarget(const MergeOptions& o, const Study& study, std::uint64_t rows, FolderLock& lock, bool locked) {
    const Folder folder{o.OutDir};
    std::error_code ec;
    std::filesystem::create_directories(folder.Dir, ec);
    if (!std::filesystem::is_directory(folder.Dir, ec)) return Refuse(o.OutDir, "не удалось создать каталог результатов");
    if (!locked)
        if (auto busy = lock.Take(folder)) return Refuse("", *busy);
    const FolderContents contents = InspectFolder(folder, study);
    if (contents.Foreign) return Refuse("", *contents.Foreign);
    if (contents.HasResults && contents.Rows > rows && !o.Force)
        return Refuse(o.OutDir, "в каталоге уже " + zfreport::CountText(static_cast<long long>(contents.Rows), zfreport::kRunsWord) + " этого исследования, а объединяется " +
                                    std::to_string(rows) + "; заменить более полный результат: --force");
    return kExitDone;
}

int Merge(const MergeOptions& o) {
    // A target in use is refused at once, before the shards are read.
    FolderLock lock;
    struct stat target {};
    const bool exists = ::stat(o.OutDir.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
    if (exists)
        if (auto busy = lock.Take(Folder{o.OutDir})) return Refuse("", *busy);
    std::vector<Shard> shards;
    Study study;
    if (const int refused = OpenShards(o, exists ? &target : nullptr, shards, study)) return refused;
    std::vector<bool> have;
    std::uint64_t rows = 0;
    if (const int refused = CoverRuns(shards, study, have, rows)) return refused;
    if (rows < study.Runs && !o.Partial) {
        std::cerr << "zonefire-cli merge: не хватает расчетов " << MissingRuns(have) << " из 1…" << study.Runs
                  << "; ничего не записано. Досчитайте доли (zonefire-cli study ... --shard I/N --resume) и объедините "
                     "снова или объедините имеющиеся: --partial\n";
        return kExitIncomplete;
    }
    if (const int refused = TakeTarget(o, study, rows, lock, exists)) return refused;
    const Folder folder{o.OutDir};
    std::optional<std::string> failed = RemoveSummaries(folder);
    if (!failed) failed = WriteFileWhole(folder.File(kStudyJson), FolderStudyText(study));
    if (!failed) failed = WriteMergedRows(folder, study, shards);
    if (!failed) failed = WriteSummaries(folder, study, Share{});
    if (failed) {
        std::cerr << zf::project::PrintableText(*failed, zf::project::kPrintedMessageChars, true) << '\n';
        return kExitOutputFailed;
    }
    if (rows < study.Runs) {
        std::cerr << "zonefire-cli merge: не хватает расчетов " << MissingRuns(have) << " из 1…" << study.Runs
                  << "; результаты записаны по имеющимся расчетам, их " << rows << "\n";
        return kExitIncomplete;
    }
    return kExitDone;
}

}  // namespace

int MergeMain(int argc, char** argv) {
    MergeOptions options;
    if (auto usage = ParseMergeArguments(argc, argv, options)) {
        if (usage->empty()) return WriteStdout(std::string(kStudyUsage) + '\n' + StudyHelp(), "не удалось вывести справку");
        return UsageError(*usage);
    }
    return Merge(options);
}

}  // namespace zfcli::study
