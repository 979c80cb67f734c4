#include "tools/cntrpreset/TfrmCntrPreset.h"
#include "ui_TfrmCntrPreset.h"

TfrmCntrPreset::TfrmCntrPreset(QWidget *parent) : QDialog(parent), ui(new Ui::TfrmCntrPreset)
{
    ui->setupUi(this);
}

TfrmCntrPreset::~TfrmCntrPreset()
{
    delete ui;
}
