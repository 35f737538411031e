#include "own_console.h"

bool IsConsoleOfItsOwn(const ConsoleAtStart& console)
{
    // A shell shares the console. A redirected handle means a program or a
    // script started it, not a person. A hidden window (a scheduled task; wine
    // on a Unix terminal, whose shell is not counted) has nobody to press a
    // key, and the wait would never end.
    return console.processes == 1 && console.inputIsConsole && console.outputIsConsole && console.errorIsConsole &&
           console.windowShown;
}
