// The structure tree's control: as the platform's tree view does, a click on the empty space
// below the nodes leaves the selected node selected, so that a double-click there still opens
// the Field Properties dialog for it.
#pragma once

#include "DoubleClickTree.h"

class SelectionKeepingTree final : public DoubleClickTree {
    Q_OBJECT
public:
    using DoubleClickTree::DoubleClickTree;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (indexAt(event->position().toPoint()).isValid()) DoubleClickTree::mousePressEvent(event);
    }
};
