#pragma once
#include <QDialog>

namespace Ui { class TfrmCntrPreset; }

class TfrmCntrPreset : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCntrPreset(QWidget *parent = nullptr);
    ~TfrmCntrPreset() override;

    Ui::TfrmCntrPreset *ui;
};
