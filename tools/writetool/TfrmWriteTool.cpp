#include "tools/writetool/TfrmWriteTool.h"
#include "ui_TfrmWriteTool.h"

TfrmWriteTool::TfrmWriteTool(QWidget *parent) : QDialog(parent), ui(new Ui::TfrmWriteTool)
{
    ui->setupUi(this);
}

TfrmWriteTool::~TfrmWriteTool()
{
    delete ui;
}
