#pragma once

#include <QKeySequence>
#include <QStringList>
#include <vector>

namespace keyfall {

class Form1;
struct Label;

// For a player who keeps both hands on the keys, keys that type no text stand for the clicks on
// the status bar and the settings panel. A key is a click on the label it names at that moment:
// nothing happens where the label would ignore the click.
struct CommandKey {
    QKeySequence key;
    const Label& (*label)(const Form1& form);
};

const std::vector<CommandKey>& commandKeys();

// The keys that click the label at this moment, as the desktop writes them.
QStringList keysOf(const Form1& form, const Label& label);

}
