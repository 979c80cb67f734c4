#include "tools/ladder/TfrmLadderConsole.h"
#include "ui_TfrmLadderConsole.h"

TfrmLadderConsole::TfrmLadderConsole(QWidget *parent) : QDialog(parent), ui(new Ui::TfrmLadderConsole)
{
    ui->setupUi(this);
}

TfrmLadderConsole::~TfrmLadderConsole()
{
    delete ui;
}
