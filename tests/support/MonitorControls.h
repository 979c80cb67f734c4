#pragma once
// Test support: the main window's monitor controls by name, and choosing
// what to monitor the way a user does.
#include "app/Forms.h"
#include "app/TfrmMain.h"
#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QTabWidget>
#include <optional>

template <class T> T *child(const char *name)
{
    T *w = frmMain->findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
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
