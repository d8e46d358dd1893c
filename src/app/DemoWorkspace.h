#pragma once

#include <QString>

namespace kalvor {

// Makes a ready workspace in `folder` for a first look at the program: the requisites of a made-up filer,
// its two subdivisions and two months of realistic declarations (February and March 2012), March being the period
// opened. Refuses a folder that already holds a configured workspace. Every file goes through the atomic save; a demo
// that fails (a full disk) takes its configuration, period folders and subdivisions back, so the folder is never left
// naming files that were not written. Returns the number of rows written.
std::size_t createDemoWorkspace(const QString &folder, const QString &shareDir, std::size_t rowsPerMonth = 600);

} // namespace kalvor
