// Finding replay files on disk for the command line.
#pragma once

#include <string>
#include <vector>

namespace replidex::cli {

// An absolute path without "." and ".." parts and without trailing
// delimiters (except for the top folder itself): what a list stores must not
// depend on the folder the command ran in.
std::string AbsolutePath(const std::string& path);

// True for a name ending in ".RPD" or ".DAT", in any letter case.
bool HasReplayExtension(const std::string& name);

// Every replay file below `folder` (recursively, not following symbolic links
// to folders, skipping what cannot be read), as native paths in sorted order.
std::vector<std::string> ReplayFilesBelow(const std::string& folder);

}  // namespace replidex::cli
