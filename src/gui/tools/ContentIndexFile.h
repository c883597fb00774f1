// The content index file as the window's threads share it: each change is a
// load, an edit and an atomic save under one lock, so that the recording
// thread and the relink window never write over each other's records.
#pragma once

#include <functional>

#include "core/list/ContentIndex.h"

namespace replidex {

// The index as the file holds it now (empty when it is missing or damaged).
ContentIndex LoadContentIndex();
// Applies `edit` to the index as the file holds it and saves it; false when
// there is no place for the file or it could not be written.
bool EditContentIndex(const std::function<void(ContentIndex&)>& edit);

}  // namespace replidex
