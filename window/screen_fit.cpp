#include "screen_fit.h"

#include <cmath>

WindowFit fitOnScreen(const ScreenRoom& room) {
    const int rounding = room.pixelRatio == std::floor(room.pixelRatio) ? 0 : 1;
    const QSize inside =
        (room.available.size() - room.frame - QSize(rounding, rounding)).expandedTo(room.smallest);
    // Where the design is too high for the room, a scroll bar beside it takes room
    // from its width; where it is too wide, one below it from its height. A direction
    // that the design is too large for takes the whole room, bar or none.
    const int bar = room.scrollBar;
    const QSize bars(room.design.height() > inside.height() ? bar : 0,
                     room.design.width() > inside.width() ? bar : 0);
    const QSize size = (room.design + bars).boundedTo(inside);
    // Centred: where it takes the whole room, its frame lies on the room's edges.
    QRect placed(QPoint(0, 0), size + room.frame);
    placed.moveCenter(room.available.center());
    return {size, placed.topLeft()};
}
