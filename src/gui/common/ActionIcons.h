#pragma once

#include <QIcon>

namespace kalvor::gui {

// The tool row's icons: one drawn set in one style (a coloured sign on a sheet or alone), each with a
// plainly faded grey form for a command that is unavailable, so "can" and "cannot" never look alike.
enum class ActionIcon {
    Add,       // green plus
    Edit,      // blue pencil
    Delete,    // red cross
    Copy,      // two sheets
    NewPeriod, // a sheet with a green plus: a new report
    Merge,     // a sheet with a blue arrow in
    Export,    // a sheet with a green arrow out
    Import,    // a folder with a blue arrow in
    Workbook,  // a green table
    Check,     // an orange question mark
    Search,    // a magnifier
    Warning,   // a red exclamation mark
    Update,    // two blue arrows in a circle
};

QIcon actionIcon(ActionIcon kind);

} // namespace kalvor::gui
