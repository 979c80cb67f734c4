#pragma once
// An up-down control beside an edit: a spin box reduced to its arrows.
// Stepping writes the new number into the edit; a number typed or set in the
// edit becomes the up-down's position, so the next step starts from it.
class QLineEdit;
class QSpinBox;

void linkUpDown(QSpinBox *upDown, QLineEdit *edit);
