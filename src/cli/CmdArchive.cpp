// replidex-cli archive: copies the game folder's slot files into an archive
// folder under names made from what each replay says, optionally adds the
// copies to a list file and removes the slot files from the game folder.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/JsonLines.h"
#include "cli/OptionParsing.h"
#include "cli/ReplayFiles.h"
#include "core/archive/ArchivePlan.h"
#include "core/archive/ArchiveToList.h"
#include "core/file/NativeFiles.h"
#include "core/list/ListFile.h"
#include "core/text/SjisCodec.h"
#include "platform/JournalLocation.h"

namespace replidex::cli {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

const char* StateText(ArchiveState state)
{
    return state == ArchiveState::Archive ? "archived" : state == ArchiveState::Already ? "already" : "failed";
}

Json OutcomeLine(const ArchiveOutcome& o, bool planned)
{
    Json line;
    line["slot"] = o.fileName;
    line["state"] = StateText(o.state);
    line["to"] = o.relative.empty() ? Json(nullptr) : Json(o.relative);
    line["removed"] = o.removed == RemovalKind::Trash    ? Json("trash")
                      : o.removed == RemovalKind::Delete ? Json("delete")
                                                         : Json(nullptr);
    line["reason"] = o.reason.empty() ? Json(nullptr) : Json(o.reason);
    if (planned) line["planned"] = true;
    return line;
}

// The --into path as Shift-JIS folder names ("/" between them; empty parts
// ignored); false when a name has no Shift-JIS form.
bool FolderNames(const std::string& path, std::vector<std::string>& names)
{
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        std::string name;
        if (end > start && !Utf8ToCp932(path.substr(start, end - start), name)) return false;
        if (!name.empty()) names.push_back(std::move(name));
        start = end + 1;
    }
    return true;
}

bool ToSjis(const std::string& utf8, std::string& sjis, const char* what)
{
    if (Utf8ToCp932(utf8, sjis)) return true;
    std::fprintf(stderr, "replidex-cli archive: the %s has no Shift-JIS form\n", what);
    return false;
}

// Opens the list (or starts one with its root "Root"); false after saying why.
bool OpenList(const std::string& path, ReplayDocument& doc)
{
    std::error_code ec;
    if (fs::exists(fs::symlink_status(FsPath(path), ec)) && OpenListFileNative(path, doc) != ListOpenResult::Opened) {
        std::fprintf(stderr, "replidex-cli archive: %s: not a list file that can be read\n", path.c_str());
        return false;
    }
    if (!doc.root) doc.root = doc.addTopLevel("Root");
    return true;
}

}  // namespace

