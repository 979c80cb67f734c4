#pragma once
// The terminal settings dialog's controls for the page tables of
// TermsetRules: which control shows each page and each of its fields, by
// objectName. The controller finds them by these names; tests drive them.
#include "termset/TermsetRules.h"
#include <QString>
#include <QStringList>

namespace termset {

struct PageBinding {
    int page = 0;
    QString addressLabel;
    QString upDown;
    QString readButton, writeButton, cancelButton;
    QString statusLabel, progressBar;
    QString radioGroup;          // empty where the page has no block offset
    QStringList currentLabels;   // the labels that show the radio item's captions
    // One entry per field of the page, in the order of PageDef::fields: the
    // label that shows the field's raw value, and the drop-down list of its
    // code (empty where the field has no list).
    QStringList rawFields;
    QStringList lists;

    // The lists a write needs a selection in, the list of the product type,
    // and the labels a poll waits for.
    QStringList mustSelect() const;
    QString typeList() const;
    QStringList required() const;
};

const PageBinding &pageBinding(int page);

} // namespace termset
