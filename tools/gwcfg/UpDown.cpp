#include "tools/gwcfg/UpDown.h"
#include <QLineEdit>

UpDown::UpDown(QWidget *parent) : QSpinBox(parent)
{
    // Only the arrows are shown: the number lives in the partner edit.
    lineEdit()->hide();
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setKeyboardTracking(false);
}

void UpDown::takeUpPartner()
{
    if (!m_partner)
        return;
    bool ok = false;
    const int v = m_partner->text().trimmed().toInt(&ok, 10);
    if (ok)
        setValue(v);  // clamped to the range
}

QAbstractSpinBox::StepEnabled UpDown::stepEnabled() const
{
    // Both arrows stay usable; a step at the end of a range without
    // wrapping simply stays at the end.
    return StepUpEnabled | StepDownEnabled;
}

void UpDown::stepBy(int steps)
{
    takeUpPartner();
    QSpinBox::stepBy(steps);
    if (m_partner)
        m_partner->setText(QString::number(value()));
}
