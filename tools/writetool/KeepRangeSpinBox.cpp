#include "tools/writetool/KeepRangeSpinBox.h"
#include <QFocusEvent>
#include <algorithm>

KeepRangeSpinBox::KeepRangeSpinBox(QWidget *parent) : QSpinBox(parent)
{
    // The widget's own range is the widest one; the address range is ours.
    QSpinBox::setRange(kHardMin, kHardMax);
    connect(this, &QAbstractSpinBox::editingFinished, this, &KeepRangeSpinBox::pullIntoRange);
}

void KeepRangeSpinBox::setAddressRange(int min, int max)
{
    // The .ui sets minimum/maximum through QSpinBox; the first call here
    // takes over and widens the widget's range again.
    QSpinBox::setRange(kHardMin, kHardMax);
    m_min = min;
    m_max = max;
}

int KeepRangeSpinBox::clampToRange(int value) const
{
    if (m_min == m_max)
        return value;
    return std::clamp(value, m_min, m_max);
}

void KeepRangeSpinBox::setAddress(int value)
{
    setValue(clampToRange(value));
}

void KeepRangeSpinBox::stepBy(int steps)
{
    setAddress(value() + steps * singleStep());
    selectAll();
}

QAbstractSpinBox::StepEnabled KeepRangeSpinBox::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    if (m_min == m_max)
        return StepUpEnabled | StepDownEnabled;
    StepEnabled e = StepNone;
    if (value() < m_max)
        e |= StepUpEnabled;
    if (value() > m_min)
        e |= StepDownEnabled;
    return e;
}

void KeepRangeSpinBox::focusOutEvent(QFocusEvent *event)
{
    QSpinBox::focusOutEvent(event);
    pullIntoRange();
}

void KeepRangeSpinBox::pullIntoRange()
{
    const int v = clampToRange(value());
    if (v != value())
        setValue(v);
}
