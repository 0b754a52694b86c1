#include "SelectionKeepingTree.h"

#include <memory>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {
// The widget style in use draws expand arrows without lines; the classic style draws the
// dotted lines and the boxed expand buttons, and only those are borrowed from it.
class TreeLinesStyle final : public QProxyStyle {
public:
    TreeLinesStyle() : lines_(QStyleFactory::create(QStringLiteral("Windows"))) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_IndicatorBranch && lines_)
            lines_->drawPrimitive(element, option, painter, widget);
        else
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    std::unique_ptr<QStyle> lines_;
};
}  // namespace

SelectionKeepingTree::SelectionKeepingTree(QWidget* parent) : QTreeView(parent) {
    auto* style = new TreeLinesStyle;
    style->setParent(this);
    setStyle(style);
    connect(this, &QTreeView::collapsed, this, &SelectionKeepingTree::SelectCollapsedAncestor);
    // Qt decides which keys activate an item on this platform; only those reach keyActivated.
    connect(this, &QAbstractItemView::activated, this, [this] {
        if (inKeyPress_) emit keyActivated();
    });
}

void SelectionKeepingTree::mousePressEvent(QMouseEvent* event) {
    if (indexAt(event->position().toPoint()).isValid()) QTreeView::mousePressEvent(event);
}

void SelectionKeepingTree::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    emit dblClick();
}

// Qt on X11 turns neither Shift+F10 nor the Menu key into a context menu request by itself.
static bool AsksForContextMenu(const QKeyEvent& event) {
    return (event.key() == Qt::Key_Menu && event.modifiers() == Qt::NoModifier) ||
           (event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier);
}

void SelectionKeepingTree::keyPressEvent(QKeyEvent* event) {
    if (AsksForContextMenu(*event)) {
        const QRect node = visualRect(currentIndex());
        const QPoint at = node.isValid() ? node.center() : QPoint();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(viewport(), &request);
        return;
    }
    inKeyPress_ = true;
    QTreeView::keyPressEvent(event);
    inKeyPress_ = false;
}

void SelectionKeepingTree::SelectCollapsedAncestor(const QModelIndex& collapsed) {
    for (const QModelIndex& selected : selectionModel()->selectedIndexes()) {
        for (QModelIndex above = selected.parent(); above.isValid(); above = above.parent()) {
            if (above == collapsed) {
                setCurrentIndex(collapsed);
                return;
            }
        }
    }
}
