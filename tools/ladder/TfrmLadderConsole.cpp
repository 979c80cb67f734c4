#include "tools/ladder/TfrmLadderConsole.h"
#include "app/MessageBoxes.h"
#include "monitor/TextNumbers.h"
#include "tools/ladder/LadderAddress.h"
#include "ui_TfrmLadderConsole.h"

TfrmLadderConsole::TfrmLadderConsole(QWidget *parent)
    : QDialog(parent), ui(new Ui::TfrmLadderConsole)
{
    ui->setupUi(this);
    setFixedSize(size());
    connect(ui->edWad1, &QLineEdit::textChanged, this, &TfrmLadderConsole::edWad1Change);
}

TfrmLadderConsole::~TfrmLadderConsole()
{
    delete ui;
}

void TfrmLadderConsole::edWad1Change()
{
    const QString text = ui->edWad1->text();
    const auto a = ParseInt(text);
    if (!a) {
        msg::error(this, IntConversionError(text));
        return;
    }
    if (const auto reference = ladderWordReference(*a))
        ui->stWmod1->setText(QString::number(*reference));
}
