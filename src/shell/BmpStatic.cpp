#include "shell/BmpStatic.h"

#include <exception>

#include "ui/dialog.h"
#include "ui/pictures.h"

QSize CBmpStatic::NavBarSize() const {
    if (navBarSize_.isValid()) return navBarSize_;
    const ui::Host* host = ui::Host::Existing();
    const float sx = host ? host->fScaleX() : 1.0f;
    const float sy = host ? host->fScaleY() : 1.0f;
    const ui::Rect r = ui::ScaleRect(ui::kNavBarRect, sx, sy);
    return QSize(r.Width(), r.Height());
}

int CBmpStatic::SetBitmapId(int id) {
    if (id == -1 || !control_ || control_->isIcon()) return 0;
    try {
        if (!ui::Pictures::Exists(id, ui::PictureKind::Bitmap)) return 0;
        const QSize size = NavBarSize();
        if (control_->size() != size) control_->resize(size);
        return control_->SetPictureId(id);
    } catch (const std::exception&) {
        return 0;
    }
}

int CBmpStatic::GetBitmapId() const {
    return control_ ? control_->pictureId() : 0;
}
