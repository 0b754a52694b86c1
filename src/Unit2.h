// The Field Properties dialog: adds one row to the field list.
#pragma once

#include <memory>

#include <QDialog>

namespace Ui {
class TForm2;
}
class QAbstractItemView;
class QTreeWidget;

class TForm2 final : public QDialog {
    Q_OBJECT
public:
    // tree: the structure tree whose selected node the row is for; fieldList: where OK appends.
    TForm2(const QAbstractItemView& tree, QTreeWidget& fieldList, QWidget* parent);
    ~TForm2() override;

    // Every opening starts afresh: the node's name, VarChar, size 50.
    void Prepare(const QString& fieldName);

signals:
    void shown();

public slots:
    void FormShow();
    void ComboBox1Change();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ResetSize(bool sized);

    std::unique_ptr<Ui::TForm2> ui;
    const QAbstractItemView& tree_;
    QTreeWidget& fieldList_;
};
