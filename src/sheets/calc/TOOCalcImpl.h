#pragma once

#include "sheets/calc/OfficeConnection.h"
#include "sheets/calc/TOOCalc.h"
#include "sheets/calc/Uno.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCellRange.hpp>

namespace kalvor::sheets::calc {

// What TOOCalc holds of the office (its fields FObj, FDesktop, FDocument, FActiveSheet).
struct TOOCalc::Impl {
    Reference<css::lang::XMultiComponentFactory> FObj;
    Reference<css::frame::XDesktop2> FDesktop;
    Reference<css::sheet::XSpreadsheetDocument> FDocument;
    Reference<css::sheet::XSpreadsheet> FActiveSheet;

    // A rectangle of the active sheet, zero-based.
    Reference<css::table::XCellRange> range(int column0, int row0, int lastColumn0, int lastRow0) const
    {
        return FActiveSheet->getCellRangeByPosition(column0, row0, lastColumn0, lastRow0);
    }
};

// Property lists for the office's calls.
Sequence<css::beans::PropertyValue> properties(std::initializer_list<std::pair<const char *, Any>> values);

} // namespace kalvor::sheets::calc
