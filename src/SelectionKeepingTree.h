// The structure tree's control, behaving as the platform's tree view does: a click on the
// empty space below the nodes leaves the selected node selected, so that a double-click there
// still opens the Field Properties dialog for it; collapsing an ancestor of the selected node
// selects that ancestor, so that no hidden node stays selected; lines join the nodes.
// Every double-click is reported, also on the empty space below the nodes: the handlers bound
// to it act on the selection, not on the node under the mouse. Shift+F10 and the Menu key ask
// for the context menu at the current node.
#pragma once

#include <QTreeView>

class SelectionKeepingTree final : public QTreeView {
    Q_OBJECT
public:
    explicit SelectionKeepingTree(QWidget* parent = nullptr);

signals:
    void dblClick();
    // The platform's activation key (Enter on most) pressed on a node.
    void keyActivated();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SelectCollapsedAncestor(const QModelIndex& collapsed);

    bool inKeyPress_ = false;
};
