#include "app/size_rule.h"

namespace {
constexpr int kMinOuterHeight = 700;
constexpr int kMinOuterWidth = 1000;
}  // namespace

QSize ApplyMinimumSize(QSize outer) {
    if (outer.height() < kMinOuterHeight) outer.setHeight(kMinOuterHeight);
    if (outer.width() < kMinOuterWidth) outer.setWidth(kMinOuterWidth);
    return outer;
}
