#pragma once
// The tool's message boxes. Every box goes through these functions so that
// the kinds and buttons stay uniform, and so that tests can answer a box
// without a person (setMessageBoxHook).
#include <QString>
#include <functional>

class QWidget;

namespace msg {

enum class Kind { Warning, Information, Error, Question };

struct Shown {
    Kind kind;
    QString text;
    QString caption;
};

// A warning with an OK button ("リレイモに接続されていません" and the like).
void warning(QWidget *parent, const QString &text);
void information(QWidget *parent, const QString &text);
// The error box of a failed conversion or file operation; caption "エラー"
// unless another is given.
void error(QWidget *parent, const QString &text, const QString &caption = QString());
// A confirmation with Yes and No; true for Yes.
bool askYesNo(QWidget *parent, const QString &text);

// With a hook installed no box is shown: the hook receives it and, for a
// question, returns true for Yes.
using Hook = std::function<bool(const Shown &)>;
void setMessageBoxHook(Hook hook);

} // namespace msg
