// Reading and writing the settings file as a whole.
#pragma once

namespace replidex {

struct ProgramState;

// Reads every setting the program keeps from the settings file into
// `program` (a missing file or key gives the defaults).
void LoadSettings(ProgramState& program);

// Writes the settings of `program` into the settings file: each section it
// owns is erased and written again in full; the rest of the file is kept.
// A failing write is not reported to the user; the answer says whether the
// file was written.
bool SaveSettings(const ProgramState& program);

}  // namespace replidex
