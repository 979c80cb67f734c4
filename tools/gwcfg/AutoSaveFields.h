#pragma once
// The automatic-saving fields of the settings dialog's log page, as typed.
// The main window reads them when monitoring starts (the first file number
// and its digits) and after every monitor answer (the rest); they are not
// kept in the settings file.
#include <QString>

struct AutoSaveFields {
    bool enabled = false;   // ChkAutoSave
    QString interval;       // EdSaveInt: monitor answers between two saves
    QString fileHeader;     // EdLogSaveFN: the start of every file name
    QString firstNumber;    // EdLogSaveStart
    QString digits;         // CbxLogSaveKeta: digits of the file number
};
