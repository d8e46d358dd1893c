#pragma once

#include <QString>

namespace kalvor::sheets::calc {

// Which office to reach and how long to wait for it.
//
// By default the program connects to the office that listens on the user's pipe ("kalvor_" + the user's
// name); when none does, it starts soffice with that pipe and the user's own profile, so that the document
// appears in the office the user already works in (a running office takes the request over).
struct OfficeOptions {
    QString soffice;    // the office program; empty: KALVOR_SOFFICE, else the installed LibreOffice
    QString pipeName;   // empty: KALVOR_OFFICE_PIPE, else the user's pipe
    QString profileDir; // empty: KALVOR_OFFICE_PROFILE, else the user's own profile
    bool headless = false; // no window ever (the command line stores the document instead of showing it)
    int startSeconds = 120; // for a started office to accept the connection (a first start makes a profile)
    int callSeconds = 300;  // for any one request; longer means the office hangs and the export is given up

    // The empty fields filled from the environment and the defaults.
    OfficeOptions resolved() const;
};

} // namespace kalvor::sheets::calc
