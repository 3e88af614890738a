#pragma once
// A file read or replaced as a whole, for the settings file.

#include <string>

namespace vantaro {

enum class WholeFileRead { Read, Missing, Failed };

// The file's bytes; Missing when there is no such file (its folder may be missing too).
WholeFileRead ReadWholeFile(const std::string& path, std::string& bytes);

// Gives the file exactly `bytes`, made if missing. A reader sees the old content or the new,
// never a part: the bytes go to a new file in the same folder, flushed, which then takes the
// old one's place and its attributes. False, with the file untouched, when that cannot be done:
// marked read-only, a folder, held open by another program without sharing or without letting
// it be replaced, its folder missing or one in which no new file can be made.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes);

} // namespace vantaro
