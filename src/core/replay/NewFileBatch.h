// Many new files made at once, each whole or not at all, with one flush to
// the disk for all of them instead of one per file: every file is first
// written to its own temporary next to its target, then all temporaries are
// made durable together, then each is renamed to its target without ever
// replacing anything, and last each folder that gained a file is flushed.
//
// A crash at any moment leaves each target either missing or holding all of
// its bytes (at worst a hidden temporary remains). Paths are native.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/replay/SafeFileMoves.h"

namespace replidex {

struct NewFile {
    std::string target;       // must not exist yet; its folder must
    std::string_view bytes;   // what it is to hold
};

// Makes every file of `files`; the results are in the same order. A failed
// one leaves no temporary behind and `target` as it was: WriteTarget when
// its temporary could not be written or flushed, PlaceTarget (file_exists
// when the name was taken meanwhile) when the rename failed.
std::vector<CopyResult> MakeNewFiles(const std::vector<NewFile>& files);

}  // namespace replidex
