#pragma once
// Saving the receiver configuration to an ".rcf" file chosen in the file browser.

#include <string>

// Runs the file browser in save mode for ".rcf" files, starting from `name` (a file or a
// folder; empty: the home folder), and writes the settings there. On success `name` becomes
// the full path and true is returned; a cancelled browser changes nothing. A file that cannot
// be written is reported to the user by its path.
bool BrowseAndSaveProfile(std::string& name);
