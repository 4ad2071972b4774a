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
// naming the file and the OS error ("cannot write /x/y.cfg: Permission denied"); a folder that
// lets no file be created is named as well. *refusedTarget (when given) tells whether the
// target itself was refused, as against a write that failed on the way. The new file keeps the
// owner and mode of the one it replaces, so a run as root never takes a user's file over.
std::string WriteFileAtomic(const std::string& path, std::string_view bytes,
                            bool* refusedTarget = nullptr);

// Removes the temporary files that writes of `file` left beside it when their process died
// before the rename ("<name>.tmp<pid>_<n>" of a pid that no longer runs on this host). Those
// of other files in the folder are never touched: the folder may be shared.
void RemoveStaleTemporaries(const std::string& file);

}  // namespace platform
