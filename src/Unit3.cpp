#include "Unit3.h"

#include "ErrorDisplay.h"
#include "FixedDialog.h"
#include "LabelFitting.h"
#include "WindowPlacement.h"
#include "platform/Shell.h"
#include "ui_Unit3.h"

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TAboutBox>()) {
    ui->setupUi(this);
    MakeFixedDialog(*this);
    FitLabels(*this);
    // On the screen's centre, not the main window's, the first time; afterwards wherever the
    // user left it.
    PlaceOnFirstShow(*this, FirstPlace::CentreOfScreen);
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::showEvent(QShowEvent* event) {
    // Enter closes the box as it opens, even if a link had the focus when it last closed.
    ui->OKButton->setFocus();
    QDialog::showEvent(event);
}

void TAboutBox::CommentsClick() {
    Guarded([this] { platform::ShellOpen(ui->Comments->text()); });
}

void TAboutBox::Label1Click() {
    Guarded([this] { platform::ShellOpen(QStringLiteral("mailto:") + ui->Label1->text()); });
}

void TAboutBox::OKButtonClick() {
    Guarded([this] { accept(); });
}
