// Plans, the journal, undo and recovery over generated game folders, with the
// state folder and the trash in temporary folders.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "core/journal/Journal.h"
#include "platform/JournalLocation.h"
#include "support/TempDir.h"

namespace replidex::test {
namespace {

namespace fs = std::filesystem;
using Folder = std::map<std::string, std::string>;

class Journal : public ::testing::Test {
public:
    void SetUp() override
    {
        ::setenv("XDG_STATE_HOME", dir.file("state").c_str(), 1);
        ::setenv("XDG_DATA_HOME", dir.file("data").c_str(), 1);
        fs::create_directories(dir.path() / "game");
    }

    std::string game() const { return dir.file("game"); }
    void put(const Folder& files) const
    {
        for (const auto& [name, bytes] : files) dir.write("game/" + name, bytes);
    }
    Folder snapshot() const
    {
        Folder files;
        for (const auto& item : fs::directory_iterator(dir.path() / "game"))
            files[item.path().filename().string()] = ReadWholeFile(item.path().string());
        return files;
    }
    std::vector<FolderItem> items() const
    {
        std::error_code error;
        return ListFolder(game(), error);
    }
    std::vector<TransferSource> sources(int count, const std::string& tag = "new") const
    {
        std::vector<TransferSource> list;
        for (int i = 0; i < count; ++i) {
            const std::string name = SlotFileName(i);
            list.push_back({dir.write("src/" + tag + "/" + name, tag + std::to_string(i)), name});
        }
        return list;
    }
    // Slots given by number hold "old<n>".
    static Folder Slots(std::initializer_list<int> numbers)
    {
        Folder files;
        for (const int n : numbers) files[SlotFileName(n)] = "old" + std::to_string(n);
        return files;
    }

