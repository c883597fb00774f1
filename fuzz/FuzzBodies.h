// What each fuzz target does with one input. Shared by the libFuzzer programs
// and by the regression test that replays every saved finding, so a finding
// fixed once stays fixed. Each body aborts when an invariant breaks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace replidex::fuzz {

// Analyses the bytes as a replay file and checks what the analysis answers.
void ReplayFileBody(const std::uint8_t* data, std::size_t size);

// Opens the bytes as a list file, saves the document, opens that again, and
// requires the second document to equal the first.
void ListFileBody(const std::uint8_t* data, std::size_t size);

// Reads the bytes as a settings file: every section and key is read, written
// back (into the same file and into a new one), and read again with the same
// values.
void SettingsFileBody(const std::uint8_t* data, std::size_t size);

// Parses the bytes as a search query line. An error must name a character of
// the line; a parsed query is matched against a few entries, and when the
// search window can express it, the window's criteria must take the same
// entries and read back as a query that parses.
void QueryLineBody(const std::uint8_t* data, std::size_t size);
// Reads the bytes as a content index; an index read whole is written again
// and that reads back to the same records and the same bytes. A damaged one
// leaves the index empty.
void ContentIndexBody(const std::uint8_t* data, std::size_t size);

}  // namespace replidex::fuzz
