#pragma once

// A console of the program's own closes the moment the program ends: on
// Windows, the one made for a double-click on dt2pcap.exe or for files
// dropped onto it. What the program said there would be gone before anyone
// read it, so there it reports every file (as -k -v would) and waits for a
// key before it ends. Started from a shell, or with anything redirected, it
// never waits.

// The console as the program found it.
struct ConsoleAtStart {
    unsigned long processes = 0;  // attached to it, this one included; 0: none or unknown
    bool inputIsConsole = false;
    bool outputIsConsole = false;
    bool errorIsConsole = false;
    bool windowShown = false;
};

bool IsConsoleOfItsOwn(const ConsoleAtStart& console);
