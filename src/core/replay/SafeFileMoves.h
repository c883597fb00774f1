// File moves that never leave a half-written file where a reader may find it
// and never lose a file that is in the way: a copy goes through a temporary
// file in the target's folder that is renamed into place, a rename can refuse
// to replace, and removing touches regular files only.
//
// Paths are in the file system's own encoding. Failures come back as error
// codes; nothing throws.
#pragma once

#include <functional>
#include <string>
#include <system_error>

namespace replidex {

// Which step of a copy failed.
enum class CopyStep { None, ReadSource, WriteTarget, PlaceTarget };

struct CopyResult {
    CopyStep failedStep = CopyStep::None;
    std::error_code error;
    bool ok() const { return failedStep == CopyStep::None; }
};

// Copies the regular file `from` to `to`: the bytes go into a new temporary
// file next to `to` (a hidden name that does not end in ".RPD"), which is
// flushed and then renamed to `to`. With `replace` an existing `to` is
// replaced in one step; without it the rename fails with
// std::errc::file_exists when `to` exists. On failure the temporary file is
// removed and `to` is as it was.
CopyResult CopyViaTemporary(const std::string& from, const std::string& to, bool replace);

// A free-looking name for a temporary file next to `to`:
// "<folder>/.<name>.tmp-" and six random letters or digits. It is hidden and
// does not end in ".RPD", so no listing of replays takes it for one.
std::string TemporaryPathFor(const std::string& to);

// Renames `from` to `to` unless `to` exists (std::errc::file_exists then);
// an existing `to` is never replaced, not even by a file that appears while
// the rename runs.
std::error_code RenameWithoutReplace(const std::string& from, const std::string& to);

// Removes the item at `path` when it is a regular file (a link to a regular
// file: the link itself, never the file it names). Errors:
// no_such_file_or_directory when nothing is there, is_a_directory for a
// folder, operation_not_supported for any other item.
std::error_code RemoveRegularFile(const std::string& path);

// How moving a file to the trash ended.
enum class TrashResult {
    Trashed,   // the file is in the trash
    NoTrash,   // there is no trash for this file: nothing happened
    Failed,    // there is a trash, but the move failed: nothing happened
};

// A trash to move files to (the platform supplies one); `error` tells why it
// failed.
using MoveToTrashFunction = std::function<TrashResult(const std::string& path, std::error_code& error)>;

}  // namespace replidex
