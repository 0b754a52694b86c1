// The About box: the product's name, version and links.
#pragma once

#include <memory>

#include <QDialog>

namespace Ui {
class TAboutBox;
}

class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

public slots:
    void CommentsClick();
    void Label1Click();
    void OKButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TAboutBox> ui;
};
