#pragma once
#include <QDialog>

namespace Ui { class TfrmWriteTool; }

class TfrmWriteTool : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWriteTool(QWidget *parent = nullptr);
    ~TfrmWriteTool() override;

    Ui::TfrmWriteTool *ui;
};
