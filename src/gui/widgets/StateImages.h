#pragma once

#include <QIcon>
#include <QList>
#include <QSize>

namespace kestrel::gui {

// The image list ImageState of the cycle lists: 0 has detail, 1 stop, 2 service mode.
QList<QIcon> makeStateImages();

inline constexpr int kStateImageSize = 16;

// One decoration for a list row: the state image left of the item image, as the
// original list views draw them; either may be absent (-1). A blank icon of the same
// size when both are: the lists take their row height from the first row, so a row
// without an icon would squash the icons of all the others.
QIcon cycleRowIcon(const QList<QIcon>& images, int icon, int stateIcon);
// The size that leaves room for both images.
inline QSize cycleRowIconSize() { return {2 * kStateImageSize + 2, kStateImageSize}; }

} // namespace kestrel::gui
