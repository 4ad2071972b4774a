#pragma once

#include <string>
#include <string_view>

namespace platform {

// The file a path names once symbolic links are followed: the path itself when it is no link,
// the end of its chain of links (which may not exist yet) when it is; "" with errno ELOOP when
// the chain does not end.
std::string FollowLinks(const std::string& path);

// Replaces the file with the bytes as one step: a temporary file in the same folder is
// written, flushed, synced and renamed over the target, so a failure at any point leaves
// the old file as it was. A symbolic link is written through: its target is replaced (the
// temporary file beside the target) and the link kept. A target that is no regular file, or one the
// user could not write in place, is refused and left alone. Returns "" on success, else a text
// naming the file and the OS error ("cannot write /x/y.cfg: Permission denied").
std::string WriteFileAtomic(const std::string& path, std::string_view bytes);

}  // namespace platform
