#include "termset/TfrmWattorSet.h"
#include "ui_TfrmWattorSet.h"

TfrmWattorSet::TfrmWattorSet(QWidget *parent) : QDialog(parent), ui(new Ui::TfrmWattorSet)
{
    ui->setupUi(this);
}

TfrmWattorSet::~TfrmWattorSet()
{
    delete ui;
}
