#include "resources/fileopen_template.h"

#include "ui/pictures.h"

namespace resources {

const ui::DialogTemplate& FileOpenTemplate() {
    static const ui::DialogTemplate tmpl = [] {
        using ui::Kind;
        ui::DialogTemplate t;
        t.id = IDD_FILEOPEN;
        t.controls = {
            {IDC_FILE_BACKGROUND, Kind::Picture, {0, 0, 370, 510}, "", 0, IDB_BACKGROUND, {}},
            {IDC_FOLDER_TREE, Kind::TreeView, {47, 110, 276, 120}, "", 0, 0, {}},
            {IDC_FILE_LIST, Kind::ListView, {47, 234, 276, 178}, "", 0, 0, {}},
            {IDC_FILE_BANNER, Kind::Picture, ui::kNavBarRect, "", 0, IDB_FILE_BANNER, {}},
        };
        return t;
    }();
    return tmpl;
}

}  // namespace resources
