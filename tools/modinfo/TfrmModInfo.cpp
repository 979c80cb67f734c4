#include "tools/modinfo/TfrmModInfo.h"
#include "ui_TfrmModInfo.h"

TfrmModInfo::TfrmModInfo(QWidget *parent) : QDialog(parent), ui(new Ui::TfrmModInfo)
{
    ui->setupUi(this);
}

TfrmModInfo::~TfrmModInfo()
{
    delete ui;
}
