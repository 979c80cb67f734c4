#pragma once
#include <QDialog>

namespace Ui { class TfrmFTPtool; }

class TfrmFTPtool : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFTPtool(QWidget *parent = nullptr);
    ~TfrmFTPtool() override;

    Ui::TfrmFTPtool *ui;
};
