#pragma once
#include <QDialog>

namespace Ui { class TfrmWattorSet; }

class TfrmWattorSet : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWattorSet(QWidget *parent = nullptr);
    ~TfrmWattorSet() override;

    Ui::TfrmWattorSet *ui;
};
