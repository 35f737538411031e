#pragma once

class CConverterDlg;

// One BN_CLICKED binding of the dialog's message map: a control id and the
// handler its click calls. The table ends with a null handler.
struct MessageMapEntry {
    int id;
    void (CConverterDlg::*handler)();
};
