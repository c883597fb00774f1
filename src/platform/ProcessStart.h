// What a command-line program sets up before it reads its arguments: the
// arguments as UTF-8 text (the native form of paths everywhere), and
// standard streams that pass bytes through unchanged.
//
// Windows: the arguments come from the wide command line, so a Japanese
// path arrives whatever the system's code page; the streams are switched to
// binary mode, so output ends its lines with "\n" as on Linux and a list
// file read from standard input keeps every byte. Linux: argv as it is.
#pragma once

#include <string>
#include <vector>

namespace replidex {

std::vector<std::string> Utf8Arguments(int argc, char** argv);
void UseBinaryStandardStreams();
// A write beyond the file-size limit (ulimit -f) fails with EFBIG and is
// reported like any failed write, instead of the signal that would end the
// program in the middle of a save (Linux; nothing to do on Windows).
void IgnoreFileSizeLimitSignal();

}  // namespace replidex
