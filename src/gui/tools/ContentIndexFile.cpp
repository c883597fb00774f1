#include "gui/tools/ContentIndexFile.h"

#include <mutex>

#include "platform/ContentIndexLocation.h"

namespace replidex {

namespace {

std::mutex& IndexFileLock()
{
    static std::mutex lock;
    return lock;
}

}  // namespace

ContentIndex LoadContentIndex()
{
    ContentIndex index;
    const std::string path = ContentIndexPath();
    const std::lock_guard hold(IndexFileLock());
    if (!path.empty()) index.load(path);
    return index;
}

bool EditContentIndex(const std::function<void(ContentIndex&)>& edit)
{
    const std::string path = ContentIndexPath();
    if (path.empty()) return false;
    const std::lock_guard hold(IndexFileLock());
    ContentIndex index;
    index.load(path);
    edit(index);
    return index.save(path);
}

}  // namespace replidex
