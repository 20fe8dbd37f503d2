#include "imageviewer/window/image_commands.h"

#include "common/desktop/desktop.h"
#include "imageviewer/picture/geometry.h"
#include "imageviewer/picture/pictel_session.h"
#include "imageviewer/window/dimensions.h"
#include "imageviewer/window/form1.h"
#include "imageviewer/window/picture_box.h"

#include <QAction>

#include <algorithm>

namespace pictel::imagecmd {

void recadrer(Form1 &window, const QRect &shown)
{
    // A click without a drag selects nothing, and nothing changes.
    if (shown.isEmpty()) return;
    const Picture before = window.picture();
    QString error;
    const std::optional<Picture> part =
        before.cropped(toFullSize(shown, window.Image1()->size(), before.size()), &error);
    if (!part || !window.showPicture(*part, &error)) {
        window.warn(error);
        return;
    }
    window.setOriginale(before);
    window.stateChanged();
}

void m_taille(Form1 &window)
{
    PictelSession &session = window.session();
    dimensions dialog(session, window.desktop(), &window);
    window.desktop().exec(&dialog);
    const QSize current = window.picture().size();
    const double width = session.imageWidth;
    const double height = session.imageHeight;
    // The dialog's values stand for the picture's size until a resize is made.
    session.imageWidth = current.width();
    session.imageHeight = current.height();
    if (!((width > 0 && width != current.width()) || (height > 0 && height != current.height()))) return;
    const auto side = [](double value) { return int(std::clamp(value, 0.0, 1e9)); };
    QString error;
    const std::optional<Picture> result = window.picture().resized(QSize(side(width), side(height)), &error);
    if (!result || !window.showPicture(*result, &error)) {
        window.warn(error);
        return;
    }
    window.stateChanged();
}

void m_restaurer(Form1 &window)
{
    QString error;
    if (!window.showPicture(window.originale(), &error)) {
        window.warn(error);
        return;
    }
    window.stateChanged();
}

void m_sel(Form1 &window) { window.setMode(!window.mode()); }

} // namespace pictel::imagecmd