    TempDir dir;
    JournalStore store{JournalFolder()};
    JournalTrash trash = PlatformJournalTrash();
};

using Planner = std::function<OperationPlan(const Journal&)>;

struct RoundTripCase {
    const char* what;
    Folder before;
    Planner plan;
};

TEST_F(Journal, EveryOperationRoundTripsAndItsPreviewIsWhatRuns)
{
    auto all = [](int from, int to) {
        Folder f;
        for (int n = from; n <= to; ++n) f[SlotFileName(n)] = "old" + std::to_string(n);
        return f;
    };
    Folder mixed = Slots({2, 7, 40});
    mixed["replay05.rpd"] = "lower";
    mixed["Other.RPD"] = "other";
    mixed["notes.txt"] = "notes";
    Folder nearlyFull = all(0, 97);
    const std::vector<RoundTripCase> cases = {
        {"normal transfer over taken and free slots", Slots({0, 1, 5}),
         [](const Journal& t) { return PlanNormalTransfer(t.game(), t.items(), t.sources(3)); }},
        {"normal transfer over a lower-case holder", mixed,
         [](const Journal& t) { return PlanNormalTransfer(t.game(), t.items(), t.sources(6)); }},
        {"additional transfer into gaps", Slots({0, 2, 5}),
         [](const Journal& t) { return PlanAdditionalTransfer(t.game(), t.items(), t.sources(4)); }},
        {"additional transfer beyond the free slots", nearlyFull,
         [](const Journal& t) { return PlanAdditionalTransfer(t.game(), t.items(), t.sources(4)); }},
        {"rename with gaps, mixed case and other files", mixed,
         [](const Journal& t) { return PlanAscendingRename(t.game(), t.items()); }},
        {"rename of a full tail", all(60, 99),
         [](const Journal& t) { return PlanAscendingRename(t.game(), t.items()); }},
        {"clear into the trash", mixed,
         [](const Journal& t) {
             std::vector<RemoveRequest> r;
             for (const std::string& name : RpdFileNames(t.items())) r.push_back({name, true});
             return PlanRemoval(OperationKind::Clear, t.game(), r);
         }},
        {"archive removal", Slots({3, 4}),
         [](const Journal& t) {
             return OperationPlan(PlanRemoval(OperationKind::ArchiveRemove, t.game(),
                                              {{"REPLAY03.RPD", true}, {"REPLAY04.RPD", true}}));
         }},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& item : fs::directory_iterator(dir.path() / "game")) fs::remove(item.path());
        put(c.before);
        const OperationPlan plan = c.plan(*this);
        ASSERT_FALSE(plan.steps.empty());
        const OperationReport preview = PlannedReport(plan);
        const ExecutionResult run = ExecutePlan(store, plan, trash);
        ASSERT_EQ(run.report.files.size(), preview.files.size());
        for (std::size_t i = 0; i < preview.files.size(); ++i) {
            EXPECT_EQ(run.report.files[i].outcome, preview.files[i].outcome) << i;
            EXPECT_EQ(run.report.files[i].target, preview.files[i].target) << i;
        }
        EXPECT_NE(snapshot(), c.before);
        const std::optional<JournalEntry> last = store.lastUndoable(game());
        ASSERT_TRUE(last);
        EXPECT_EQ(last->id, run.id);
        for (const UndoStepResult& step : UndoEntry(store, *last, trash)) EXPECT_TRUE(step.undone) << step.name;
        EXPECT_EQ(snapshot(), c.before);
        EXPECT_FALSE(store.lastUndoable(game()));
    }
}

struct InterferenceCase {
    const char* what;
    Folder before;
    Planner plan;
    std::string gameWrites;   // the slot the game writes between operation and undo
    UndoReason reason;
};

TEST_F(Journal, UndoNeverRemovesOrReplacesWhatTheGameWroteSince)
{
    const std::vector<InterferenceCase> cases = {
        {"a copied slot rewritten", Slots({0}),
         [](const Journal& t) { return PlanAdditionalTransfer(t.game(), t.items(), t.sources(2)); }, "REPLAY01.RPD",
         UndoReason::ChangedSince},
        {"an overwritten slot rewritten", Slots({1}),
         [](const Journal& t) { return PlanNormalTransfer(t.game(), t.items(), t.sources(2)); }, "REPLAY01.RPD",
         UndoReason::ChangedSince},
        {"a renamed file's old slot taken", Slots({3, 6}),
         [](const Journal& t) { return PlanAscendingRename(t.game(), t.items()); }, "REPLAY06.RPD",
         UndoReason::SlotTaken},
        {"a trashed file's slot taken", Slots({4}),
         [](const Journal& t) { return PlanRemoval(OperationKind::Clear, t.game(), {{"REPLAY04.RPD", true}}); },
         "REPLAY04.RPD", UndoReason::SlotTaken},
    };
    for (const InterferenceCase& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& item : fs::directory_iterator(dir.path() / "game")) fs::remove(item.path());
        put(c.before);
        ExecutePlan(store, c.plan(*this), trash);
        put({{c.gameWrites, "written by the game"}});
        const Folder written = snapshot();
        bool refused = false;
        for (const UndoStepResult& step : UndoEntry(store, *store.lastUndoable(game()), trash))
            if (step.name == c.gameWrites || !step.undone) {
                EXPECT_FALSE(step.undone);
                EXPECT_EQ(step.reason, c.reason);
                refused = true;
            }
        EXPECT_TRUE(refused);
        EXPECT_EQ(snapshot().at(c.gameWrites), "written by the game");
    }
}

TEST_F(Journal, ExecutionRechecksEachStep)
{
    put(Slots({5, 9}));
    const OperationPlan copy = PlanAdditionalTransfer(game(), items(), sources(2));
    const OperationPlan rename = PlanAscendingRename(game(), items());
    put({{"REPLAY00.RPD", "game"}, {"REPLAY09.RPD", "changed"}});   // after planning
    const ExecutionResult copied = ExecutePlan(store, copy, trash);
    EXPECT_EQ(copied.report.files[0].target, "REPLAY02.RPD");   // 00 was taken meanwhile: next free slot
    EXPECT_EQ(copied.report.files[1].target, "REPLAY01.RPD");
    EXPECT_EQ(snapshot().at("REPLAY00.RPD"), "game");
    const ExecutionResult renamed = ExecutePlan(store, rename, trash);
    ASSERT_EQ(renamed.report.files.size(), 2u);
    EXPECT_EQ(renamed.report.files[0].problem, FileProblem::TargetExists);   // 00 is the game's now
    EXPECT_EQ(renamed.report.failedCount(), 0);                               // both: skips, nothing failed
    EXPECT_EQ(renamed.report.files[1].problem, FileProblem::ChangedSince);
    EXPECT_EQ(snapshot().at("REPLAY09.RPD"), "changed");
    const JournalEntry entry = *store.lastUndoable(game());
    EXPECT_EQ(ReadStepStates(entry), (std::vector<StepState>{StepState::Skipped, StepState::Skipped}));
}

