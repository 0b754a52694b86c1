// Controls against the boxes their window definition draws.
#pragma once

#include <gtest/gtest.h>
#include <QLabel>

// A label keeps its box unless the font makes its caption wider; then it grows away from the
// side it is aligned to, a right-aligned one staying next to the control it names.
inline void ExpectDrawnGeometry(const QWidget& widget, const QRect& drawn) {
    const auto* label = qobject_cast<const QLabel*>(&widget);
    if (!label) {
        EXPECT_EQ(widget.geometry(), drawn);
        return;
    }
    const QRect actual = widget.geometry();
    if (label->alignment() & Qt::AlignRight)
        EXPECT_EQ(actual.right(), drawn.right());
    else
        EXPECT_EQ(actual.left(), drawn.left());
    EXPECT_EQ(actual.top(), drawn.top());
    EXPECT_EQ(actual.height(), drawn.height());
    EXPECT_EQ(actual.width(), std::max(drawn.width(), label->sizeHint().width()));
}
