#pragma once

#include <string>

namespace platform {

// $HOME, else the user's entry in the password database; "" when neither names one.
std::string HomeDir();

// A name beginning with "~/" names a file under the home folder, as in a shell; any other
// name (and any name while no home folder is known) is returned as it is.
std::string ExpandHome(const std::string& name);
// The reverse: a path under the home folder as "~/…"; any other path as it is.
std::string ShortenHome(const std::string& path);

// $TESSARAY_PC_CONFIG_DIR, else $XDG_CONFIG_HOME/Tessaray_PC, else ~/.config/Tessaray_PC.
std::string ConfigDir();

// The path of a file in the configuration folder.
std::string ConfigFile(const std::string& name);

// Creates the configuration folder (and its parents) when missing. On failure returns false
// and sets *error (when given) to a text naming the folder and the OS error.
bool EnsureConfigDir(std::string* error = nullptr);

// Creates a folder and its parents when missing; the same errors as EnsureConfigDir.
bool CreateFolders(const std::string& dir, std::string* error = nullptr);
// Creates the folders a file path lies in (nothing for a bare file name).
bool CreateFoldersOf(const std::string& filePath, std::string* error = nullptr);

}  // namespace platform
