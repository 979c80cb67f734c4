#include "tools/softcntr/UpDownLink.h"
#include "monitor/TextNumbers.h"
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

void linkUpDown(QSpinBox *upDown, QLineEdit *edit)
{
    upDown->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    upDown->setFocusPolicy(Qt::NoFocus);
    // Only the arrows show: the number lives in the edit.
    upDown->findChild<QLineEdit *>()->setReadOnly(true);
    upDown->findChild<QLineEdit *>()->hide();
    auto follow = [upDown](const QString &text) {
        if (const auto n = ParseInt(text)) {
            const QSignalBlocker block(upDown);
            upDown->setValue(*n);  // pulled into the up-down's range
        }
    };
    follow(edit->text());
    QObject::connect(edit, &QLineEdit::textChanged, upDown, follow);
    QObject::connect(upDown, &QSpinBox::valueChanged, edit,
                     [edit](int v) { edit->setText(QString::number(v)); });
}
