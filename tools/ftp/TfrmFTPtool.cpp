#include "tools/ftp/TfrmFTPtool.h"
#include "ui_TfrmFTPtool.h"

TfrmFTPtool::TfrmFTPtool(QWidget *parent) : QDialog(parent), ui(new Ui::TfrmFTPtool)
{
    ui->setupUi(this);
}

TfrmFTPtool::~TfrmFTPtool()
{
    delete ui;
}
