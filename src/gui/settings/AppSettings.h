// Reading and writing the settings file as a whole.
#pragma once

namespace replidex {

struct ProgramState;

// Reads every setting the program keeps from the settings file into
// `program` (a missing file or key gives the defaults).
void LoadSettings(ProgramState& program);

// Writes the settings of `program` into the settings file: each section it
// owns is erased and written again in full; the rest of the file is kept.
// The first write of a run that fails is told to the user (a lost write
// would make the next start forget, for one, the game folder just chosen);
// later failures are not told again. Answers whether the file was written.
bool SaveSettings(ProgramState& program);

}  // namespace replidex
