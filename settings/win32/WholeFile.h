#pragma once
// A file read or replaced as a whole, for the settings file.

#include <string>

namespace vantaro {

enum class WholeFileRead { Read, Missing, Failed };

// The file's bytes; Missing when there is no such file (its folder may be missing too).
WholeFileRead ReadWholeFile(const std::string& path, std::string& bytes);

// Gives the file exactly `bytes`, made if missing. A reader sees the old content or the new,
// never a part: the bytes go to a new file in the same folder, flushed, which then takes the
// old one's place and its attributes. Only where that is refused (a folder the user cannot
// create files in, another program holding the file without delete sharing) is the file
// written over in place. False, with the file untouched, when it cannot be written: marked
// read-only, a folder, held open by another program without sharing, its folder missing.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes);

} // namespace vantaro
