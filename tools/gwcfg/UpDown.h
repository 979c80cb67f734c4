#pragma once
// An up-down control beside an edit: a small spin box that shows only its
// arrows. Before each step it takes up the number its partner edit shows
// (so a typed or timer-written value is where the step starts from), and
// after the step it writes its number into the partner.
#include <QSpinBox>

class QLineEdit;

class UpDown : public QSpinBox {
    Q_OBJECT
public:
    explicit UpDown(QWidget *parent = nullptr);

    void setPartner(QLineEdit *partner) { m_partner = partner; }
    QLineEdit *partner() const { return m_partner; }

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    void takeUpPartner();
    QLineEdit *m_partner = nullptr;
};