int RunArchive(const Args& args)
{
    CLI::App app{"Archives the slot files REPLAYnn.RPD (any letter case) of the game folder\n"
                 "GAMEDIR into ARCHIVEDIR: each is copied (through a temporary file, never\n"
                 "overwriting) to a name made from TEMPLATE in a sub-folder made from the\n"
                 "folder template, unless a file of the same bytes lies anywhere under\n"
                 "ARCHIVEDIR already. Fields: %date% (yyyymmdd-hhmmss), %1p% %2p% %chara1%\n"
                 "%chara2% %score% %slot%, and %yyyy% %mm% %dd%. With --list the copies are added\n"
                 "to LIST.rdx (folder 取り込み under the root, or --into A/B), which is saved\n"
                 "atomically. With --remove-from-game a slot file goes to the trash (deleted\n"
                 "where there is none) once its archived copy reads back byte-equal.\n"
                 "Prints one JSON line per slot file {\"slot\",\"state\",\"to\",\"removed\",\"reason\"},\n"
                 "then {\"archived\",\"already\",\"failed\",\"removed\"}; --dry-run prints the same\n"
                 "lines with \"planned\":true and changes nothing. Exit 1 when a file failed.",
                 "replidex-cli archive"};
    std::string gameDir, archiveDir, listPath, into, nameTemplate = std::string(kDefaultNameTemplate),
                                                   folderTemplate = std::string(kDefaultFolderTemplate);
    bool remove = false, dryRun = false;
    app.add_option("GAMEDIR", gameDir, "the game's replay folder")->required();
    app.add_option("ARCHIVEDIR", archiveDir, "the folder that keeps the archived replays")->required();
    CLI::Option* list = app.add_option("--list", listPath, "add the archived replays to this list file");
    app.add_option("--into", into, "the list folder below the root (A/B), default 取り込み")->needs(list);
    app.add_option("--template", nameTemplate, "the name template")->capture_default_str();
    app.add_option("--folder-template", folderTemplate, "the sub-folder template (empty: none)")
        ->capture_default_str();
    app.add_flag("--remove-from-game", remove, "remove the archived slot files from the game folder");
    app.add_flag("--dry-run", dryRun, "print what would be done and change nothing");
    if (const auto status = ParseOptions(app, args)) return *status;

    ArchiveTemplates templates;
    if (!ToSjis(nameTemplate, templates.name, "template") || !ToSjis(folderTemplate, templates.folder, "folder template"))
        return 2;
    std::vector<std::string> intoNames;
    if (!into.empty() ? !FolderNames(into, intoNames) : false) {
        std::fprintf(stderr, "replidex-cli archive: the --into path has no Shift-JIS form\n");
        return 2;
    }
    if (into.empty()) intoNames = {DefaultArchiveListFolder()};

    auto doc = std::make_unique<ReplayDocument>();
    if (!listPath.empty() && !OpenList(listPath, *doc)) return 1;

    // The list stores the archived files by absolute paths, whatever folder
    // the command runs in; the lines name them below ARCHIVEDIR as before.
    const ArchivePlan plan = PlanArchive(AbsolutePath(gameDir), AbsolutePath(archiveDir), templates);
    if (plan.listError) {
        std::fprintf(stderr, "replidex-cli archive: %s: %s\n", gameDir.c_str(), plan.listError.message().c_str());
        return 1;
    }
    // The removal is journaled like every change to the game folder:
    // `replidex-cli journal` lists it and `undo` brings the files back.
    JournalStore journal(JournalFolder());
    ArchiveRunOptions options;
    options.removeFromGame = remove;
    options.journal = &journal;
    options.journalTrash = PlatformJournalTrash();
    const std::vector<ArchiveOutcome> outcomes = dryRun ? PlannedOutcomes(plan, options) : RunArchive(plan, options);
    ArchiveCounts counts = CountOutcomes(outcomes);
    bool listFailed = false;
    if (!dryRun && !listPath.empty()) {
        bool created = false;
        ReplayFolder* target = EnsureFolderPath(doc->root, intoNames, created);
        auto importPool = std::make_unique<EntryPool>();
        const ArchiveListResult added = AddArchivedToList(*importPool, *doc, target, outcomes);
        if (added.merge == kMergePoolFull)
            std::fprintf(stderr, "replidex-cli archive: %s\n", Cp932ToUtf8Lossy(PoolFullMessage()).c_str());
        if (added.skips.any())
            std::fprintf(stderr, "replidex-cli archive: %s\n", Cp932ToUtf8Lossy(SkipMessage(added.skips)).c_str());
        if (!SaveListFileNative(listPath, *doc)) {
            std::fprintf(stderr, "replidex-cli archive: %s: cannot be written\n", listPath.c_str());
            listFailed = true;
        }
    }
    for (const ArchiveOutcome& o : outcomes) PrintJsonLine(OutcomeLine(o, dryRun));
    Json summary;
    summary["archived"] = counts.archived;
    summary["already"] = counts.already;
    summary["failed"] = counts.failed;
    summary["removed"] = counts.removed;
    if (dryRun) summary["planned"] = true;
    PrintJsonLine(summary);
    std::fflush(stdout);
    return counts.failed > 0 || listFailed ? 1 : 0;
}

}  // namespace replidex::cli