TEST_F(Journal, JournaledRemovalTakesOnlyFilesWithTheExpectedBytes)
{
    put(Slots({1, 2}));
    const FileFacts one = *ReadFileFacts(dir.file("game/REPLAY01.RPD"));
    const ExecutionResult run =
        JournaledRemoval(store, game(), {{"REPLAY01.RPD", one}, {"REPLAY02.RPD", one}, {"../x", one}}, false, trash);
    EXPECT_EQ(run.report.files[0].outcome, FileOutcome::Deleted);
    EXPECT_EQ(run.report.files[1].problem, FileProblem::ChangedSince);
    EXPECT_EQ(run.report.files[2].problem, FileProblem::UnsafeName);
    EXPECT_EQ(snapshot(), Slots({2}));
    const std::vector<UndoStepResult> undo = UndoEntry(store, store.entries().front(), trash);
    EXPECT_EQ(undo.back().reason, UndoReason::Permanent);   // undone last to first
    EXPECT_EQ(store.entries().front().plan.kind, OperationKind::ArchiveRemove);
}

TEST_F(Journal, PruningKeepsTheNewestEntries)
{
    put(Slots({1}));
    for (int i = 0; i < 5; ++i) ExecutePlan(store, PlanAdditionalTransfer(game(), items(), sources(1)), trash);
    store.prune(3);
    EXPECT_EQ(store.entries().size(), 3u);
}

// Runs the plan in a child that is killed after step `k`.
void RunKilledAfter(JournalStore& store, const OperationPlan& plan, const JournalTrash& trash, std::size_t k)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ExecutionOptions options;
        options.afterStep = [k](std::size_t step) {
            if (step == k) ::raise(SIGKILL);
        };
        ExecutePlan(store, plan, trash, options);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
}

TEST_F(Journal, AKilledOperationIsRecoveredAtEveryStepBoundary)
{
    struct Scenario {
        const char* what;
        Folder before;
        std::size_t steps;
        Planner plan;
    };
    Folder sparse;
    for (int n = 0; n < 30; ++n) sparse[SlotFileName(n * 3 + 10)] = "s" + std::to_string(n);
    const std::vector<Scenario> scenarios = {
        {"20-file transfer", Slots({0, 3}), 20,
         [](const Journal& t) { return PlanAdditionalTransfer(t.game(), t.items(), t.sources(20)); }},
        {"30-file rename", sparse, 30, [](const Journal& t) { return PlanAscendingRename(t.game(), t.items()); }},
    };
    for (const Scenario& s : scenarios) {
        for (std::size_t k = 0; k < s.steps; ++k) {
            SCOPED_TRACE(std::string(s.what) + " killed after step " + std::to_string(k));
            for (const auto& item : fs::directory_iterator(dir.path() / "game")) fs::remove(item.path());
            put(s.before);
            const OperationPlan plan = s.plan(*this);
            ASSERT_EQ(plan.steps.size(), s.steps);
            RunKilledAfter(store, plan, trash, k);
            std::vector<JournalEntry> open = store.interrupted();
            ASSERT_EQ(open.size(), 1u);
            const std::vector<StepState> states = ReadStepStates(open[0]);
            for (std::size_t i = 0; i < states.size(); ++i)
                EXPECT_EQ(states[i], i <= k ? StepState::Done : StepState::NotDone) << i;
            for (const UndoStepResult& step : UndoEntry(store, open[0], trash)) EXPECT_TRUE(step.undone);
            EXPECT_EQ(snapshot(), s.before);
            EXPECT_TRUE(store.interrupted().empty());
        }
    }
}

}  // namespace
}  // namespace replidex::test
