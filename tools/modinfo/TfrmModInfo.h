#pragma once
#include <QDialog>

namespace Ui { class TfrmModInfo; }

class TfrmModInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmModInfo(QWidget *parent = nullptr);
    ~TfrmModInfo() override;

    Ui::TfrmModInfo *ui;
};
