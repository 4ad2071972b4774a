#pragma once

#include <string>
#include <string_view>

namespace platform {

// Replaces the file with the bytes as one step: a temporary file in the same folder is
// written, flushed, synced and renamed over the target, so a failure at any point leaves
// the old file as it was. A target that is no regular file, or one the user could not write
// in place, is refused and left alone. Returns "" on success, else a text naming the file and the OS
// error ("cannot write /x/y.cfg: Permission denied").
std::string WriteFileAtomic(const std::string& path, std::string_view bytes);

}  // namespace platform
