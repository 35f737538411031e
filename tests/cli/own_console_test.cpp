// When dt2pcap, about to end, waits for a key: only on a console it has to
// itself, which closes with it.

#include "own_console.h"

#include <gtest/gtest.h>

TEST(OwnConsole, OnlyAloneOnAShownConsoleWithNothingRedirected)
{
    // A double-click on dt2pcap.exe, or files dropped onto it.
    ConsoleAtStart explorer;
    explorer.processes = 1;
    explorer.inputIsConsole = explorer.outputIsConsole = explorer.errorIsConsole = true;
    explorer.windowShown = true;
    EXPECT_TRUE(IsConsoleOfItsOwn(explorer));

    // cmd or PowerShell shares it (wine's cmd brings start.exe too); 0: no
    // console, or the count failed.
    for (const unsigned long processes : {0ul, 2ul, 3ul}) {
        ConsoleAtStart shared = explorer;
        shared.processes = processes;
        EXPECT_FALSE(IsConsoleOfItsOwn(shared)) << processes;
    }
    // Started by a program that took one of the handles.
    for (bool ConsoleAtStart::*handle :
         {&ConsoleAtStart::inputIsConsole, &ConsoleAtStart::outputIsConsole, &ConsoleAtStart::errorIsConsole}) {
        ConsoleAtStart redirected = explorer;
        redirected.*handle = false;
        EXPECT_FALSE(IsConsoleOfItsOwn(redirected));
    }
    // Nobody to press a key: a task run hidden, wine on a Unix terminal.
    ConsoleAtStart hidden = explorer;
    hidden.windowShown = false;
    EXPECT_FALSE(IsConsoleOfItsOwn(hidden));
}
