// The image list of the window: six 16 x 16 images, of which the stay-on-top toggle uses
// the first two.
#pragma once

#include <QList>
#include <QPixmap>

constexpr int kPinSideImage = 0;  // a pin seen from the side: the window stacks normally
constexpr int kPinTopImage = 1;   // a pin seen from above: the window stays on top

QList<QPixmap> MakeImageList();
