#pragma once
#include <QDialog>

namespace Ui { class TfrmSoftCntr; }

class TfrmSoftCntr : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSoftCntr(QWidget *parent = nullptr);
    ~TfrmSoftCntr() override;

    Ui::TfrmSoftCntr *ui;
};
