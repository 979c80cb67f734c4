#pragma once
// A spin box whose range does not move its value.
//
// The arbitrary write tool narrows and widens the address range as the user
// picks an area, and the address shown must stay as it is when the range
// changes (choosing "フリー" after a coil area keeps the coil number, and the
// write then reports the address as out of range). So the value is pulled
// into the range only when it is set, stepped, or when typing ends (focus
// lost or Return), and, as with the original spin edit, only while the
// range holds more than one address.
#include <QSpinBox>

class KeepRangeSpinBox : public QSpinBox {
    Q_OBJECT
public:
    // Widest value the box can hold at all (five-digit reference numbers).
    static constexpr int kHardMin = 0;
    static constexpr int kHardMax = 99999;

    explicit KeepRangeSpinBox(QWidget *parent = nullptr);

    void setAddressRange(int min, int max);
    int addressMin() const { return m_min; }
    int addressMax() const { return m_max; }
    // Sets the value pulled into the address range.
    void setAddress(int value);
    // The value pulled into the address range (when it holds more than one).
    int clampToRange(int value) const;

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void pullIntoRange();

    int m_min = 41025;
    int m_max = 49999;
};
