#pragma once

#include "ui/controls.h"

namespace resources {

inline constexpr int IDD_FILEOPEN = 130;
inline constexpr int IDC_FILE_LIST = 1001;
inline constexpr int IDC_FOLDER_TREE = 1003;
inline constexpr int IDC_FILE_BANNER = 1004;
inline constexpr int IDC_FILE_BACKGROUND = 1000;

inline constexpr int IDB_FILE_BANNER_OK = 237;
inline constexpr int IDB_FILE_BANNER = 238;
inline constexpr int IDB_BACKGROUND = 130;

// The file browser: a folder tree above a file list on the screen area, the banner with its
// painted buttons where the screens have their navigation bar.
const ui::DialogTemplate& FileOpenTemplate();

}  // namespace resources
