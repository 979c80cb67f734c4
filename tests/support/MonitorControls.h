#pragma once
// Test support: the main window's monitor controls by name, and choosing
// what to monitor the way a user does.
#include "support/TestApp.h"
#include "app/TfrmMain.h"
#include "support/Controls.h"
#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QTabWidget>
#include <optional>

// A control of the main window by its objectName.
template <class T> T *child(const char *name)
{
    return controls::find<T>(frmMain, name);
}

enum Page { Word = 0, Bit = 1, D2 = 2 };

// Picks the page, terminal type, data areas and address; with `linked`,
// also sets 連動 first (left as it is otherwise).
inline void select(int page, int terminal, int area, int bitItem, int address,
                   std::optional<bool> linked = std::nullopt)
{
    if (linked)
        child<QCheckBox>("chkbxAutoChange")->setChecked(*linked);
    child<QTabWidget>("pcSlaveType")->setCurrentIndex(page);
    child<QComboBox>("cbTerminalType")->setCurrentIndex(terminal);
    child<QComboBox>("DataAreaSelect")->setCurrentIndex(area);
    child<QComboBox>("BitDataSelect")->setCurrentIndex(bitItem);
    const char *spin = page == Word ? "seWordAdrs" : page == Bit ? "seBitAdrs" : "seD2BitAdrs";
    child<QSpinBox>(spin)->setValue(address);
}
