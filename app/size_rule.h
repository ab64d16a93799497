#pragma once

#include <QSize>

// The window's outer size after the minimum-size rule: height first, then width, each raised
// only when below its minimum (700 high, 1000 wide).
QSize ApplyMinimumSize(QSize outer);
